// The one road by which every message of a run reaches its readers.
#pragma once

#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "report/Format.h"

namespace dorvanta {

// Where the messages of one run go.
class ReportSink {
 public:
  ReportSink() = default;
  ReportSink(const ReportSink&) = delete;
  ReportSink& operator=(const ReportSink&) = delete;
  virtual ~ReportSink() = default;

  // False when nobody reads the messages: they are then neither formatted nor delivered.
  [[nodiscard]] virtual bool Wanted() const = 0;
  virtual void Deliver(std::wstring_view message) = 0;

  // A text of the machine (a fact, a folder) as a message shows it: as it is,
  // unless the reader must see its control characters written out.
  [[nodiscard]] virtual std::wstring Shown(const std::wstring& text) const { return text; }
};

// For walks whose messages nobody reads (many machines' facts in one process).
class SilentSink final : public ReportSink {
 public:
  [[nodiscard]] bool Wanted() const override { return false; }
  void Deliver(std::wstring_view /*message*/) override {}
};

// A condition that ends the run at once with its exit code. It travels up to the
// front end, which ends the run; nothing of the run is told after it.
class RunStopped final : public std::exception {
 public:
  explicit RunStopped(int exitCode) : exitCode_(exitCode) {}
  [[nodiscard]] int ExitCode() const { return exitCode_; }
  [[nodiscard]] const char* what() const noexcept override { return "the run stopped"; }

 private:
  int exitCode_;
};

// The program's sink: each message goes to standard output when verbose, then
// is appended to the log file when there is one; it starts with neither, and
// the front end sets both as it reads the command line. The first log write
// empties the file and writes the header. A failed log write is told on
// standard output and stops the run with exit code 1 (RunStopped).
class ProgramSink final : public ReportSink {
 public:
  void SetVerbose(bool verbose) { verbose_ = verbose; }
  // An empty path: no log.
  void SetLogPath(std::wstring logPath) { logPath_ = std::move(logPath); }
  // The machine's texts come from a document written elsewhere: their control
  // characters are shown written out (EscapeControls), never sent to the terminal.
  void SetTextsFromElsewhere(bool elsewhere) { elsewhere_ = elsewhere; }

  [[nodiscard]] bool Wanted() const override { return verbose_ || !logPath_.empty(); }
  void Deliver(std::wstring_view message) override;
  [[nodiscard]] std::wstring Shown(const std::wstring& text) const override;

 private:
  void AppendToLog(std::wstring_view message);

  bool verbose_ = false;
  bool elsewhere_ = false;
  std::wstring logPath_;
  bool headerPending_ = true;
};

template <typename... Args>
void Report(ReportSink& sink, Fmt<Args...> format, const Args&... args) {
  if (sink.Wanted()) sink.Deliver(Format<Args...>(format, args...));
}

// The separator lines of the report.
inline constexpr std::wstring_view kEqualsLine =
    L"===============================================================================\n";
inline constexpr std::wstring_view kDashLine =
    L"-------------------------------------------------------------------------------\n";

}  // namespace dorvanta
