#include "uizipcrypto.h"

#include <zlib.h>

namespace {

DWORD Crc32Byte(DWORD crc, BYTE b) {
  return static_cast<DWORD>(crc32(crc ^ 0xFFFFFFFFu, &b, 1)) ^ 0xFFFFFFFFu;
}

}  // namespace

CZipDecryptor::CZipDecryptor(const std::string& password)
    : keys_{0x12345678u, 0x23456789u, 0x34567890u} {
  for (char c : password) Update(static_cast<BYTE>(c));
}

void CZipDecryptor::Update(BYTE plain) {
  keys_[0] = Crc32Byte(keys_[0], plain);
  keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
  keys_[2] = Crc32Byte(keys_[2], static_cast<BYTE>(keys_[1] >> 24));
}

BYTE CZipDecryptor::NextMask() const {
  WORD temp = static_cast<WORD>((keys_[2] & 0xFFFF) | 2);
  return static_cast<BYTE>((temp * (temp ^ 1)) >> 8);
}

void CZipDecryptor::Decrypt(BYTE* data, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    data[i] = static_cast<BYTE>(data[i] ^ NextMask());
    Update(data[i]);
  }
}

bool CZipDecryptor::DecryptHeader(BYTE* header, BYTE check) {
  Decrypt(header, kHeaderSize);
  return header[kHeaderSize - 1] == check;
}
