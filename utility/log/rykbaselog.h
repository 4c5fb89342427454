// The log facade: one daily file in the temporary folder, information level only.
#pragma once
#include <spdlog/spdlog.h>

#include <memory>
#include <string>
#include <string_view>

class CRykBaseLog {
 public:
  static CRykBaseLog& Instance();
  virtual ~CRykBaseLog();

  // path: 8-bit path in the thread ANSI code page of the base file, e.g. %TEMP%\RykInstall.log.
  // Failures go to the debugger output; the facade then keeps an empty logger.
  void InitLogger(const std::string& path);

  // A copy of the shared logger; empty when the log did not start.
  std::shared_ptr<spdlog::logger> Logger() const;

  // Deletes the daily files of base name `baseName` in `folder` except today's.
  static void RemoveOldDailyFiles(const std::string& folder, const std::string& baseName);
  // "<base>_YYYY-MM-DD.log" for the local date.
  static std::string TodayFileName(const std::string& baseName);

 private:
  CRykBaseLog() = default;
  std::shared_ptr<spdlog::logger> logger_;
};

// "[<file base name> <function>: <line>] " — the prefix of the program's own records.
std::string LogMessagePrefix(const char* sourceFile, const char* function, int line);

// Writes one record "<prefix><text>" where text is taken literally.
void LogText(const char* sourceFile, const char* function, int line, std::string_view text);

template <typename... Args>
void LogFormatted(const char* sourceFile, const char* function, int line, std::string_view format,
                  Args&&... args) {
  auto logger = CRykBaseLog::Instance().Logger();
  if (!logger) return;
  std::string pattern = LogMessagePrefix(sourceFile, function, line);
  pattern.append(format.data(), format.size());
  logger->info(fmt::runtime(pattern), std::forward<Args>(args)...);
}

// QLM_LOG("strAppPath:{}", path) writes "[installmgr KillAllToolProcess: 149] strAppPath:...".
#define QLM_LOG(format, ...) LogFormatted(__FILE__, __func__, __LINE__, format, ##__VA_ARGS__)
