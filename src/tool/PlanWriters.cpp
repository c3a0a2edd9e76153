#include "tool/PlanWriters.h"

#include <utility>
#include <vector>

#include "common/Csv.h"
#include "common/Encoding.h"
#include "common/Text.h"
#include "tool/JsonLine.h"
#include "tool/WalkJson.h"

namespace dorvanta::tool {
namespace {

std::wstring Shown(std::string_view utf8) { return EscapeControls(DecodeUtf8(utf8)); }

std::wstring Count(std::size_t count, const wchar_t* one, const wchar_t* many) {
  return std::to_wstring(count) + L" " + (count == 1 ? one : many);
}

const wchar_t* StatusWords(PairStatus status) {
  switch (status) {
    case PairStatus::Runs:
      return L"runs";
    case PairStatus::Unknown:
      return L"unknown";
    case PairStatus::DoesNotRun:
      break;
  }
  return L"does not run";
}

// "pc17 (fleet/pc17.json)"
std::wstring MachineName(const MachinePlan& plan) {
  return Shown(plan.Host) + L" (" + Shown(plan.File) + L")";
}

class TextWriter final : public PlanWriter {
 public:
  explicit TextWriter(PlanHeading heading) : heading_(std::move(heading)) {}

  void Machine(const MachinePlan& plan) override {
    if (plan.StartupFailure) {
      AppendEncodedUtf8(failed_,
                        L"  " + MachineName(plan) + L": " + Shown(*plan.StartupFailure) + L"\n");
    }
    if (plan.Changed.empty()) return;
    std::wstring line = L"  " + MachineName(plan) + L": ";
    const wchar_t* separator = L"";
    for (const std::uint16_t pair : plan.Changed) {
      line += separator + (L"pair " + std::to_wstring(pair) + L" ") +
              StatusWords(StatusIn(pair, plan.BaselineHolds, plan.BaselineUnknown)) + L" -> " +
              StatusWords(StatusIn(pair, plan.Holds, plan.Unknown));
      separator = L", ";
    }
    AppendEncodedUtf8(changed_, line + L"\n");
  }

  void Unreadable(const std::wstring& file, const std::wstring& reason) override {
    AppendEncodedUtf8(unreadable_,
                      L"  " + EscapeControls(file) + L": " + EscapeControls(reason) + L"\n");
  }

  // The lists gathered as the machines came go out as they are, UTF-8, without
  // another copy of them held wide.
  void End(const PlanTotals& totals) override {
    const bool baseline = heading_.Baseline.has_value();
    std::wstring text = L"Plan of " + EscapeControls(heading_.File);
    if (baseline) text += L" against " + EscapeControls(*heading_.Baseline);
    text += L": " + Count(totals.Machines, L"machine", L"machines") + L", by " +
            DecodeUtf8(GroupingName(heading_.By)) + L"\n";
    const auto list = [&](const std::wstring& heading, std::string& lines) {
      text += heading;
      AppendEncodedUtf8(out_, std::exchange(text, std::wstring()));
      out_ += std::exchange(lines, std::string());
    };
    if (baseline) {
      list(L"\nChanged machines (" + std::to_wstring(totals.Changed) + L"), baseline -> new:\n" +
               (totals.Changed == 0 ? L"  none\n" : L""),
           changed_);
    }
    if (!failed_.empty()) {
      list(L"\nMachines whose run ends before the walk (" +
               std::to_wstring(totals.StartupFailures) + L"):\n",
           failed_);
    }
    if (!unreadable_.empty()) {
      list(L"\nNot read (" + std::to_wstring(totals.Unreadable) + L"):\n", unreadable_);
    }
    text += L"\nBy " + DecodeUtf8(GroupingName(heading_.By)) + L":\n";
    for (const auto& [name, group] : totals.Groups) {
      text += L"  " + Shown(name) + L": " + Count(group.Machines, L"machine", L"machines");
      if (baseline) text += L", " + std::to_wstring(group.Changed) + L" changed";
      text += L"\n";
      for (const auto& [pair, counts] : group.Pairs) {
        text += L"    pair " + std::to_wstring(pair) + L": runs on " +
                std::to_wstring(counts.Holds) + L", unknown on " + std::to_wstring(counts.Unknown);
        if (baseline) {
          text += L", gained by " + std::to_wstring(counts.Gained) + L", lost by " +
                  std::to_wstring(counts.Lost);
        }
        text += L"\n";
      }
    }
    if (totals.Groups.empty()) text += L"  none\n";
    text += L"\nTotals: " + Count(totals.Machines, L"machine", L"machines");
    if (baseline) text += L", " + std::to_wstring(totals.Changed) + L" changed";
    text += L", " + std::to_wstring(totals.StartupFailures) + L" ending before the walk, " +
            std::to_wstring(totals.Unreadable) + L" not read.\n";
    out_ += EncodeUtf8(text);
  }

 private:
  PlanHeading heading_;
  std::string changed_;  // UTF-8, a line a machine
  std::string failed_;
  std::string unreadable_;
};

Json PairsJson(const PairList& pairs) { return Json(pairs); }

class JsonWriter final : public PlanWriter {
 public:
  explicit JsonWriter(PlanHeading heading) : baseline_(heading.Baseline.has_value()) {
    Json start = DocumentHeader(DocumentKind::Plan);
    start["file"] = EncodeUtf8(heading.File);
    start["baseline"] = baseline_ ? Json(EncodeUtf8(*heading.Baseline)) : Json(nullptr);
    start["by"] = GroupingName(heading.By);
    // The machines' array stays open after the members above.
    out_ = start.dump(-1, ' ', false, Json::error_handler_t::replace);
    out_.pop_back();
    out_ += ",\"machines\":[";
  }

  void Machine(const MachinePlan& plan) override {
    out_ += first_ ? "\n" : ",\n";
    first_ = false;
    JsonLine line(out_);
    line.Add("file", plan.File).Add("host", plan.Host).Add("group", plan.Group);
    if (plan.StartupFailure) {
      line.Add("startupFailure", *plan.StartupFailure);
    } else {
      line.Add("startupFailure", nullptr);
    }
    line.AddJson("holds", PairsJson(plan.Holds)).AddJson("unknown", PairsJson(plan.Unknown));
    if (baseline_) {
      line.AddJson("baselineHolds", PairsJson(plan.BaselineHolds))
          .AddJson("baselineUnknown", PairsJson(plan.BaselineUnknown))
          .AddJson("changed", PairsJson(plan.Changed));
    }
    line.End();
    out_.pop_back();  // the line end comes before the next machine
  }

  void Unreadable(const std::wstring& file, const std::wstring& reason) override {
    unreadable_.push_back(Json{{"file", EncodeUtf8(file)}, {"reason", EncodeUtf8(reason)}});
  }

  void End(const PlanTotals& totals) override {
    Json groups = Json::array();
    for (const auto& [name, group] : totals.Groups) {
      Json pairs = Json::array();
      for (const auto& [pair, counts] : group.Pairs) {
        Json entry{{"pair", pair}, {"holds", counts.Holds}, {"unknown", counts.Unknown}};
        if (baseline_) entry.update(Json{{"gained", counts.Gained}, {"lost", counts.Lost}});
        pairs.push_back(std::move(entry));
      }
      Json entry{{"group", name}, {"machines", group.Machines}};
      if (baseline_) entry["changed"] = group.Changed;
      entry["startupFailures"] = group.StartupFailures;
      entry["pairs"] = std::move(pairs);
      groups.push_back(std::move(entry));
    }
    Json sums{{"machines", totals.Machines}};
    if (baseline_) sums["changed"] = totals.Changed;
    sums["startupFailures"] = totals.StartupFailures;
    sums["unreadable"] = totals.Unreadable;
    const auto dumped = [](const Json& value) {
      return value.dump(-1, ' ', false, Json::error_handler_t::replace);
    };
    out_ += first_ ? "]" : "\n]";
    out_ += ",\"unreadable\":" + dumped(unreadable_) + ",\"groups\":" + dumped(groups) +
            ",\"totals\":" + dumped(sums) + "}\n";
  }

 private:
  bool baseline_;
  bool first_ = true;
  Json unreadable_ = Json::array();
};

std::string PairsCell(const PairList& pairs) {
  std::string cell;
  for (const std::uint16_t pair : pairs) {
    if (!cell.empty()) cell += ' ';
    cell += std::to_string(pair);
  }
  return cell;
}

class CsvWriter final : public PlanWriter {
 public:
  explicit CsvWriter(const PlanHeading& heading) : baseline_(heading.Baseline.has_value()) {
    out_ = "host,file,group,startup_failure,holds,unknown";
    if (baseline_) out_ += ",baseline_holds,baseline_unknown,changed";
    out_ += '\n';
  }

  void Machine(const MachinePlan& plan) override {
    std::vector<std::string> cells{plan.Host,
                                   plan.File,
                                   plan.Group,
                                   plan.StartupFailure.value_or(""),
                                   PairsCell(plan.Holds),
                                   PairsCell(plan.Unknown)};
    if (baseline_) {
      cells.push_back(PairsCell(plan.BaselineHolds));
      cells.push_back(PairsCell(plan.BaselineUnknown));
      cells.push_back(PairsCell(plan.Changed));
    }
    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (i != 0) out_ += ',';
      out_ += CsvField(cells[i]);
    }
    out_ += '\n';
  }

  void Unreadable(const std::wstring& /*file*/, const std::wstring& /*reason*/) override {}
  void End(const PlanTotals& /*totals*/) override {}

 private:
  bool baseline_;
};

}  // namespace

std::unique_ptr<PlanWriter> TextPlanWriter(const PlanHeading& heading) {
  return std::make_unique<TextWriter>(heading);
}

std::unique_ptr<PlanWriter> JsonPlanWriter(const PlanHeading& heading) {
  return std::make_unique<JsonWriter>(heading);
}

std::unique_ptr<PlanWriter> CsvPlanWriter(const PlanHeading& heading) {
  return std::make_unique<CsvWriter>(heading);
}

}  // namespace dorvanta::tool
