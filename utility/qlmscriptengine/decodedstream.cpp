#include "decodedstream.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

unsigned DecodeThreads(const DecodeLimits& limits) {
  constexpr unsigned kMaxThreads = 8;
  if (limits.threads != 0) return limits.threads;
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return std::min<unsigned>(std::max<DWORD>(info.dwNumberOfProcessors, 1), kMaxThreads);
}

SRes ReadInto(DecodedStream& stream, Byte* dest, size_t room, size_t* got) {
  *got = 0;
  while (*got != room) {
    const Byte* data;
    size_t size;
    RINOK(stream.Look(&data, &size))
    if (size == 0) break;
    size = std::min(size, room - *got);
    std::memcpy(dest + *got, data, size);
    stream.Skip(size);
    *got += size;
  }
  return SZ_OK;
}
