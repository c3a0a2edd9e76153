// The state of one run, handed to the walk and down to every criterion, path
// and action: the facts, where the walk looks things up, where its messages go
// and how it ends. Two runs with two contexts share nothing.
#pragma once

#include <functional>
#include <utility>

#include "criteria/VerdictMemo.h"
#include "facts/FactSource.h"
#include "facts/HardwareIds.h"
#include "facts/SystemFacts.h"
#include "report/Report.h"

namespace dorvanta {

// Learns how the run ends, with the program's exit code, which it may replace.
using RunEnd = std::function<int(int exitCode)>;

class RunContext {
 public:
  // `sink` and `source` must outlive the context.
  RunContext(ReportSink& sink, FactSource& source, RunEnd end = nullptr)
      : Sink(sink), Source(source), Devices(source), end_(std::move(end)) {}
  RunContext(const RunContext&) = delete;
  RunContext& operator=(const RunContext&) = delete;
  ~RunContext() = default;

  ReportSink& Sink;
  FactSource& Source;
  // The start-up facts, filled by the front end before the walk.
  SystemFactsRecord Facts;
  // The present devices of the source, as the hardware-ID criteria last read them.
  KeptDevices Devices;
  // The verdicts that earlier walks over the same facts reached, which a walk
  // nobody reads the steps of takes and adds to; none in a run.
  VerdictMemo* KnownVerdicts = nullptr;

  // The exit code the run ends with: `exitCode`, or what the end learner makes
  // of it. The learner is asked once; later calls give `exitCode` unchanged.
  int End(int exitCode) {
    if (RunEnd end = std::exchange(end_, nullptr)) return end(exitCode);
    return exitCode;
  }

 private:
  RunEnd end_;
};

}  // namespace dorvanta
