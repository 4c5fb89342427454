// A skin archive: a ZIP file read from memory. minizip walks the directory and hands out the
// raw entry data; stored and deflated entries and the traditional PKWARE encryption are
// undone here (the packaged minizip is built without decryption).
#pragma once
#include <windows.h>
#include <unzip.h>

#include <memory>
#include <string>
#include <vector>

class CSkinArchive {
 public:
  enum class ReadResult { kOk, kNotFound, kEmpty, kTooLarge, kUnzipFailed };
  // Entry names of this many UTF-8 bytes or more are never found.
  static constexpr size_t kMaxEntryName = 256;

  // The memory block behind the archive's I/O functions.
  struct MemoryStream;

  virtual ~CSkinArchive();
  CSkinArchive(const CSkinArchive&) = delete;
  CSkinArchive& operator=(const CSkinArchive&) = delete;

  // Opens an archive over the caller's bytes, which must outlive the archive.
  static std::unique_ptr<CSkinArchive> OpenMemory(const void* bytes, size_t size,
                                                  const std::wstring& password);
  // Reads an archive file into memory and opens it.
  static std::unique_ptr<CSkinArchive> OpenFile(const std::wstring& path,
                                                const std::wstring& password);

  // Backslashes in `name` count as slashes; ASCII letters compare without regard to case.
  virtual bool Contains(const std::wstring& name);
  // Reads an entry whole; entries larger than maxSize give kTooLarge.
  virtual ReadResult Read(const std::wstring& name, size_t maxSize, std::vector<BYTE>& out);

 private:
  CSkinArchive() = default;
  static std::unique_ptr<CSkinArchive> Open(std::unique_ptr<CSkinArchive> archive,
                                            const std::wstring& password);
  bool Locate(const std::wstring& name);
  bool ReadRawEntry(const unz_file_info& info, std::vector<BYTE>& packed);
  static bool Inflate(std::vector<BYTE>& packed, std::vector<BYTE>& out);

  std::vector<BYTE> ownedBytes_;
  std::unique_ptr<MemoryStream> memory_;
  std::string password_;
  unzFile zip_ = nullptr;
};
