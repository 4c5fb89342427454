// An in-process mutation loop for the fuzz targets that only build for Windows (they run
// under Wine here): the same entry LLVMFuzzerTestOneInput as libFuzzer's targets.
//   fuzzloop <seconds> <seed> <findings folder> <corpus file or folder>...
//   fuzzloop --replay <file or folder>...
// It runs every corpus input once, then mutated copies of them (bit flips, interesting
// values, insertions, deletions, copies within an input and splices of two) until the time is
// up. A crash, an uncaught C++ exception, an input that runs longer than 10 s or one that
// raises the process's committed memory by more than 512 MiB is written to the findings
// folder and ends the run with a non-zero exit code.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

constexpr size_t kMaxInput = 1 << 20;
constexpr DWORD kHangMs = 10000;
constexpr SIZE_T kMemoryGrowthLimit = 512u << 20;

using Input = std::vector<uint8_t>;

// The input being run, for the handlers that write it out.
const Input* g_current = nullptr;
std::wstring g_findings;
volatile LONG g_runStarted = 0;  // GetTickCount() at the start of the current run, 0 between
volatile LONG g_executions = 0;

void WriteFinding(const char* kind) {
  if (g_current == nullptr || g_findings.empty()) return;
  uint32_t hash = 2166136261u;
  for (uint8_t b : *g_current) hash = (hash ^ b) * 16777619u;
  wchar_t name[64];
  swprintf(name, 64, L"\\%hs-%08x", kind, hash);
  std::wstring path = g_findings + name;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(file, g_current->data(), static_cast<DWORD>(g_current->size()), &written, nullptr);
    CloseHandle(file);
  }
  fprintf(stderr, "fuzzloop: %s after %ld executions, input of %u bytes written to %ls\n", kind,
          g_executions, static_cast<unsigned>(g_current->size()), path.c_str());
  fflush(stderr);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* pointers) {
  fprintf(stderr, "fuzzloop: exception 0x%08lx at %p\n",
          pointers->ExceptionRecord->ExceptionCode, pointers->ExceptionRecord->ExceptionAddress);
  WriteFinding("crash");
  TerminateProcess(GetCurrentProcess(), 1);
  return EXCEPTION_EXECUTE_HANDLER;
}

void OnTerminate() {
  if (std::exception_ptr thrown = std::current_exception()) {
    try {
      std::rethrow_exception(thrown);
    } catch (const std::exception& exception) {
      fprintf(stderr, "fuzzloop: uncaught %s\n", exception.what());
    } catch (...) {
      fprintf(stderr, "fuzzloop: uncaught exception of another type\n");
    }
  }
  WriteFinding("exception");
  TerminateProcess(GetCurrentProcess(), 1);
}

DWORD WINAPI Watchdog(void*) {
  for (;;) {
    Sleep(500);
    LONG started = g_runStarted;
    // Signed: the start is the tick count with its lowest bit set, maybe just ahead of it.
    if (started != 0 && static_cast<LONG>(GetTickCount() - started) > static_cast<LONG>(kHangMs)) {
      WriteFinding("hang");
      TerminateProcess(GetCurrentProcess(), 2);
    }
  }
}

SIZE_T CommittedMemory() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakPagefileUsage;
}

bool Run(const Input& input, SIZE_T baseline) {
  g_current = &input;
  g_runStarted = static_cast<LONG>(GetTickCount() | 1);
  LLVMFuzzerTestOneInput(input.data(), input.size());
  g_runStarted = 0;
  InterlockedIncrement(&g_executions);
  if (CommittedMemory() > baseline + kMemoryGrowthLimit) {
    WriteFinding("memory");
    return false;
  }
  return true;
}

void AddInputs(const std::wstring& path, std::vector<Input>& corpus) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    std::vector<std::wstring> names;
    do {
      if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0) {
        names.push_back(found.cFileName);
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());  // the same order on every run
    for (const std::wstring& name : names) AddInputs(path + L"\\" + name, corpus);
    return;
  }
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD size = GetFileSize(file, nullptr);
  if (size <= kMaxInput) {
    Input bytes(size);
    DWORD read = 0;
    if (ReadFile(file, bytes.data(), size, &read, nullptr) && read == size) corpus.push_back(bytes);
  }
  CloseHandle(file);
}

// xorshift64*: a fixed seed gives the same mutations on every run.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed * 2654435761u + 1) {}
  uint64_t Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 2685821657736338717ull;
  }
  size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(Next() % n); }

 private:
  uint64_t state_;
};

void Mutate(Input& data, const std::vector<Input>& corpus, Random& random) {
  static const uint32_t kInteresting[] = {0,          1,          0x7F,       0x80,
                                          0xFF,       0x7FFF,     0x8000,     0xFFFF,
                                          0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x10000};
  const size_t rounds = 1 + random.Below(8);
  for (size_t round = 0; round < rounds; ++round) {
    switch (random.Below(data.empty() ? 2 : 8)) {
      case 0: {  // insert random bytes
        size_t at = random.Below(data.size() + 1);
        size_t count = 1 + random.Below(16);
        if (data.size() + count > kMaxInput) break;
        Input bytes(count);
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(random.Next());
        data.insert(data.begin() + at, bytes.begin(), bytes.end());
        break;
      }
      case 1: {  // splice with another input
        const Input& other = corpus[random.Below(corpus.size())];
        if (other.empty()) break;
        size_t from = random.Below(other.size());
        size_t count = 1 + random.Below(other.size() - from);
        size_t at = random.Below(data.size() + 1);
        if (data.size() + count > kMaxInput) break;
        data.insert(data.begin() + at, other.begin() + from, other.begin() + from + count);
        break;
      }
      case 2:  // flip a bit
        data[random.Below(data.size())] ^= static_cast<uint8_t>(1u << random.Below(8));
        break;
      case 3:  // a random byte
        data[random.Below(data.size())] = static_cast<uint8_t>(random.Next());
        break;
      case 4: {  // an interesting value, 1, 2 or 4 bytes, either byte order
        uint32_t value = kInteresting[random.Below(sizeof kInteresting / sizeof *kInteresting)];
        size_t width = size_t{1} << random.Below(3);
        size_t at = random.Below(data.size());
        bool big = random.Below(2) == 0;
        for (size_t k = 0; k < width && at + k < data.size(); ++k) {
          size_t shift = 8 * (big ? width - 1 - k : k);
          data[at + k] = static_cast<uint8_t>(value >> shift);
        }
        break;
      }
      case 5: {  // delete a range
        size_t at = random.Below(data.size());
        size_t count = 1 + random.Below(std::min<size_t>(data.size() - at, 64));
        data.erase(data.begin() + at, data.begin() + at + count);
        break;
      }
      case 6: {  // copy a range over another place
        size_t from = random.Below(data.size());
        size_t to = random.Below(data.size());
        size_t count = 1 + random.Below(std::min(data.size() - from, data.size() - to));
        Input piece(data.begin() + from, data.begin() + from + count);
        std::copy(piece.begin(), piece.end(), data.begin() + to);
        break;
      }
      default:  // cut the end
        data.resize(random.Below(data.size()));
        break;
    }
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(OnCrash);
  std::set_terminate(OnTerminate);
  const bool replay = argc >= 2 && wcscmp(argv[1], L"--replay") == 0;
  if (!replay && argc < 5) {
    fprintf(stderr, "usage: fuzzloop <seconds> <seed> <findings folder> <corpus>...\n"
                    "       fuzzloop --replay <file or folder>...\n");
    return 64;
  }
  std::vector<Input> corpus;
  for (int i = replay ? 2 : 4; i < argc; ++i) AddInputs(argv[i], corpus);
  if (corpus.empty()) corpus.emplace_back();
  if (!replay) {
    g_findings = argv[3];
    CreateDirectoryW(g_findings.c_str(), nullptr);
  }
  CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));

  const DWORD start = GetTickCount();
  // The first runs settle the process's one-time allocations before memory is measured.
  Input warmUp;
  Run(warmUp, SIZE_MAX / 2);
  const SIZE_T baseline = CommittedMemory();
  for (const Input& input : corpus) {
    if (!Run(input, baseline)) return 3;
  }
  if (replay) {
    printf("fuzzloop: replayed %zu inputs\n", corpus.size());
    return 0;
  }
  const DWORD budget = static_cast<DWORD>(_wtoi(argv[1])) * 1000;
  Random random(static_cast<uint64_t>(_wtoi64(argv[2])));
  Input input;
  while (GetTickCount() - start < budget) {
    input = corpus[random.Below(corpus.size())];
    Mutate(input, corpus, random);
    if (!Run(input, baseline)) return 3;
  }
  const double seconds = (GetTickCount() - start) / 1000.0;
  printf("fuzzloop: %ld executions in %.0f s (%.0f per second), %zu corpus inputs, no findings\n",
         g_executions, seconds, g_executions / (seconds > 0 ? seconds : 1), corpus.size());
  return 0;
}
