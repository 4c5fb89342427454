// Diagnostic lines for a developer: every line is "vd " followed by the formatted text, built
// in a buffer of 1024 UTF-16 units (prefix and terminator included; longer text is cut). It
// goes to the debugger (OutputDebugStringW) or, without one, to a debug-output monitor;
// never to the log file. Formats follow the Microsoft convention: %s takes a wide string.
#pragma once

constexpr int kDebugLineUnits = 1024;

void DebugLine(const wchar_t* format, ...);

// Writes the text as it is, without the "vd " prefix (cut at the same buffer size).
void DebugText(const wchar_t* text);

// Receives every line and text as well (whole, as delivered). Used by tests; null removes it.
using DebugLineSink = void (*)(const wchar_t* line);
void SetDebugLineSink(DebugLineSink sink);

// Plain failure report: "vd file:<file>\r\n", "vd line:<line>\r\n", "vd err:<last error>\r\n".
void DebugFailureReport(const wchar_t* sourceFile, int sourceLine);

// Joined failure report: the message directly before each of the three parts.
void DebugJoinedFailureReport(const wchar_t* message, const wchar_t* sourceFile, int sourceLine);
