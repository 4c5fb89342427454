// Writes programs: a copy of a program with packed resources added. An output appears only
// when it is complete (and signed, when a sign command is given).
#pragma once
#include <string>
#include <vector>

#include "packresources.h"

bool IsPortableExecutable(const std::wstring& path, std::wstring& error);

// Copies `program` to `target`, adds the resources and signs the result with `signCommand`
// unless that is empty. A manifest among the resources replaces every manifest that the
// program carried, so that the result holds exactly one.
bool BuildProgram(const std::wstring& program, const std::vector<PackResource>& resources,
                  const std::wstring& signCommand, const std::wstring& target,
                  std::wstring& error);

// Builds the installer beside `output`, signs it with `signCommand` unless that is empty, and
// only then puts it in place of `output`.
bool WriteInstaller(const std::wstring& stub, const std::vector<PackResource>& resources,
                    const std::wstring& signCommand, const std::wstring& output,
                    std::wstring& error);
