// A run context on the fake platform: the program's sink with the console on,
// so that every message lands in fake::Platform().Stdout, and the machine's
// facts source (the fake platform's devices and folders).
#pragma once

#include "facts/FactSource.h"
#include "report/Report.h"
#include "run/RunContext.h"

namespace dorvanta::fake {

struct FakeRun {
  FakeRun() { Sink.SetVerbose(true); }

  ProgramSink Sink;
  RunContext Context{Sink, MachineFacts()};
};

}  // namespace dorvanta::fake
