// DllManager: a loaded library as a script object, the look-up of its exports and the
// foreign functions that call them with script values turned into 32-bit words.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "debugoutput.h"
#include "foreigncall.h"
#include "safelibrary.h"
#include "scripttypes.h"
#include "stringconv.h"

const char kDllManagerMetaTable[] = "DllManagerMetaTable";

namespace {

// Upvalues of a foreign function: 1 the result type, 2 the caller-cleans flag, 3 the address.
constexpr int kResultTypeUpvalue = 1;
constexpr int kAddressUpvalue = 3;

// Lowest value that can be a text address; smaller non-zero values are no text.
constexpr uint32_t kLowestTextAddress = 0x10000;

// The handle cell of a DllManager object, or null for any other value.
HMODULE* HandleCell(lua_State* L, int index) {
  return static_cast<HMODULE*>(luaL_testudata(L, index, kDllManagerMetaTable));
}

// One argument as a 32-bit word. A table, function or thread has no word: the call is
// refused before anything is called.
uint32_t ArgumentWord(lua_State* L, int index) {
  switch (lua_type(L, index)) {
    case LUA_TNIL:
      return 0;
    case LUA_TBOOLEAN:
      return lua_toboolean(L, index) ? 1 : 0;
    case LUA_TNUMBER:
      return static_cast<uint32_t>(lua_tointeger(L, index));
    case LUA_TSTRING:
      return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(lua_tostring(L, index)));
    case LUA_TLIGHTUSERDATA:
    case LUA_TUSERDATA:
      return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(lua_touserdata(L, index)));
    default:
      luaL_error(L, "unknow argument type");
      return 0;
  }
}

template <typename Unit>
const Unit* TextAddress(uint32_t value) {
  return reinterpret_cast<const Unit*>(static_cast<uintptr_t>(value));
}

void PushUtf8(lua_State* L, const std::string& text) {
  lua_pushlstring(L, text.data(), text.size());
}

// The first result according to the declared result type.
void PushResult(lua_State* L, uint32_t value) {
  const char* type = lua_type(L, lua_upvalueindex(kResultTypeUpvalue)) == LUA_TSTRING
                         ? lua_tostring(L, lua_upvalueindex(kResultTypeUpvalue))
                         : "";
  bool textType = std::strcmp(type, "astr") == 0 || std::strcmp(type, "wstr") == 0;
  if (std::strcmp(type, "int") == 0) {
    lua_pushinteger(L, static_cast<int32_t>(value));
  } else if (std::strcmp(type, "uint") == 0) {
    lua_pushunsigned(L, value);
  } else if (std::strcmp(type, "bool") == 0) {
    lua_pushboolean(L, value != 0);
  } else if (textType && value != 0 && value < kLowestTextAddress) {
    lua_pushnil(L);
  } else if (std::strcmp(type, "astr") == 0) {
    PushUtf8(L, WideToUtf8(AnsiToWide(TextAddress<char>(value))));
  } else if (std::strcmp(type, "wstr") == 0) {
    PushUtf8(L, WideToUtf8(TextAddress<wchar_t>(value)));
  } else if (std::strcmp(type, "ptr") == 0) {
    lua_pushlightuserdata(L, reinterpret_cast<void*>(static_cast<uintptr_t>(value)));
  } else {
    lua_pushnil(L);
  }
}

// The foreign function: converts every argument (from the last to the first), calls the
// address and returns the converted result and the last error read right after the call.
// The caller-cleans upvalue is kept as declared; the call thunk restores the stack itself,
// so both conventions are called the same way.
int CallForeignFunction(lua_State* L) {
  const void* address = lua_touserdata(L, lua_upvalueindex(kAddressUpvalue));
  if (address == nullptr) {
    lua_pushinteger(L, 0);
    return 1;
  }
  int count = lua_gettop(L);
  std::vector<uint32_t> words(static_cast<size_t>(count));
  for (int index = count; index >= 1; --index) words[index - 1] = ArgumentWord(L, index);
  uint32_t value = CallWithWords(address, words.data(), words.size());
  DWORD lastError = GetLastError();
  PushResult(L, value);
  lua_pushunsigned(L, lastError);
  return 2;
}

// DllManager.Load(path): the last argument names the library.
int Load(lua_State* L) {
  int top = lua_gettop(L);
  std::wstring path = Utf8ToWide(top > 0 ? lua_tostring(L, top) : nullptr);
  HMODULE module = LoadNamedLibrary(path);
  if (module == nullptr) {
    DWORD lastError = GetLastError();
    lua_pushnil(L);
    lua_pushunsigned(L, lastError);
    return 2;
  }
  PushDllManager(L, module);
  return 1;
}

// object:UnLoad(): releases the library once. The handle is cleared, so a second UnLoad
// cannot release a reference that another object or GLibTab still holds.
int UnLoad(lua_State* L) {
  int top = lua_gettop(L);
  HMODULE* cell = top > 0 ? HandleCell(L, top) : nullptr;
  if (cell && *cell) {
    FreeLibrary(*cell);
    *cell = nullptr;
  }
  lua_pushnil(L);
  return 1;
}

// object:Get(name [, result type [, caller cleans]]) -> foreign function and 0, or nil and
// a reason. With more than four arguments the last two are the type and the flag.
int Get(lua_State* L) {
  HMODULE* cell = HandleCell(L, 1);
  if (cell == nullptr || *cell == nullptr) {
    DebugLine(L"if (nullptr == phMod)");
    lua_pushnil(L);
    lua_pushstring(L, "hModule is nil");
    return 2;
  }
  const char* name = lua_tostring(L, 2);
  FARPROC function = GetProcAddress(*cell, name ? name : "");
  if (function == nullptr) {
    DWORD lastError = GetLastError();
    DebugText(L"if (nullptr == pfn)");
    lua_pushnil(L);
    lua_pushunsigned(L, lastError);
    return 2;
  }
  int top = lua_gettop(L);
  int typeIndex = top > 4 ? top - 1 : 3;
  int flagIndex = top > 4 ? top : 4;
  lua_pushvalue(L, typeIndex);
  lua_pushvalue(L, flagIndex);
  lua_pushlightuserdata(L, reinterpret_cast<void*>(function));
  lua_pushcclosure(L, CallForeignFunction, kAddressUpvalue);
  lua_pushinteger(L, 0);
  return 2;
}

const luaL_Reg kMethods[] = {
    {"UnLoad", UnLoad},
    {"Get", Get},
    {nullptr, nullptr},
};

const luaL_Reg kFunctions[] = {
    {"Load", Load},
    {nullptr, nullptr},
};

}  // namespace

void PushDllManager(lua_State* L, HMODULE module) {
  *static_cast<HMODULE*>(lua_newuserdata(L, sizeof(HMODULE))) = module;
  luaL_setmetatable(L, kDllManagerMetaTable);
}

int OpenDllManagerModule(lua_State* L) {
  return OpenTypeModule(L, kDllManagerMetaTable, kMethods, kFunctions);
}
