// A criteria line evaluated in CRITERIA1 against a few facts, with what it reported.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "criteria/CriteriaLine.h"
#include "facts/SystemFacts.h"
#include "fake/FakePlatform.h"
#include "report/Report.h"

namespace dorvanta::tests {

class CriteriaLineFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    Verbose = true;
    SystemFacts.OsMajor = 6;
    SystemFacts.OsBits = 64;
    SystemFacts.Processors = 2;
    SystemFacts.ProcessorRevision = 3592;
    SystemFacts.ProcessorModel = 14;
  }

  // Evaluates one line in CRITERIA1 and returns what it reported.
  static std::wstring Line(const std::wstring& line, bool expected) {
    fake::Platform().Stdout.clear();
    EXPECT_EQ(EvaluateCriteriaLine(L"CRITERIA1", line).Holds(), expected)
        << "line: " << line.size();
    return fake::Platform().Stdout;
  }
};

}  // namespace dorvanta::tests
