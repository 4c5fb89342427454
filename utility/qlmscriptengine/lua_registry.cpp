#include "lua_registry.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "debugoutput.h"
#include "lua_args.h"
#include "stringconv.h"

namespace {

// Keys are opened for reading and writing alike, also for queries.
constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;
constexpr DWORD kMaxKeyNameUnits = 256;

// Root names are compared exactly; any other text names no key.
HKEY RootKey(const std::wstring& name) {
  struct RootName {
    const wchar_t* name;
    HKEY key;
  };
  static const RootName kRoots[] = {
      {L"HKCR", HKEY_CLASSES_ROOT}, {L"HKCU", HKEY_CURRENT_USER}, {L"HKLM", HKEY_LOCAL_MACHINE},
      {L"HKU", HKEY_USERS},         {L"HKCC", HKEY_CURRENT_CONFIG},
  };
  for (const RootName& root : kRoots) {
    if (name == root.name) return root.key;
  }
  return nullptr;
}

class KeyGuard {
 public:
  KeyGuard() = default;
  KeyGuard(const KeyGuard&) = delete;
  KeyGuard& operator=(const KeyGuard&) = delete;
  ~KeyGuard() {
    if (key_) RegCloseKey(key_);
  }
  HKEY* Out() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

LONG OpenKey(HKEY root, const std::wstring& subkey, KeyGuard& key) {
  if (root == nullptr) return ERROR_INVALID_HANDLE;
  return RegOpenKeyExW(root, subkey.c_str(), 0, kAccess, key.Out());
}

// Text of a REG_SZ or REG_EXPAND_SZ value: everything before the first zero unit.
bool PushTextValue(lua_State* L, HKEY key, const std::wstring& name, DWORD size) {
  std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
  DWORD bytes = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
  if (RegQueryValueExW(key, name.c_str(), nullptr, nullptr,
                       reinterpret_cast<BYTE*>(buffer.data()), &bytes) != ERROR_SUCCESS) {
    return false;
  }
  PushWide(L, std::wstring(buffer.data()));
  return true;
}

bool PushDwordValue(lua_State* L, HKEY key, const std::wstring& name) {
  DWORD value = 0;
  DWORD bytes = sizeof(value);
  if (RegQueryValueExW(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                       &bytes) != ERROR_SUCCESS) {
    return false;
  }
  lua_pushunsigned(L, value);
  return true;
}

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// Hexadecimal digit pairs; byte i comes from position 2i (at most two digits). A position
// without a digit repeats the previous byte (0 for the first).
std::vector<BYTE> HexBytes(const std::wstring& text) {
  std::vector<BYTE> bytes((text.size() + 1) / 2);
  unsigned value = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    size_t position = 2 * i;
    int high = HexDigit(text[position]);
    if (high >= 0) {
      int low = position + 1 < text.size() ? HexDigit(text[position + 1]) : -1;
      value = low >= 0 ? static_cast<unsigned>(high * 16 + low) : static_cast<unsigned>(high);
    }
    bytes[i] = static_cast<BYTE>(value);
  }
  return bytes;
}

LONG SetText(HKEY key, const std::wstring& name, DWORD type, const std::wstring& text) {
  return RegSetValueExW(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void WriteValue(lua_State* L, HKEY key, const std::wstring& name, const std::wstring& type) {
  if (type == L"REG_SZ") {
    std::wstring data = TextArgument(L, 5);
    std::wstring expanded;
    // An expansion that does not fit is stored as given rather than cut short.
    SetText(key, name, REG_SZ, ExpandIntoMaxPath(data, expanded) ? expanded : data);
  } else if (type == L"REG_EXPAND_SZ") {
    SetText(key, name, REG_EXPAND_SZ, TextArgument(L, 5));
  } else if (type == L"REG_DWORD") {
    DWORD value = lua_tounsigned(L, 5);
    RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof(value));
  } else if (type == L"REG_BINARY") {
    std::vector<BYTE> bytes = HexBytes(TextArgument(L, 5));
    RegSetValueExW(key, name.c_str(), 0, REG_BINARY, bytes.data(),
                   static_cast<DWORD>(bytes.size()));
  }
}

using DeleteKeyEx = LONG(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);

LONG DeleteKey(HKEY parent, const wchar_t* name) {
  static const DeleteKeyEx deleteKeyEx = reinterpret_cast<DeleteKeyEx>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"advapi32.dll"), "RegDeleteKeyExW")));
  if (deleteKeyEx) return deleteKeyEx(parent, name, 0, 0);
  return RegDeleteKeyW(parent, name);
}

// Depth first: every subkey below `name`, then `name` itself; the first failure ends it.
LONG DeleteTree(HKEY parent, const wchar_t* name) {
  {
    KeyGuard key;
    LONG status = RegOpenKeyExW(parent, name, 0, kAccess, key.Out());
    if (status != ERROR_SUCCESS) return status;
    for (;;) {
      wchar_t child[kMaxKeyNameUnits] = {};
      DWORD units = kMaxKeyNameUnits;
      status = RegEnumKeyExW(key.Get(), 0, child, &units, nullptr, nullptr, nullptr, nullptr);
      if (status == ERROR_NO_MORE_ITEMS) break;
      if (status != ERROR_SUCCESS) return status;
      status = DeleteTree(key.Get(), child);
      if (status != ERROR_SUCCESS) return status;
    }
  }
  return DeleteKey(parent, name);
}

// A subkey made of nothing but separators names the root itself.
bool NamesRoot(const std::wstring& subkey) {
  return subkey.find_first_not_of(L'\\') == std::wstring::npos;
}

void DeleteKeyTree(const std::wstring& rootName, const std::wstring& subkey) {
  if (NamesRoot(subkey)) {
    DebugLine(L"DeleteSubKey refused: no subkey below %s\r\n", rootName.c_str());
    return;
  }
  KeyGuard root;
  HKEY rootKey = RootKey(rootName);
  LONG status =
      rootKey ? RegOpenKeyExW(rootKey, nullptr, 0, kAccess, root.Out()) : ERROR_INVALID_HANDLE;
  if (status != ERROR_SUCCESS) {
    DebugLine(L"OpenKey %s failed, errcode: %ld\r\n", rootName.c_str(), status);
    return;
  }
  status = DeleteTree(root.Get(), subkey.c_str());
  if (status != ERROR_SUCCESS) {
    DebugLine(L"DeleteSubKey %s failed, errcode: %ld", subkey.c_str(), status);
  }
}

void DeleteValue(lua_State* L, const std::wstring& rootName, const std::wstring& subkey) {
  KeyGuard key;
  if (OpenKey(RootKey(rootName), subkey, key) != ERROR_SUCCESS) return;
  std::wstring name = TextArgument(L, 3);
  RegDeleteValueW(key.Get(), name.c_str());
  DebugLine(L"Delete Value %s, %s, %s", rootName.c_str(), subkey.c_str(), name.c_str());
}

}  // namespace

int Lua_RegQuery(lua_State* L) {
  std::wstring rootName = TextArgument(L, 1);
  std::wstring subkey = TextArgument(L, 2);
  std::wstring name = TextArgument(L, 3);
  KeyGuard key;
  if (OpenKey(RootKey(rootName), subkey, key) != ERROR_SUCCESS) {
    lua_pushnil(L);
    return 1;
  }
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) !=
      ERROR_SUCCESS) {
    type = 0;
  }
  bool pushed = false;
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    pushed = PushTextValue(L, key.Get(), name, size);
  } else if (type == REG_DWORD) {
    pushed = PushDwordValue(L, key.Get(), name);
  }
  if (!pushed) lua_pushnil(L);
  return 1;
}

int Lua_RegAdd(lua_State* L) {
  std::wstring rootName = TextArgument(L, 1);
  std::wstring subkey = TextArgument(L, 2);
  KeyGuard key;
  HKEY root = RootKey(rootName);
  if (root) {
    RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kAccess, nullptr,
                    key.Out(), nullptr);
  }
  bool overwrite = lua_toboolean(L, 6) != 0;
  std::wstring name = TextArgument(L, 3);
  std::wstring type = TextArgument(L, 4);
  if (key.Get()) {
    bool exists = !overwrite && RegQueryValueExW(key.Get(), name.c_str(), nullptr, nullptr,
                                                 nullptr, nullptr) != ERROR_FILE_NOT_FOUND;
    if (!exists) WriteValue(L, key.Get(), name, type);
  }
  lua_pushboolean(L, 1);
  return 1;
}

int Lua_RegDel(lua_State* L) {
  int count = lua_gettop(L);
  std::wstring rootName = TextArgument(L, 1);
  std::wstring subkey = TextArgument(L, 2);
  if (count < 2) {
    DebugLine(L"RegDel refused: a subkey is required\r\n");
  } else if (count == 2) {
    DeleteKeyTree(rootName, subkey);
  } else {
    DeleteValue(L, rootName, subkey);
  }
  lua_pushboolean(L, 1);
  return 1;
}
