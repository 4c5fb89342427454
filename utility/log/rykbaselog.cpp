#include "rykbaselog.h"

#include <windows.h>
#include <shlwapi.h>

#include <spdlog/sinks/daily_file_sink.h>

#include <cstdio>
#include <cstring>

namespace {
constexpr char kLoggerName[] = "both";
constexpr char kPattern[] = "[%Y-%m-%d %H:%M:%S.%e] [%^%l%$] [%t] %v";
}  // namespace

CRykBaseLog& CRykBaseLog::Instance() {
  // Function-local statics are initialised once, thread-safely.
  static CRykBaseLog log;
  return log;
}

CRykBaseLog::~CRykBaseLog() = default;

std::shared_ptr<spdlog::logger> CRykBaseLog::Logger() const { return logger_; }

std::string CRykBaseLog::TodayFileName(const std::string& baseName) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char name[MAX_PATH];
  snprintf(name, sizeof(name), "%s_%d-%02d-%02d.log", baseName.c_str(), now.wYear, now.wMonth,
           now.wDay);
  return name;
}

void CRykBaseLog::RemoveOldDailyFiles(const std::string& folder, const std::string& baseName) {
  const std::string today = TodayFileName(baseName);
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) {
    fputs("搜索失败!", stdout);
    return;
  }
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == ".." || name == today) continue;
    if (name.substr(0, name.find('_')) != baseName) continue;
    DeleteFileA((folder + "\\" + name).c_str());
  } while (FindNextFileA(find, &entry));
  FindClose(find);
}

void CRykBaseLog::InitLogger(const std::string& path) {
  char buffer[MAX_PATH] = {};
  strncpy(buffer, path.c_str(), MAX_PATH - 1);
  char folder[MAX_PATH];
  memcpy(folder, buffer, MAX_PATH);
  PathRemoveFileSpecA(folder);
  char stem[MAX_PATH];
  memcpy(stem, buffer, MAX_PATH);
  PathRemoveExtensionA(stem);
  const std::string baseName = PathFindFileNameA(stem);

  RemoveOldDailyFiles(folder, baseName);

  try {
    auto sink = std::make_shared<spdlog::sinks::daily_file_sink_mt>(buffer, 23, 59, false);
    auto logger = std::make_shared<spdlog::logger>(kLoggerName, sink);
    logger_ = logger;
    spdlog::drop(kLoggerName);
    spdlog::register_logger(logger);
    logger->set_level(spdlog::level::info);
    logger->set_pattern(kPattern);
    logger->flush_on(spdlog::level::info);
  } catch (const spdlog::spdlog_ex& ex) {
    logger_.reset();
    OutputDebugStringA(ex.what());
  } catch (...) {
    logger_.reset();
    OutputDebugStringA("Unknown exception in InitLogger");
  }
}

std::string LogMessagePrefix(const char* sourceFile, const char* function, int line) {
  std::string file = sourceFile ? sourceFile : "";
  size_t slash = file.find_last_of("\\/");
  if (slash != std::string::npos) file.erase(0, slash + 1);
  size_t dot = file.rfind('.');
  if (dot != std::string::npos) file.erase(dot);
  return "[" + file + " " + function + ": " + std::to_string(line) + "] ";
}

void LogText(const char* sourceFile, const char* function, int line, std::string_view text) {
  auto logger = CRykBaseLog::Instance().Logger();
  if (!logger) return;
  logger->info("{}{}", LogMessagePrefix(sourceFile, function, line), text);
}
