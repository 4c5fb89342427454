// The traditional PKWARE ZIP encryption: decrypts an entry's data in place.
#pragma once
#include <windows.h>

#include <string>

class CZipDecryptor {
 public:
  // Size of the encryption header in front of every encrypted entry's data.
  static constexpr size_t kHeaderSize = 12;

  explicit CZipDecryptor(const std::string& password);
  virtual ~CZipDecryptor() = default;

  // Decrypts the header and returns whether its last byte equals `check` (the high byte of
  // the entry's CRC, or of its modification time when sizes follow the data).
  virtual bool DecryptHeader(BYTE* header, BYTE check);
  virtual void Decrypt(BYTE* data, size_t size);

 private:
  void Update(BYTE plain);
  BYTE NextMask() const;

  DWORD keys_[3];
};
