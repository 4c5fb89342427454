// Runs the developer's signing command on a program that qlmpack writes.
#pragma once
#include <string>

// Replaces every "{file}" in `command` with the quoted path of `file` and runs the command;
// true when it exits with 0, otherwise false with a one-line message in `error`.
//
// On Windows the command is a program started directly (signtool, osslsigncode.exe). When
// qlmpack runs under Wine on a Linux build machine, a command that begins with "/" is a Linux
// command line, run by /bin/sh with {file} replaced by the Linux path of the file.
bool RunSignCommand(const std::wstring& command, const std::wstring& file, std::wstring& error);
