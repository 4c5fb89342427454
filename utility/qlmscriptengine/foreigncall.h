// The machine-level call of a foreign function on the i686 stack.
#pragma once
#include <cstddef>
#include <cstdint>

// Calls `address` with `count` 32-bit words as its parameters (words[0] is the first
// parameter, at the lowest address) and returns the EAX register. Works for stdcall and
// cdecl callees alike and survives a wrong parameter count or convention.
uint32_t CallWithWords(const void* address, const uint32_t* words, size_t count);
