#include "decodedstream.h"

#include <windows.h>

#include <algorithm>

unsigned DecodeThreads(const DecodeLimits& limits) {
  constexpr unsigned kMaxThreads = 8;
  if (limits.threads != 0) return limits.threads;
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return std::min<unsigned>(std::max<DWORD>(info.dwNumberOfProcessors, 1), kMaxThreads);
}
