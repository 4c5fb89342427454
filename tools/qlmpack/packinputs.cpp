#include <cstdint>
#include <cstring>

#include "filebytes.h"
#include "packresources.h"

namespace {

const unsigned char k7zSignature[6] = {0x37, 0x7A, 0xBC, 0xAF, 0x27, 0x1C};

#pragma pack(push, 1)
struct IconDirHeader {
  WORD reserved;
  WORD type;  // 1 for icons
  WORD count;
};
struct IconFileEntry {
  BYTE width, height, colorCount, reserved;
  WORD planes, bitCount;
  DWORD bytesInRes;
  DWORD imageOffset;
};
struct IconGroupEntry {
  BYTE width, height, colorCount, reserved;
  WORD planes, bitCount;
  DWORD bytesInRes;
  WORD id;
};
#pragma pack(pop)

}  // namespace

bool ReadWholeFile(const std::wstring& path, std::string& bytes, std::wstring& error) {
  switch (ReadWholeFile(path, SIZE_MAX, bytes)) {
    case FileReadError::kNone: return true;
    case FileReadError::kTooLarge: error = L"file too large: " + path; return false;
    case FileReadError::kNoMemory: error = L"out of memory reading " + path; return false;
    default: error = L"cannot read " + path; return false;
  }
}

bool BuildPayload(const std::wstring& path, std::string& payload, std::wstring& error) {
  if (!ReadWholeFile(path, payload, error)) return false;
  if (payload.size() < sizeof(k7zSignature) ||
      std::memcmp(payload.data(), k7zSignature, sizeof(k7zSignature)) != 0) {
    error = L"payload is not a 7z archive: " + path;
    return false;
  }
  std::swap(payload[0], payload[1]);
  return true;
}

bool BuildIconGroup(const std::wstring& path, WORD groupId, std::vector<PackResource>& out,
                    std::wstring& error) {
  std::string file;
  if (!ReadWholeFile(path, file, error)) return false;
  IconDirHeader header;
  if (file.size() < sizeof(header)) {
    error = L"not an icon file: " + path;
    return false;
  }
  std::memcpy(&header, file.data(), sizeof(header));
  if (header.reserved != 0 || header.type != 1 || header.count == 0 ||
      file.size() < sizeof(header) + header.count * sizeof(IconFileEntry)) {
    error = L"not an icon file: " + path;
    return false;
  }
  PackResource group;
  group.typeId = LOWORD(reinterpret_cast<ULONG_PTR>(RT_GROUP_ICON));
  group.nameId = groupId;
  group.bytes.append(reinterpret_cast<const char*>(&header), sizeof(header));
  for (WORD i = 0; i < header.count; ++i) {
    IconFileEntry entry;
    std::memcpy(&entry, file.data() + sizeof(header) + i * sizeof(entry), sizeof(entry));
    if (entry.imageOffset > file.size() || entry.bytesInRes > file.size() - entry.imageOffset) {
      error = L"damaged icon file: " + path;
      return false;
    }
    PackResource image;
    image.typeId = LOWORD(reinterpret_cast<ULONG_PTR>(RT_ICON));
    image.nameId = static_cast<WORD>(i + 1);
    image.bytes = file.substr(entry.imageOffset, entry.bytesInRes);
    out.push_back(image);
    IconGroupEntry groupEntry;
    std::memcpy(&groupEntry, &entry, offsetof(IconFileEntry, imageOffset));
    groupEntry.id = image.nameId;
    group.bytes.append(reinterpret_cast<const char*>(&groupEntry), sizeof(groupEntry));
  }
  out.push_back(group);
  return true;
}
