// The resources that qlmpack puts into an installer, built from the developer's files. Every
// builder returns false with a one-line message in `error` when its input is unusable.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The type of application manifests (RT_MANIFEST) as a number.
constexpr WORD kManifestType = 24;

struct PackResource {
  std::wstring type;  // a name, or empty when `typeId` is used
  WORD typeId = 0;
  std::wstring name;  // a name, or empty when `nameId` is used
  WORD nameId = 0;
  std::string bytes;
};

bool ReadWholeFile(const std::wstring& path, std::string& bytes, std::wstring& error);

// Compiles Lua source into a precompiled chunk of the installer's 32-bit interpreter.
bool CompileChunk(const std::wstring& path, std::string& chunk, std::wstring& error);

// A skin folder zipped with fixed timestamps in name order, or a .zip file as it is.
bool BuildSkinArchive(const std::wstring& path, std::string& archive, std::wstring& error);

// A 7z archive with bytes 0 and 1 exchanged, as the installer expects its payload.
bool BuildPayload(const std::wstring& path, std::string& payload, std::wstring& error);

// The images of an .ico file as RT_ICON resources (ids 1..n) and the group `groupId`.
bool BuildIconGroup(const std::wstring& path, WORD groupId, std::vector<PackResource>& out,
                    std::wstring& error);
