// A criteria line evaluated in CRITERIA1 against a few facts, with what it reported.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "criteria/CriteriaLine.h"
#include "fake/FakePlatform.h"
#include "fake/FakeRun.h"
#include "report/Report.h"

namespace dorvanta::tests {

class CriteriaLineFixture : public ::testing::Test {
 protected:
  fake::FakeRun run_;
  void SetUp() override {
    fake::Reset();
    run_.Context.Facts.OsMajor = 6;
    run_.Context.Facts.OsBits = 64;
    run_.Context.Facts.Processors = 2;
    run_.Context.Facts.ProcessorRevision = 3592;
    run_.Context.Facts.ProcessorModel = 14;
  }

  // Evaluates one line in CRITERIA1 and returns what it reported.
  std::wstring Line(const std::wstring& line, bool expected) {
    fake::Platform().Stdout.clear();
    EXPECT_EQ(EvaluateCriteriaLine(run_.Context, L"CRITERIA1", line).Holds(), expected)
        << "line: " << line.size();
    return fake::Platform().Stdout;
  }
};

}  // namespace dorvanta::tests
