// Running script snippets in the test process's engine, the way installer scripts call the
// installation functions.
#pragma once
#include <string>

// Runs a chunk; a chunk that does not load or run fails the test.
void RunChunk(const std::string& chunk);

// A Lua string literal holding `text` unchanged.
std::string Quote(const std::wstring& text);

// Runs `call` and describes its first result as "type:value" ("<none>" without results).
std::string Evaluate(const std::string& call);
