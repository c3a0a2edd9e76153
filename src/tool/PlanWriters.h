// A plan for a person (text), for spreadsheets (CSV, a row per machine) and for
// programs (JSON, schema/plan.schema.json). The machines come in input order,
// one at a time; the JSON and the CSV are written as they come, the text keeps
// only the machines it shows before the totals.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "tool/PlanModel.h"

namespace dorvanta::tool {

struct PlanHeading {
  std::wstring File;
  std::optional<std::wstring> Baseline;
  PlanGrouping By = PlanGrouping::Model;
};

class PlanWriter {
 public:
  PlanWriter() = default;
  PlanWriter(const PlanWriter&) = delete;
  PlanWriter& operator=(const PlanWriter&) = delete;
  virtual ~PlanWriter() = default;

  virtual void Machine(const MachinePlan& plan) = 0;
  // A file that held no machine's facts, and why.
  virtual void Unreadable(const std::wstring& file, const std::wstring& reason) = 0;
  virtual void End(const PlanTotals& totals) = 0;

  // What is written so far and not yet taken: UTF-8.
  std::string Take() { return std::exchange(out_, std::string()); }
  [[nodiscard]] std::size_t Waiting() const { return out_.size(); }

 protected:
  std::string out_;
};

std::unique_ptr<PlanWriter> TextPlanWriter(const PlanHeading& heading);
std::unique_ptr<PlanWriter> JsonPlanWriter(const PlanHeading& heading);
std::unique_ptr<PlanWriter> CsvPlanWriter(const PlanHeading& heading);

}  // namespace dorvanta::tool
