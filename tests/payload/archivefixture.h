// The payload tests' view of archives at the decoder's level: their items as the 7z database
// lists them, the status of the LZMA SDK's whole-block extraction (what the extractor gave
// before it decoded in pieces), ExtractArchive over an archive's bytes, and patches that
// damage an archive with a plain header.
#pragma once
#include <string>
#include <vector>

#include "7zTypes.h"
#include "decodedstream.h"

// The bytes of a build-time archive (name without ".7z").
std::string ReadArchive(const std::wstring& name);

struct ArchiveItem {
  std::wstring name;  // with "\" separators
  bool hasData;       // a file with bytes in a folder
  UInt32 folder;
  bool hasCrc;
  UInt32 crc;
};
// Every item in archive order; empty when the database cannot be read.
std::vector<ArchiveItem> ListItems(const std::string& archive);

// The first packed stream of folder 0: where it starts in the archive and its size, with the
// folder's coder properties and unpacked size.
struct FirstFolder {
  UInt64 packStart = 0;
  UInt64 packSize = 0;
  std::string props;
  UInt64 unpackSize = 0;
};
FirstFolder ReadFirstFolder(const std::string& archive);

// The status of SzArEx_Extract over every file item in order: the first failure, or 0.
SRes WholeBlockStatus(const std::string& archive);

enum class Source { kMemory, kFile };
// ExtractArchive over the archive's bytes, read from memory as the payload resource is, or
// from a file as in file mode.
SRes ExtractBytes(const std::string& archive, const std::wstring& destination,
                  const DecodeLimits& limits, Source source);

// Recomputes the header's CRC and the start header's CRC after a patch.
void FixHeaderCrcs(std::string& archive);
// Halves the size that the plain header gives the first packed stream; false when the header
// does not begin as 7zz writes it.
bool HalveFirstPackSize(std::string& archive);
// Flips a bit of the item CRC `crc` in the plain header; false when it is not found there.
bool BreakItemCrc(std::string& archive, UInt32 crc);
