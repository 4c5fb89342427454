// Reading a whole file into memory, for the programs' own inputs (chunks, payloads, images).
#pragma once
#include <cstddef>
#include <string>

enum class FileReadError { kNone, kOpen, kTooLarge, kNoMemory, kRead };

// Reads the file at `path` into `bytes` (an empty file gives empty bytes). A file larger than
// `maxSize` bytes, or than 2 GiB, is refused before anything is read.
FileReadError ReadWholeFile(const std::wstring& path, size_t maxSize, std::string& bytes);
