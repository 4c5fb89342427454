// Reading skin files by name: from the skin archive when one is set (the in-memory archive
// kept open, or an archive file opened for each read), otherwise from the resource folder.
#pragma once
#include <windows.h>

#include <string_view>
#include <vector>

enum class SkinFileError {
  kNone,
  kOpenFile,
  kEmpty,
  kTooLarge,
  kReadFile,
  kOpenArchive,
  kNotInArchive,
  kUnzip,
};

// Markup documents: at most 4 MiB.
SkinFileError ReadSkinMarkupFile(std::wstring_view name, std::vector<BYTE>& bytes);
// Images and font files: when the skin has no data, the name itself is tried as a path.
bool ReadSkinAssetFile(std::wstring_view name, std::vector<BYTE>& bytes);
// Whether the skin (archive or resource folder) has a file of that name.
bool SkinFileExists(std::wstring_view name);
// The bytes of a module's resource of that id and type, valid while the module stays loaded;
// false when the module has no such resource or it is empty.
bool LockModuleResource(HINSTANCE module, UINT id, const wchar_t* type, const BYTE*& data,
                        DWORD& size);
