// The interpreter is compiled as C++ (script errors unwind with exceptions), so its headers
// are included without extern "C".
#pragma once
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
