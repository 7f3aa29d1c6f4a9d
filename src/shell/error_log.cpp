#include "shell/error_log.h"

#include <chrono>

#include "shell/shell.h"

namespace tdwk {

namespace {
constexpr char kCrLf[] = "\r\n";
constexpr char kWebsiteAdvice[] =
    "Please visit our website for information on how to fix this problem.";
}  // namespace

void ErrorLog::ReportError(std::int32_t errorNumber, std::string errorDescription,
                           std::string moduleName, std::string procedureName,
                           std::string userMessage) {
  WriteLog("*** Error: " + std::to_string(errorNumber) + " - " + errorDescription + kCrLf +
           "    Module: " + moduleName + ", Procedure: " + procedureName);
  if (!userMessage.empty()) {
    shell_.platform.window.MessageBox(userMessage + kCrLf + kCrLf + kWebsiteAdvice);
  }
}

void ErrorLog::WriteLog(std::string text) {
  try {
    const Platform& platform = shell_.platform;
    const auto now = platform.clock.Now();
    const auto day = std::chrono::floor<std::chrono::days>(now);
    const std::chrono::hh_mm_ss time{now - day};
    const std::string entry = platform.locale.ShortDate(std::chrono::year_month_day{day}) + " " +
                              platform.locale.LongTime(time) + " " + text + kCrLf;
    const std::string log = shell_.state.appPath + "Logs/Log.dat";
    const std::uint64_t size = platform.files.AppendText(log, platform.codePage.FromUtf8(entry));
    if (size > kLogRotationSize)
      platform.files.RenameFile(log, shell_.state.appPath + "Logs/Log.old");
  } catch (...) {
    // A failing log write is silent: nobody is told and nothing else is tried.
  }
}

}  // namespace tdwk
