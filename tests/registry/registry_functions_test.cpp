// The registry functions as scripts call them, checked against the registry itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "debugcapture.h"
#include "qlmscriptengine.h"
#include "scripttest.h"
#include "stringconv.h"

namespace {

struct RawValue {
  LONG status = ERROR_FILE_NOT_FOUND;
  DWORD type = 0;
  std::string bytes;
};

RawValue ReadRaw(HKEY root, const std::wstring& subkey, const std::wstring& name,
                 REGSAM view = 0) {
  RawValue value;
  HKEY key = nullptr;
  value.status = RegOpenKeyExW(root, subkey.c_str(), 0, KEY_QUERY_VALUE | view, &key);
  if (value.status != ERROR_SUCCESS) return value;
  BYTE data[4096];
  DWORD size = sizeof(data);
  value.status = RegQueryValueExW(key, name.c_str(), nullptr, &value.type, data, &size);
  if (value.status == ERROR_SUCCESS) value.bytes.assign(reinterpret_cast<char*>(data), size);
  RegCloseKey(key);
  return value;
}

std::string WideBytes(const std::wstring& text) {
  return std::string(reinterpret_cast<const char*>(text.c_str()),
                     (text.size() + 1) * sizeof(wchar_t));
}

bool KeyExists(HKEY root, const std::wstring& subkey, REGSAM view = 0) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

void SetRaw(const std::wstring& subkey, const std::wstring& name, DWORD type,
            const std::string& bytes) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                 static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
}

std::wstring WindowsFolder() {
  wchar_t folder[MAX_PATH] = {};
  GetWindowsDirectoryW(folder, MAX_PATH);
  return folder;
}

// A key of its own under HKCU\Software for every test, removed afterwards.
class RegistryFunctions : public ::testing::Test {
 protected:
  void SetUp() override {
    subkey_ = L"Software\\QLMRegistryTest_" + std::to_wstring(GetCurrentProcessId());
    RegDeleteTreeW(HKEY_CURRENT_USER, subkey_.c_str());
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, subkey_.c_str()); }

  std::string Key() const { return Quote(subkey_); }

  std::wstring subkey_;
};

}  // namespace

struct WriteCase {
  const char* type;
  std::string data;  // a Lua expression
  DWORD storedType;  // 0: nothing is stored
  std::string storedBytes;
};

TEST_F(RegistryFunctions, AddStoresEachTypeAsTheRegistryShows) {
  std::wstring windows = WindowsFolder();
  std::string longTail(300, 'x');
  const WriteCase cases[] = {
      {"REG_SZ", "'%WINDIR%'", REG_SZ, WideBytes(windows)},
      {"REG_SZ", "'安装 %WINDIR%'", REG_SZ, WideBytes(L"安装 " + windows)},
      {"REG_SZ", "nil", REG_SZ, WideBytes(L"")},
      // An expansion beyond 260 units is stored as given, never cut short.
      {"REG_SZ", "'%WINDIR%" + longTail + "'", REG_SZ,
       WideBytes(L"%WINDIR%" + Utf8ToWide(longTail.c_str()))},
      {"REG_EXPAND_SZ", "'%WINDIR%\\\\x'", REG_EXPAND_SZ, WideBytes(L"%WINDIR%\\x")},
      {"REG_DWORD", "4294967295", REG_DWORD, std::string("\xFF\xFF\xFF\xFF", 4)},
      {"REG_DWORD", "'258'", REG_DWORD, std::string("\x02\x01\x00\x00", 4)},
      {"REG_BINARY", "'0A1b'", REG_BINARY, std::string("\x0A\x1B", 2)},
      {"REG_BINARY", "'ABC'", REG_BINARY, std::string("\xAB\x0C", 2)},
      {"REG_BINARY", "0", REG_BINARY, std::string("\x00", 1)},
      // A position without a hexadecimal digit repeats the byte before it.
      {"REG_BINARY", "'12zz'", REG_BINARY, std::string("\x12\x12", 2)},
      {"REG_BINARY", "'zz34'", REG_BINARY, std::string("\x00\x34", 2)},
      {"REG_QWORD", "'1'", 0, ""},
      {"reg_sz", "'1'", 0, ""},
  };
  int index = 0;
  for (const WriteCase& c : cases) {
    std::string name = "v" + std::to_string(index++);
    SCOPED_TRACE(std::string(c.type) + " " + c.data);
    EXPECT_EQ(Evaluate("Lua_RegAdd('HKCU', " + Key() + ", '" + name + "', '" + c.type + "', " +
                       c.data + ")"),
              "boolean:true");
    RawValue stored = ReadRaw(HKEY_CURRENT_USER, subkey_, Utf8ToWide(name.c_str()));
    if (c.storedType == 0) {
      EXPECT_EQ(stored.status, ERROR_FILE_NOT_FOUND);
      continue;
    }
    ASSERT_EQ(stored.status, ERROR_SUCCESS);
    EXPECT_EQ(stored.type, c.storedType);
    EXPECT_EQ(stored.bytes, c.storedBytes);
  }
}

TEST_F(RegistryFunctions, AddOverwritesOnlyWhenAsked) {
  struct OverwriteCase {
    const char* overwrite;
    bool existing;
    const wchar_t* expected;
  } cases[] = {
      {"nil", true, L"old"},    {"false", true, L"old"}, {"true", true, L"new"},
      {"1", true, L"new"},      {"nil", false, L"new"},
  };
  for (const OverwriteCase& c : cases) {
    SCOPED_TRACE(std::string(c.overwrite) + (c.existing ? " existing" : " missing"));
    RegDeleteTreeW(HKEY_CURRENT_USER, subkey_.c_str());
    if (c.existing) SetRaw(subkey_, L"", REG_SZ, WideBytes(L"old"));
    EXPECT_EQ(Evaluate("Lua_RegAdd('HKCU', " + Key() + ", '', 'REG_SZ', 'new', " + c.overwrite +
                       ")"),
              "boolean:true");
    EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, subkey_, L"").bytes, WideBytes(c.expected));
  }
}

TEST_F(RegistryFunctions, AddCreatesNestedKeysAndReportsTrueOnAnUnknownRoot) {
  EXPECT_EQ(Evaluate("Lua_RegAdd('HKCU', " + Quote(subkey_ + L"\\a\\b") +
                     ", 'n', 'REG_DWORD', 7)"),
            "boolean:true");
  EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, subkey_ + L"\\a\\b", L"n").bytes,
            std::string("\x07\x00\x00\x00", 4));
  EXPECT_EQ(Evaluate("Lua_RegAdd('hkcu', " + Key() + ", 'n', 'REG_DWORD', 7)"), "boolean:true");
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, subkey_ + L"\\n"));
  EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, subkey_, L"n").status, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryFunctions, QueryReadsTextAndNumbersOnly) {
  SetRaw(subkey_, L"text", REG_SZ, WideBytes(L"安装 folder"));
  SetRaw(subkey_, L"expand", REG_EXPAND_SZ, WideBytes(L"%WINDIR%\\x"));
  SetRaw(subkey_, L"unterminated", REG_SZ, std::string("a\0b\0c\0", 6));
  SetRaw(subkey_, L"inner zero", REG_SZ, WideBytes(std::wstring(L"ab\0cd", 5)));
  SetRaw(subkey_, L"dword", REG_DWORD, std::string("\xFF\xFF\xFF\xFF", 4));
  SetRaw(subkey_, L"binary", REG_BINARY, std::string("\x01\x02", 2));
  SetRaw(subkey_, L"multi", REG_MULTI_SZ, WideBytes(std::wstring(L"a\0", 2)));
  SetRaw(subkey_, L"qword", REG_QWORD, std::string(8, '\x01'));
  SetRaw(subkey_, L"", REG_SZ, WideBytes(L"default"));
  struct QueryCase {
    std::string root;
    std::string subkey;
    std::string name;
    std::string expected;
  } cases[] = {
      {"'HKCU'", Key(), "'text'", "string:安装 folder"},
      {"'HKCU'", Key(), "'expand'", "string:%WINDIR%\\x"},
      {"'HKCU'", Key(), "'unterminated'", "string:abc"},
      {"'HKCU'", Key(), "'inner zero'", "string:ab"},
      {"'HKCU'", Key(), "'dword'", "number:4294967295"},
      {"'HKCU'", Key(), "''", "string:default"},
      {"'HKCU'", Key(), "nil", "string:default"},
      {"'HKCU'", Key(), "'binary'", "nil:nil"},
      {"'HKCU'", Key(), "'multi'", "nil:nil"},
      {"'HKCU'", Key(), "'qword'", "nil:nil"},
      {"'HKCU'", Key(), "'missing'", "nil:nil"},
      {"'hkcu'", Key(), "'text'", "nil:nil"},
      {"'HKCU'", Quote(subkey_ + L"\\missing"), "'text'", "nil:nil"},
  };
  for (const QueryCase& c : cases) {
    SCOPED_TRACE(c.root + " " + c.name);
    EXPECT_EQ(Evaluate("Lua_RegQuery(" + c.root + ", " + c.subkey + ", " + c.name + ")"),
              c.expected);
  }
}

TEST_F(RegistryFunctions, DwordRoundTripsThroughAddAndQuery) {
  RunChunk("Lua_RegAdd('HKCU', " + Key() + ", 'd', 'REG_DWORD', 4294967295, true)");
  EXPECT_EQ(Evaluate("Lua_RegQuery('HKCU', " + Key() + ", 'd')"), "number:4294967295");
}

TEST_F(RegistryFunctions, DeleteWithTwoArgumentsRemovesTheWholeTree) {
  SetRaw(subkey_ + L"\\tree\\a\\b\\c", L"v", REG_SZ, WideBytes(L"1"));
  SetRaw(subkey_ + L"\\tree\\a\\d", L"v", REG_SZ, WideBytes(L"1"));
  SetRaw(subkey_ + L"\\tree\\e", L"", REG_SZ, WideBytes(L"1"));
  SetRaw(subkey_ + L"\\tree", L"v", REG_SZ, WideBytes(L"1"));
  SetRaw(subkey_ + L"\\sibling", L"v", REG_SZ, WideBytes(L"1"));
  DebugCapture capture;
  EXPECT_EQ(Evaluate("Lua_RegDel('HKCU', " + Quote(subkey_ + L"\\tree") + ")"), "boolean:true");
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, subkey_ + L"\\tree"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, subkey_ + L"\\sibling"));
  EXPECT_TRUE(capture.WideLines().empty());
}

TEST_F(RegistryFunctions, DeleteReportsWhatItCouldNotDo) {
  SetRaw(subkey_, L"keep", REG_SZ, WideBytes(L"1"));
  SetRaw(subkey_, L"gone", REG_SZ, WideBytes(L"1"));
  std::wstring missing = subkey_ + L"\\missing";
  struct DeleteCase {
    std::string arguments;
    std::vector<std::wstring> lines;
  } cases[] = {
      {"'HKCU', " + Quote(missing), {L"vd DeleteSubKey " + missing + L" failed, errcode: 2"}},
      {"'hkcu', " + Key(), {L"vd OpenKey hkcu failed, errcode: 6\r\n"}},
      {"'HKCU', " + Quote(missing) + ", 'v'", {}},
      {"'HKCU', " + Key() + ", 'gone'", {L"vd Delete Value HKCU, " + subkey_ + L", gone"}},
      {"'HKCU', " + Key() + ", 'never there'",
       {L"vd Delete Value HKCU, " + subkey_ + L", never there"}},
  };
  for (const DeleteCase& c : cases) {
    SCOPED_TRACE(c.arguments);
    DebugCapture capture;
    EXPECT_EQ(Evaluate("Lua_RegDel(" + c.arguments + ")"), "boolean:true");
    EXPECT_EQ(capture.WideLines(), c.lines);
  }
  EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, subkey_, L"gone").status, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, subkey_, L"keep").status, ERROR_SUCCESS);
}

// Without a subkey the tree delete would empty the whole root and a one-argument call would
// remove the root's default value: both are refused and leave everything in place.
TEST_F(RegistryFunctions, DeleteWithoutASubkeyTouchesNothing) {
  SetRaw(subkey_, L"v", REG_SZ, WideBytes(L"1"));
  HKEY root = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, nullptr, 0, KEY_ALL_ACCESS, &root), ERROR_SUCCESS);
  RegSetValueExW(root, L"", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"root default"), 26);
  const char* calls[] = {"Lua_RegDel('HKCU', '')", "Lua_RegDel('HKCU', nil)",
                         "Lua_RegDel('HKCU', '\\\\')", "Lua_RegDel('HKCU')", "Lua_RegDel()"};
  for (const char* call : calls) {
    SCOPED_TRACE(call);
    DebugCapture capture;
    EXPECT_EQ(Evaluate(call), "boolean:true");
    EXPECT_EQ(capture.WideLines().size(), 1u);
    EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, subkey_, L"v").status, ERROR_SUCCESS);
    EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, L"", L"").bytes, WideBytes(L"root default"));
  }
  RegDeleteValueW(root, L"");
  RegCloseKey(root);
}

// The installer is a 32-bit program: on 64-bit Windows its machine-wide keys land in the
// 32-bit view (Software\Wow6432Node in the 64-bit one).
TEST(RegistryView, MachineKeysLandInThe32BitView) {
  BOOL wow64 = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow64);
  if (!wow64) GTEST_SKIP() << "not a 32-bit process on 64-bit Windows";
  std::wstring subkey = L"Software\\QLMRegistryViewTest_" + std::to_wstring(GetCurrentProcessId());
  RunChunk("Lua_RegAdd('HKLM', " + Quote(subkey) + ", 'v', 'REG_SZ', 'x')");
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, subkey, KEY_WOW64_32KEY));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, subkey, KEY_WOW64_64KEY));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE,
                        L"Software\\Wow6432Node\\QLMRegistryViewTest_" +
                            std::to_wstring(GetCurrentProcessId()),
                        KEY_WOW64_64KEY));
  EXPECT_EQ(ReadRaw(HKEY_LOCAL_MACHINE, subkey, L"v", KEY_WOW64_32KEY).bytes, WideBytes(L"x"));
  RunChunk("Lua_RegDel('HKLM', " + Quote(subkey) + ")");
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, subkey, KEY_WOW64_32KEY));
}
