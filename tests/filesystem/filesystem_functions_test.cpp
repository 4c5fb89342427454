// The file-system functions as scripts call them, checked against the file system itself.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "debugcapture.h"
#include "qlmscriptengine.h"
#include "scripttest.h"
#include "stringconv.h"
#include "testsupport.h"

namespace {

constexpr wchar_t kPromptCaption[] = L"提示";

std::string Call(const char* function, const std::wstring& path) {
  return Evaluate(std::string(function) + "(" + Quote(path) + ")");
}

bool IsFolder(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Holds a file open without sharing, so that nobody else can delete it.
class LockedFile {
 public:
  explicit LockedFile(const std::wstring& path)
      : handle_(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~LockedFile() { Unlock(); }
  bool Locked() const { return handle_ != INVALID_HANDLE_VALUE; }
  void Unlock() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

std::wstring CurrentDirectory() {
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  return current;
}

class FileSystemFunctions : public ::testing::Test {
 protected:
  void SetUp() override {
    SetEnvironmentVariableW(L"QLMFS_ROOT", folder_.Path().c_str());
    SetEnvironmentVariableW(L"QLMFS_LONG", std::wstring(270, L'x').c_str());
  }
  void TearDown() override { SetCurrentDirectoryW(ModuleFolder().c_str()); }

  std::wstring At(const std::wstring& name) const { return folder_ / name; }
  void Write(const std::wstring& name, const std::string& bytes = "data") {
    ASSERT_TRUE(WriteFileBytes(At(name), bytes));
  }

  TempFolder folder_{L"qlmfs"};
};

}  // namespace

TEST_F(FileSystemFunctions, CreateDirectoryMakesEveryMissingLevel) {
  Write(L"file");
  ASSERT_TRUE(CreateDirectoryW(At(L"existing").c_str(), nullptr));
  struct CreateCase {
    std::string argument;
    std::string result;
    std::wstring created;  // must be a folder afterwards
    std::vector<std::wstring> lines;
  } cases[] = {
      {Quote(At(L"existing")), "boolean:true", At(L"existing"), {}},
      {Quote(At(L"file")), "boolean:true", L"", {}},
      {"'%QLMFS_ROOT%\\\\a\\\\b\\\\c'", "boolean:true", At(L"a\\b\\c"),
       {L"vd Create Directory " + At(L"a\\b\\c") + L"!\r\n"}},
      {Quote(At(L"file\\below")), "boolean:false", L"",
       {L"vd Fun:Lua_CreateDirectory, Description:" + At(L"file\\below") +
        L" it's not exists!\r\n"}},
      // An expansion beyond MAX_PATH is refused rather than cut.
      {"'%QLMFS_ROOT%\\\\%QLMFS_LONG%'", "boolean:false", L"",
       {L"vd Fun:Lua_CreateDirectory, Description:%QLMFS_ROOT%\\%QLMFS_LONG% is too long!\r\n"}},
  };
  for (const CreateCase& c : cases) {
    SCOPED_TRACE(c.argument);
    DebugCapture capture;
    EXPECT_EQ(Evaluate("Lua_CreateDirectory(" + c.argument + ")"), c.result);
    if (!c.created.empty()) {
      EXPECT_TRUE(IsFolder(c.created));
    }
    EXPECT_EQ(capture.WideLines(), c.lines);
  }
  EXPECT_FALSE(FileExists(At(L"file\\below")));
}

TEST_F(FileSystemFunctions, CopyAndMoveOverwriteSilently) {
  Write(L"source.txt", "new");
  Write(L"target.txt", "old");
  DebugCapture capture;
  EXPECT_EQ(Evaluate("Lua_CopyFile(" + Quote(At(L"source.txt")) + ", '%QLMFS_ROOT%\\\\target.txt')"),
            "boolean:true");
  EXPECT_EQ(ReadFileBytes(At(L"target.txt")), "new");
  EXPECT_EQ(ReadFileBytes(At(L"source.txt")), "new");
  EXPECT_TRUE(capture.Contains(WideToAnsi(L"vd Copy " + At(L"source.txt") + L" to " +
                                          At(L"target.txt") + L" !")));

  Write(L"moved.txt", "old");
  EXPECT_EQ(Evaluate("Lua_MoveFile(" + Quote(At(L"source.txt")) + ", " + Quote(At(L"moved.txt")) +
                     ")"),
            "boolean:true");
  EXPECT_EQ(ReadFileBytes(At(L"moved.txt")), "new");
  EXPECT_FALSE(FileExists(At(L"source.txt")));
}

// A target on a drive that does not exist: the move fails without any dialog.
TEST_F(FileSystemFunctions, MoveReportsTheShellCodeWhenItFails) {
  Write(L"a.txt");
  DebugCapture capture;
  EXPECT_EQ(Evaluate("Lua_MoveFile(" + Quote(At(L"a.txt")) + ", [[B:\\nowhere\\a.txt]])"),
            "boolean:false");
  std::vector<std::wstring> lines = capture.WideLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], L"vd Move " + At(L"a.txt") + L" to B:\\nowhere\\a.txt failed!");
  EXPECT_EQ(lines[1].rfind(L"vd SHFileOperation error code : 0x", 0), 0u) << WideToUtf8(lines[1]);
  EXPECT_TRUE(FileExists(At(L"a.txt")));
}

TEST_F(FileSystemFunctions, CopyMoveAndRenameRefuseAMissingSource) {
  const char* functions[] = {"Lua_CopyFile", "Lua_MoveFile", "Lua_RenameFile"};
  for (const char* function : functions) {
    SCOPED_TRACE(function);
    DebugCapture capture;
    EXPECT_EQ(Evaluate(std::string(function) + "(" + Quote(At(L"missing")) + ", " +
                       Quote(At(L"target")) + ")"),
              "boolean:false");
    EXPECT_EQ(capture.WideLines(),
              std::vector<std::wstring>{L"vd Fun:" + Utf8ToWide(function) + L", Description:" +
                                        At(L"missing") + L" it's not exists!\r\n"});
    EXPECT_FALSE(FileExists(At(L"target")));
  }
}

TEST_F(FileSystemFunctions, CopyFolderWithContent) {
  Write(L"tree");
  DeleteFileW(At(L"tree").c_str());
  CreateDirectoryW(At(L"tree").c_str(), nullptr);
  Write(L"tree\\inner.txt", "inner");
  EXPECT_EQ(Evaluate("Lua_CopyFile(" + Quote(At(L"tree")) + ", " + Quote(At(L"copy")) + ")"),
            "boolean:true");
  EXPECT_EQ(ReadFileBytes(At(L"copy\\inner.txt")), "inner");
}

TEST_F(FileSystemFunctions, RenameReplacesAnExistingTarget) {
  Write(L"from.txt", "from");
  Write(L"to.txt", "to");
  DebugCapture capture;
  EXPECT_EQ(Evaluate("Lua_RenameFile('%QLMFS_ROOT%\\\\from.txt', " + Quote(At(L"to.txt")) + ")"),
            "boolean:true");
  EXPECT_EQ(ReadFileBytes(At(L"to.txt")), "from");
  EXPECT_FALSE(FileExists(At(L"from.txt")));
  EXPECT_EQ(capture.WideLines(), std::vector<std::wstring>{L"vd MoveFile " + At(L"from.txt") +
                                                           L" to " + At(L"to.txt") + L" !"});
  Write(L"again.txt");
  EXPECT_EQ(Evaluate("Lua_RenameFile(" + Quote(At(L"again.txt")) + ", " +
                     Quote(At(L"no folder\\x.txt")) + ")"),
            "boolean:false");
  EXPECT_TRUE(FileExists(At(L"again.txt")));
}

TEST_F(FileSystemFunctions, DeleteFunctionsTreatMissingAsDoneAndRemoveFolders) {
  const char* functions[] = {"Lua_DeleteFile", "Lua_DeleteFileEx", "Lua_DeleteFileAfterReboot",
                             "Lua_DelFileRecursive", "Lua_DelFileRecursiveEx"};
  for (const char* function : functions) {
    SCOPED_TRACE(function);
    EXPECT_EQ(Call(function, At(L"missing")), "boolean:true");
  }
  const char* shellDeletes[] = {"Lua_DeleteFile", "Lua_DeleteFileEx"};
  for (const char* function : shellDeletes) {
    SCOPED_TRACE(function);
    CreateDirectoryW(At(L"tree").c_str(), nullptr);
    CreateDirectoryW(At(L"tree\\sub").c_str(), nullptr);
    Write(L"tree\\sub\\a.txt");
    Write(L"file.txt");
    EXPECT_EQ(Call(function, At(L"tree")), "boolean:true");
    EXPECT_EQ(Evaluate(std::string(function) + "('%QLMFS_ROOT%\\\\file.txt')"), "boolean:true");
    EXPECT_FALSE(FileExists(At(L"tree")));
    EXPECT_FALSE(FileExists(At(L"file.txt")));
  }
}

// A path whose expansion does not fit into MAX_PATH is refused: nothing is deleted and the
// deletion is not reported as done.
TEST_F(FileSystemFunctions, DeleteFunctionsRefuseAnOverlongExpansion) {
  const char* functions[] = {"Lua_DeleteFile", "Lua_DeleteFileEx", "Lua_DeleteFileAfterReboot",
                             "Lua_DelFileRecursive", "Lua_DelFileRecursiveEx"};
  for (const char* function : functions) {
    SCOPED_TRACE(function);
    EXPECT_EQ(Evaluate(std::string(function) + "('%QLMFS_ROOT%\\\\%QLMFS_LONG%')"),
              "boolean:false");
  }
}

TEST_F(FileSystemFunctions, DeleteFileAsksAboutALockedFileAndIgnoreGivesTrue) {
  LockedFile locked(At(L"locked.txt"));
  ASSERT_TRUE(locked.Locked());
  MessageBoxAnswerer answerer(kPromptCaption, IDIGNORE);
  DebugCapture capture;
  EXPECT_EQ(Call("Lua_DeleteFile", At(L"locked.txt")), "boolean:true");
  EXPECT_TRUE(answerer.Wait(10000));
  EXPECT_EQ(answerer.LastText(), L"无法删除\"" + At(L"locked.txt") +
                                     L"\"，可能是被占用，请关闭占用程序后点击重试或者点击忽略在卸载完成之后手动删除！");
  std::vector<std::wstring> lines = capture.WideLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], L"vd Delete " + At(L"locked.txt") + L" failed!\r\n");
  EXPECT_EQ(lines[1].rfind(L"vd SHFileOperation error code : 0x", 0), 0u) << lines[1];
  EXPECT_TRUE(FileExists(At(L"locked.txt")));
}

// Retry repeats the deletion and the question until the file can go: the lock is released
// while the second box is up.
TEST_F(FileSystemFunctions, DeleteFileRetriesUntilTheFileGoes) {
  LockedFile locked(At(L"locked.txt"));
  ASSERT_TRUE(locked.Locked());
  std::atomic<int> boxes{0};
  std::atomic<bool> stop{false};
  std::thread answerer([&] {
    while (!stop) {
      HWND box = FindOwnDialog(kPromptCaption);
      if (box == nullptr) {
        Sleep(50);
        continue;
      }
      if (++boxes == 2) locked.Unlock();
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDRETRY, BN_CLICKED), 0);
      for (int i = 0; i < 200 && IsWindow(box); ++i) Sleep(25);
    }
  });
  std::string result = Call("Lua_DeleteFile", At(L"locked.txt"));
  stop = true;
  answerer.join();
  EXPECT_EQ(result, "boolean:true");
  EXPECT_EQ(boxes, 2);
  EXPECT_FALSE(FileExists(At(L"locked.txt")));
}

// Abort ends the whole process at once with exit code 0; watched from outside in a child.
TEST_F(FileSystemFunctions, DeleteFileAbortEndsTheProcessWithCodeZero) {
  LockedFile locked(At(L"locked.txt"));
  ASSERT_TRUE(locked.Locked());
  Write(L"script.lua", "Lua_DeleteFile(" + Quote(At(L"locked.txt")) +
                           ") Lua_CreateDirectory(" + Quote(At(L"after abort")) + ")");
  MessageBoxAnswerer answerer(kPromptCaption, IDABORT);
  ProcessResult run = RunScriptInChild(At(L"script.lua"));
  ASSERT_TRUE(run.started);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_TRUE(answerer.Wait(10000));
  EXPECT_FALSE(FileExists(At(L"after abort")));
  EXPECT_TRUE(FileExists(At(L"locked.txt")));
}

TEST_F(FileSystemFunctions, DeleteFileExFailsQuietlyOnALockedFile) {
  LockedFile locked(At(L"locked.txt"));
  ASSERT_TRUE(locked.Locked());
  MessageBoxAnswerer answerer(kPromptCaption, IDIGNORE);
  DebugCapture capture;
  EXPECT_EQ(Call("Lua_DeleteFileEx", At(L"locked.txt")), "boolean:false");
  EXPECT_EQ(answerer.Answered(), 0);
  EXPECT_TRUE(capture.WideLines().empty());
}

TEST_F(FileSystemFunctions, RecursiveDeleteClearsReadOnlyFilesInsideTheTree) {
  const char* functions[] = {"Lua_DelFileRecursive", "Lua_DelFileRecursiveEx"};
  for (const char* function : functions) {
    SCOPED_TRACE(function);
    CreateDirectoryW(At(L"tree").c_str(), nullptr);
    CreateDirectoryW(At(L"tree\\sub").c_str(), nullptr);
    CreateDirectoryW(At(L"tree\\sub\\deeper").c_str(), nullptr);
    Write(L"tree\\a.txt");
    Write(L"tree\\sub\\read-only.txt");
    Write(L"tree\\sub\\deeper\\hidden.txt");
    SetFileAttributesW(At(L"tree\\sub\\read-only.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(At(L"tree\\sub\\deeper\\hidden.txt").c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    DebugCapture capture;
    // The uninstall script passes a function to the plain variant as well; it is ignored.
    EXPECT_EQ(Evaluate(std::string(function) + "('%QLMFS_ROOT%\\\\tree', function() end)"),
              "<none>");
    EXPECT_FALSE(FileExists(At(L"tree")));
    std::wstring operation = std::string(function) == "Lua_DelFileRecursive"
                                 ? L"QLMScriptEngine::DeleteDirectories"
                                 : L"QLMScriptEngine::DeleteDirectoriesEx";
    std::vector<std::wstring> lines = capture.WideLines();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], L"vd " + Utf8ToWide(function));
    EXPECT_EQ(lines[1], L"vd PathIsDirectoryW");
    EXPECT_EQ(lines[2], L"vd " + operation + L" " + At(L"tree"));
    EXPECT_EQ(lines.size(), 5u);
  }
}

TEST_F(FileSystemFunctions, RecursiveDeleteOfAReadOnlyFileLeavesIt) {
  Write(L"read-only.txt");
  SetFileAttributesW(At(L"read-only.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  DebugCapture capture;
  EXPECT_EQ(Call("Lua_DelFileRecursive", At(L"read-only.txt")), "<none>");
  EXPECT_TRUE(FileExists(At(L"read-only.txt")));
  EXPECT_EQ(capture.WideLines(),
            (std::vector<std::wstring>{L"vd Lua_DelFileRecursive", L"vd Path is file!"}));
  SetFileAttributesW(At(L"read-only.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  Write(L"plain.txt");
  EXPECT_EQ(Call("Lua_DelFileRecursiveEx", At(L"plain.txt")), "<none>");
  EXPECT_FALSE(FileExists(At(L"plain.txt")));
}

// One locked file: the callback hears of it once, with its path and the sharing violation,
// and everything else goes; the folders on its way stay because they are not empty.
TEST_F(FileSystemFunctions, RecursiveDeleteExHandsEachResistingFileToTheScript) {
  CreateDirectoryW(At(L"tree").c_str(), nullptr);
  CreateDirectoryW(At(L"tree\\安装").c_str(), nullptr);
  CreateDirectoryW(At(L"tree\\other").c_str(), nullptr);
  Write(L"tree\\a.txt");
  Write(L"tree\\other\\b.txt");
  Write(L"tree\\安装\\c.txt");
  LockedFile locked(At(L"tree\\安装\\锁定.txt"));
  ASSERT_TRUE(locked.Locked());
  RunChunk("qlm_calls = {} Lua_DelFileRecursiveEx(" + Quote(At(L"tree")) +
      ", function(path, code) qlm_calls[#qlm_calls + 1] = path .. '|' .. code return 0 end)");
  RunChunk("qlm_count = #qlm_calls qlm_first = qlm_calls[1]");
  EXPECT_EQ(QLMScriptEngine::Instance().GetGlobalInteger("qlm_count"), 1);
  EXPECT_EQ(QLMScriptEngine::Instance().GetGlobalString("qlm_first"),
            At(L"tree\\安装\\锁定.txt") + L"|32");
  EXPECT_TRUE(FileExists(At(L"tree\\安装\\锁定.txt")));
  EXPECT_FALSE(FileExists(At(L"tree\\安装\\c.txt")));
  EXPECT_FALSE(FileExists(At(L"tree\\a.txt")));
  EXPECT_FALSE(FileExists(At(L"tree\\other")));

  // A locked file given directly reaches the callback as well.
  RunChunk("qlm_calls = {} Lua_DelFileRecursiveEx(" + Quote(At(L"tree\\安装\\锁定.txt")) +
      ", function(path, code) qlm_calls[#qlm_calls + 1] = code end)");
  RunChunk("qlm_count = #qlm_calls qlm_first = qlm_calls[1]");
  EXPECT_EQ(QLMScriptEngine::Instance().GetGlobalInteger("qlm_count"), 1);
  EXPECT_EQ(QLMScriptEngine::Instance().GetGlobalString("qlm_first"), L"32");
}

TEST_F(FileSystemFunctions, RecursiveDeleteExReleasesTheCallbackReference) {
  CreateDirectoryW(At(L"tree").c_str(), nullptr);
  lua_State* L = QLMScriptEngine::Instance().State();
  // The next free registry reference is reused once the call has released its own.
  lua_pushboolean(L, 1);
  int before = luaL_ref(L, LUA_REGISTRYINDEX);
  luaL_unref(L, LUA_REGISTRYINDEX, before);
  RunChunk("Lua_DelFileRecursiveEx(" + Quote(At(L"tree")) + ", function() end)");
  RunChunk("Lua_DelFileRecursiveEx(" + Quote(At(L"missing")) + ", function() end)");
  lua_pushboolean(L, 1);
  int after = luaL_ref(L, LUA_REGISTRYINDEX);
  luaL_unref(L, LUA_REGISTRYINDEX, after);
  EXPECT_EQ(after, before);
  EXPECT_EQ(lua_gettop(L), 0);
}

// A linked folder inside the tree is unlinked; the folder it points to keeps its content.
TEST_F(FileSystemFunctions, RecursiveDeleteDoesNotFollowFolderLinks) {
  ASSERT_TRUE(CreateDirectoryW(At(L"elsewhere").c_str(), nullptr));
  Write(L"elsewhere\\keep.txt");
  ASSERT_TRUE(CreateDirectoryW(At(L"tree").c_str(), nullptr));
  if (!CreateSymbolicLinkW(At(L"tree\\link").c_str(), At(L"elsewhere").c_str(),
                           SYMBOLIC_LINK_FLAG_DIRECTORY)) {
    GTEST_SKIP() << "folder links unavailable, error " << GetLastError();
  }
  EXPECT_EQ(Call("Lua_DelFileRecursive", At(L"tree")), "<none>");
  EXPECT_TRUE(FileExists(At(L"elsewhere\\keep.txt")));
  EXPECT_FALSE(FileExists(At(L"tree")));
}

// Removing the current directory moves it to the parent first; the folder is found also when
// the script writes it in other letter case.
TEST_F(FileSystemFunctions, RecursiveDeleteLeavesTheCurrentDirectoryForItsParent) {
  const std::wstring names[] = {L"cwd", L"CWD2"};
  for (const std::wstring& name : names) {
    SCOPED_TRACE(WideToUtf8(name));
    std::wstring created = At(name == L"cwd" ? L"cwd" : L"cwd2");
    ASSERT_TRUE(CreateDirectoryW(created.c_str(), nullptr));
    Write((name == L"cwd" ? L"cwd" : L"cwd2") + std::wstring(L"\\a.txt"));
    ASSERT_TRUE(SetCurrentDirectoryW(created.c_str()));
    EXPECT_EQ(Call("Lua_DelFileRecursive", At(name)), "<none>");
    EXPECT_EQ(CurrentDirectory(), folder_.Path());
    EXPECT_FALSE(FileExists(created));
  }
}

TEST_F(FileSystemFunctions, DeleteAfterRebootRegistersTheFile) {
  Write(L"later.txt");
  HKEY session = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                          0, KEY_QUERY_VALUE | KEY_SET_VALUE, &session),
            ERROR_SUCCESS);
  std::vector<BYTE> saved(65536);
  DWORD savedSize = static_cast<DWORD>(saved.size());
  bool hadValue = RegQueryValueExW(session, L"PendingFileRenameOperations", nullptr, nullptr,
                                   saved.data(), &savedSize) == ERROR_SUCCESS;
  EXPECT_EQ(Call("Lua_DeleteFileAfterReboot", At(L"later.txt")), "boolean:true");
  std::vector<wchar_t> pending(32768);
  DWORD size = static_cast<DWORD>(pending.size() * sizeof(wchar_t));
  ASSERT_EQ(RegQueryValueExW(session, L"PendingFileRenameOperations", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(pending.data()), &size),
            ERROR_SUCCESS);
  std::wstring operations(pending.data(), size / sizeof(wchar_t));
  EXPECT_NE(operations.find(At(L"later.txt")), std::wstring::npos);
  if (hadValue) {
    RegSetValueExW(session, L"PendingFileRenameOperations", 0, REG_MULTI_SZ, saved.data(),
                   savedSize);
  } else {
    RegDeleteValueW(session, L"PendingFileRenameOperations");
  }
  RegCloseKey(session);
}

TEST_F(FileSystemFunctions, TempFileNameCreatesAnEmptyFileFromThePrefix) {
  RunChunk("qlm_name = Lua_GetTempFileName('%QLMFS_ROOT%', 'abcdef')");
  std::wstring name = QLMScriptEngine::Instance().GetGlobalString("qlm_name");
  ASSERT_EQ(name.rfind(folder_.Path() + L"\\abc", 0), 0u) << WideToUtf8(name);
  std::wstring rest = name.substr(folder_.Path().size() + 4);
  ASSERT_GT(rest.size(), 4u);
  // Windows writes the extension as ".TMP", Wine as ".tmp".
  EXPECT_EQ(CompareStringOrdinal(rest.c_str() + rest.size() - 4, 4, L".TMP", 4, TRUE), CSTR_EQUAL);
  EXPECT_EQ(rest.substr(0, rest.size() - 4).find_first_not_of(L"0123456789ABCDEFabcdef"),
            std::wstring::npos);
  EXPECT_TRUE(FileExists(name));
  EXPECT_EQ(ReadFileBytes(name), "");
  EXPECT_EQ(Evaluate("Lua_GetTempFileName(" + Quote(At(L"missing")) + ", 'abc')"), "nil:nil");
}

TEST_F(FileSystemFunctions, TempPathIsTheLocalApplicationDataFolder) {
  wchar_t appData[MAX_PATH] = {};
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, appData)));
  EXPECT_EQ(Evaluate("Lua_GetTempPath()"), "string:" + WideToUtf8(appData));
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  EXPECT_NE(std::wstring(appData), std::wstring(temp));
}

TEST_F(FileSystemFunctions, PathFileExistsTakesThePathUnexpanded) {
  Write(L"file.txt");
  EXPECT_EQ(Call("Lua_PathFileExists", At(L"file.txt")), "boolean:true");
  EXPECT_EQ(Call("Lua_PathFileExists", folder_.Path()), "boolean:true");
  EXPECT_EQ(Call("Lua_PathFileExists", At(L"missing")), "boolean:false");
  EXPECT_EQ(Evaluate("Lua_PathFileExists('%QLMFS_ROOT%')"), "boolean:false");
  EXPECT_EQ(Evaluate("Lua_PathFileExists()"), "boolean:false");
}

TEST_F(FileSystemFunctions, UniqueNameIsANewPathInTheSameFolder) {
  Write(L"setup.exe");
  RunChunk("qlm_unique = Lua_PathYetAnotherMakeUniqueName(" + Quote(At(L"setup.exe")) + ")");
  std::wstring unique = QLMScriptEngine::Instance().GetGlobalString("qlm_unique");
  ASSERT_FALSE(unique.empty());
  EXPECT_NE(unique, At(L"setup.exe"));
  EXPECT_EQ(unique.rfind(folder_.Path() + L"\\", 0), 0u) << WideToUtf8(unique);
  EXPECT_EQ(unique.find(L'\\', folder_.Path().size() + 1), std::wstring::npos);
  EXPECT_FALSE(FileExists(unique));
}
