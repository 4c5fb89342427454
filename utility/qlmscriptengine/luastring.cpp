// AString and WString: fixed-capacity, zero-terminated text buffers (ANSI bytes or UTF-16
// units) that foreign calls receive as plain text pointers. The block is the text itself.
#include <cstring>
#include <string>

#include "scripttypes.h"
#include "stringconv.h"

const char kAStringMetaTable[] = "AStringMetaTable";
const char kWStringMetaTable[] = "WStringMetaTable";

namespace {

// The units before the first zero unit, never reading past the block: a foreign function
// may have filled the whole block without a terminator.
template <typename Unit>
std::basic_string<Unit> BlockText(const void* block, size_t bytes) {
  const Unit* units = static_cast<const Unit*>(block);
  size_t capacity = bytes / sizeof(Unit);
  size_t length = 0;
  while (length < capacity && units[length] != 0) ++length;
  return std::basic_string<Unit>(units, length);
}

// A script string or number as text; anything else is empty.
std::wstring ScriptTextToWide(lua_State* L, int index) {
  int type = lua_type(L, index);
  if (type != LUA_TSTRING && type != LUA_TNUMBER) return std::wstring();
  return Utf8ToWide(lua_tostring(L, index));
}

struct WideText {
  using Unit = wchar_t;
  static const char* MetaTable() { return kWStringMetaTable; }
  static std::wstring Convert(lua_State* L, int index) { return ToWideText(L, index); }
  static std::wstring FromScriptText(lua_State* L, int index) { return ScriptTextToWide(L, index); }
  static std::string ToUtf8(const std::wstring& text) { return WideToUtf8(text); }
  static wchar_t Widen(wchar_t unit) { return unit; }
  static bool Equal(const std::wstring& a, const std::wstring& b) {
    return lstrcmpW(a.c_str(), b.c_str()) == 0;
  }
};

struct AnsiText {
  using Unit = char;
  static const char* MetaTable() { return kAStringMetaTable; }
  static std::string Convert(lua_State* L, int index) { return ToAnsiText(L, index); }
  static std::string FromScriptText(lua_State* L, int index) {
    return WideToAnsi(ScriptTextToWide(L, index));
  }
  static std::string ToUtf8(const std::string& text) {
    return WideToUtf8(AnsiToWide(text.data(), text.size()));
  }
  // Bytes 0x80 and above widen as signed values, to U+FF80..U+FFFF.
  static wchar_t Widen(char unit) {
    return static_cast<wchar_t>(static_cast<short>(static_cast<signed char>(unit)));
  }
  static bool Equal(const std::string& a, const std::string& b) {
    return lstrcmpA(a.c_str(), b.c_str()) == 0;
  }
};

template <typename T>
using Text = std::basic_string<typename T::Unit>;

// The object's text; empty when the value is not an object of this type.
template <typename T>
Text<T> ObjectText(lua_State* L, int index) {
  void* block = luaL_testudata(L, index, T::MetaTable());
  return block ? BlockText<typename T::Unit>(block, lua_rawlen(L, index)) : Text<T>();
}

// Creates an object of `capacity` units (zero-filled) holding `text`.
template <typename T>
void PushObject(lua_State* L, const Text<T>& text, size_t capacity) {
  using Unit = typename T::Unit;
  void* block = lua_newuserdata(L, capacity * sizeof(Unit));
  std::memset(block, 0, capacity * sizeof(Unit));
  std::memcpy(block, text.c_str(), text.size() * sizeof(Unit));
  luaL_setmetatable(L, T::MetaTable());
}

// New(size [, init]): size alone must be at least 1; with an initial text the capacity is
// the size when larger than the text, else the text's length plus its terminator.
template <typename T>
int New(lua_State* L) {
  lua_Integer size = lua_tointeger(L, 1);
  Text<T> text;
  if (lua_gettop(L) <= 1) {
    if (size < 1) {
      lua_pushnil(L);
      return 1;
    }
  } else {
    text = T::Convert(L, 2);
  }
  size_t length = text.size();
  size_t capacity = (size > 0 && static_cast<size_t>(size) > length) ? size : length + 1;
  PushObject<T>(L, text, capacity);
  return 1;
}

// obj[position]: the unit as a one-character string, "" for the zero unit, nil for a
// negative position or one at or beyond the block's end.
template <typename T>
int Index(lua_State* L) {
  using Unit = typename T::Unit;
  void* block = luaL_testudata(L, 1, T::MetaTable());
  lua_Integer position = lua_tointeger(L, 2);
  size_t capacity = block ? lua_rawlen(L, 1) / sizeof(Unit) : 0;
  if (position < 0 || static_cast<size_t>(position) >= capacity) {
    lua_pushnil(L);
    return 1;
  }
  Unit unit = static_cast<const Unit*>(block)[position];
  std::string character = unit ? WideToUtf8(std::wstring(1, T::Widen(unit))) : std::string();
  lua_pushlstring(L, character.data(), character.size());
  return 1;
}

// obj[position] = text: replaces the unit at 1 <= position < length with the text's first
// unit; every other assignment changes nothing.
template <typename T>
int NewIndex(lua_State* L) {
  using Unit = typename T::Unit;
  void* block = luaL_testudata(L, 1, T::MetaTable());
  if (!block) return 0;
  lua_Integer position = lua_tointeger(L, 2);
  Text<T> value = T::FromScriptText(L, 3);
  size_t length = ObjectText<T>(L, 1).size();
  if (position >= 1 && static_cast<size_t>(position) < length && !value.empty()) {
    static_cast<Unit*>(block)[position] = value[0];
  }
  return 0;
}

template <typename T>
int Length(lua_State* L) {
  lua_pushinteger(L, static_cast<lua_Integer>(ObjectText<T>(L, 1).size()));
  return 1;
}

template <typename T>
int ToString(lua_State* L) {
  std::string text = T::ToUtf8(ObjectText<T>(L, 1));
  lua_pushlstring(L, text.data(), text.size());
  return 1;
}

template <typename T>
int Concat(lua_State* L) {
  Text<T> joined = T::Convert(L, 1) + T::Convert(L, 2);
  PushObject<T>(L, joined, joined.size() + 1);
  return 1;
}

template <typename T>
int Equal(lua_State* L) {
  bool equal = luaL_testudata(L, 1, T::MetaTable()) && luaL_testudata(L, 2, T::MetaTable()) &&
               T::Equal(ObjectText<T>(L, 1), ObjectText<T>(L, 2));
  lua_pushboolean(L, equal);
  return 1;
}

template <typename T>
int OpenModule(lua_State* L) {
  static const luaL_Reg kMetaMethods[] = {
      {"__index", Index<T>},       {"__newindex", NewIndex<T>}, {"__len", Length<T>},
      {"__tostring", ToString<T>}, {"__concat", Concat<T>},     {"__eq", Equal<T>},
      {nullptr, nullptr},
  };
  static const luaL_Reg kFunctions[] = {
      {"New", New<T>},
      {nullptr, nullptr},
  };
  return OpenTypeModule(L, T::MetaTable(), kMetaMethods, kFunctions);
}

}  // namespace

std::wstring ToWideText(lua_State* L, int index) {
  switch (lua_type(L, index)) {
    case LUA_TSTRING:
    case LUA_TNUMBER:
      return ScriptTextToWide(L, index);
    case LUA_TUSERDATA:
      if (luaL_testudata(L, index, kAStringMetaTable)) {
        std::string text = ObjectText<AnsiText>(L, index);
        return AnsiToWide(text.data(), text.size());
      }
      return ObjectText<WideText>(L, index);
    default:
      return std::wstring();
  }
}

std::string ToAnsiText(lua_State* L, int index) {
  switch (lua_type(L, index)) {
    case LUA_TSTRING:
    case LUA_TNUMBER:
      return WideToAnsi(ScriptTextToWide(L, index));
    case LUA_TUSERDATA:
      if (luaL_testudata(L, index, kAStringMetaTable)) return ObjectText<AnsiText>(L, index);
      return WideToAnsi(ObjectText<WideText>(L, index));
    default:
      return std::string();
  }
}

int OpenAStringModule(lua_State* L) { return OpenModule<AnsiText>(L); }

int OpenWStringModule(lua_State* L) { return OpenModule<WideText>(L); }
