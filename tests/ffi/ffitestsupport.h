// Runs script chunks in the engine's state for the foreign-call tests.
#pragma once
#include <string>

// A chunk and the text Eval should give for it.
struct ScriptCase {
  const char* chunk;
  const char* expected;
};

// Runs the chunk under lua_pcall without a message handler, so a script error comes back
// instead of ending the process. Gives the results as tostring shows them, joined with "|",
// or "error: " followed by the error message.
std::string Eval(const std::string& chunk);
