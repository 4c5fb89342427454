// RawBuffer: a zero-filled block of raw memory, and the accessors that read and write its
// fields at byte offsets. The accessors work on any base that yields an address: a full
// userdata of any type (its block) or a light userdata (the address itself). Fields are
// little-endian and unaligned. The arguments are taken from the top of the stack: a getter
// uses the last two values (base, offset), a setter the last three (base, offset, value).
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "scripttypes.h"
#include "stringconv.h"

const char kRawBufferMetaTable[] = "RawBufferMetaTable";

namespace {

struct Field {
  unsigned char* address;
  size_t available;  // bytes from the address to the block's end
};

// Resolves base + offset. A full userdata bounds the access: the offset and `width` bytes
// must lie inside its block, else a script error is raised rather than touching memory
// outside it. A light userdata is an address the script owns and is taken unchecked.
Field FieldAt(lua_State* L, int baseIndex, int offsetIndex, size_t width) {
  lua_Integer offset = lua_tointeger(L, offsetIndex);
  int type = lua_type(L, baseIndex);
  auto* base = static_cast<unsigned char*>(lua_touserdata(L, baseIndex));
  if (type == LUA_TLIGHTUSERDATA) {
    return {base + offset, std::numeric_limits<size_t>::max()};
  }
  if (type != LUA_TUSERDATA) luaL_error(L, "RawBuffer: the base has no address");
  size_t size = lua_rawlen(L, baseIndex);
  if (offset < 0 || static_cast<size_t>(offset) > size || width > size - offset) {
    luaL_error(L, "RawBuffer: %d bytes at offset %d lie outside the block of %d bytes",
               static_cast<int>(width), static_cast<int>(offset), static_cast<int>(size));
  }
  return {base + offset, size - offset};
}

Field GetterField(lua_State* L, size_t width) {
  int top = lua_gettop(L);
  if (top < 2) luaL_error(L, "RawBuffer: a getter takes a base and an offset");
  return FieldAt(L, top - 1, top, width);
}

Field SetterField(lua_State* L, size_t width) {
  int top = lua_gettop(L);
  if (top < 3) luaL_error(L, "RawBuffer: a setter takes a base, an offset and a value");
  return FieldAt(L, top - 2, top - 1, width);
}

template <typename Value>
int GetNumber(lua_State* L) {
  Value value;
  std::memcpy(&value, GetterField(L, sizeof(Value)).address, sizeof(Value));
  lua_pushnumber(L, static_cast<lua_Number>(value));
  return 1;
}

int GetBoolean(lua_State* L) {
  uint32_t value;
  std::memcpy(&value, GetterField(L, sizeof(value)).address, sizeof(value));
  lua_pushboolean(L, value != 0);
  return 1;
}

// Zero-terminated UTF-16 text; a text without a terminator ends at the block's end.
int GetWString(lua_State* L) {
  Field field = GetterField(L, 0);
  std::wstring text;
  for (size_t at = 0; field.available - at >= sizeof(uint16_t); at += sizeof(uint16_t)) {
    uint16_t unit;
    std::memcpy(&unit, field.address + at, sizeof(unit));
    if (unit == 0) break;
    text.push_back(static_cast<wchar_t>(unit));
  }
  std::string utf8 = WideToUtf8(text);
  lua_pushlstring(L, utf8.data(), utf8.size());
  return 1;
}

// Zero-terminated text in the thread ANSI code page, bounded the same way.
int GetAString(lua_State* L) {
  Field field = GetterField(L, 0);
  size_t length = 0;
  while (length < field.available && field.address[length] != 0) ++length;
  std::string utf8 = WideToUtf8(AnsiToWide(reinterpret_cast<char*>(field.address), length));
  lua_pushlstring(L, utf8.data(), utf8.size());
  return 1;
}

// The address base + offset; nothing is read.
int GetPointer(lua_State* L) {
  lua_pushlightuserdata(L, GetterField(L, 0).address);
  return 1;
}

template <typename Value>
void Store(lua_State* L, Value value) {
  std::memcpy(SetterField(L, sizeof(Value)).address, &value, sizeof(Value));
}

// The low bits of the value read as a signed 32-bit integer.
template <typename Value>
int SetInteger(lua_State* L) {
  Store<Value>(L, static_cast<Value>(lua_tointeger(L, -1)));
  return 0;
}

int SetUInt32(lua_State* L) {
  Store<uint32_t>(L, static_cast<uint32_t>(lua_tounsigned(L, -1)));
  return 0;
}

int SetBoolean(lua_State* L) {
  Store<uint32_t>(L, lua_toboolean(L, -1) ? 1 : 0);
  return 0;
}

// The address of the value: a full userdata's block, a light userdata's address, else 0.
int SetPointer(lua_State* L) {
  int type = lua_type(L, -1);
  void* address =
      (type == LUA_TUSERDATA || type == LUA_TLIGHTUSERDATA) ? lua_touserdata(L, -1) : nullptr;
  Store<uint32_t>(L, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(address)));
  return 0;
}

// Copies bytes without converting text: a full userdata source gives its whole block, a
// plain string its bytes and terminator. A light userdata has no known size and copies
// nothing, as do values without bytes; a table is refused.
int SetBytes(lua_State* L) {
  const void* source = nullptr;
  size_t count = 0;
  switch (lua_type(L, -1)) {
    case LUA_TUSERDATA:
      source = lua_touserdata(L, -1);
      count = lua_rawlen(L, -1);
      break;
    case LUA_TSTRING:
      source = lua_tolstring(L, -1, &count);
      ++count;
      break;
    case LUA_TTABLE:
      return luaL_error(L, "RawBuffer: a table cannot be copied into a buffer");
    default:
      break;
  }
  if (count == 0) return 0;
  std::memmove(SetterField(L, count).address, source, count);
  return 0;
}

int New(lua_State* L) {
  size_t size = static_cast<size_t>(lua_tounsigned(L, 1));
  if (size == 0) {
    lua_pushnil(L);
    return 1;
  }
  std::memset(lua_newuserdata(L, size), 0, size);
  luaL_setmetatable(L, kRawBufferMetaTable);
  return 1;
}

const luaL_Reg kAccessors[] = {
    {"OffsetGetAsInt32", GetNumber<int32_t>},
    {"OffsetGetAsUInt32", GetNumber<uint32_t>},
    {"OffsetGetAsInt16", GetNumber<int16_t>},
    {"OffsetGetAsUInt16", GetNumber<uint16_t>},
    {"OffsetGetAsInt8", GetNumber<int8_t>},
    {"OffsetGetAsUInt8", GetNumber<uint8_t>},
    {"OffsetGetAsBoolean", GetBoolean},
    {"OffsetGetAsWString", GetWString},
    {"OffsetGetAsAString", GetAString},
    {"OffsetGetAsPointer", GetPointer},
    {"OffsetSetAsInt32", SetInteger<int32_t>},
    {"OffsetSetAsUInt32", SetUInt32},
    {"OffsetSetAsInt16", SetInteger<uint16_t>},
    {"OffsetSetAsUInt16", SetInteger<uint16_t>},
    {"OffsetSetAsInt8", SetInteger<uint8_t>},
    {"OffsetSetAsUInt8", SetInteger<uint8_t>},
    {"OffsetSetAsBoolean", SetBoolean},
    {"OffsetSetAsPointer", SetPointer},
    {"OffsetSetAsWString", SetBytes},
    {"OffsetSetAsAString", SetBytes},
    {nullptr, nullptr},
};

const luaL_Reg kFunctions[] = {
    {"New", New},
    {nullptr, nullptr},
};

}  // namespace

int OpenRawBufferModule(lua_State* L) {
  return OpenTypeModule(L, kRawBufferMetaTable, kAccessors, kFunctions);
}
