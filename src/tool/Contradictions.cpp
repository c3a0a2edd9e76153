#include "tool/Contradictions.h"

#include <algorithm>

namespace dorvanta::tool {

void Contradictions::Numbers::Narrow(const Limit& limit) {
  const std::uint64_t ini = limit.Number;
  switch (limit.Op) {
    case CompareOp::LT:
      if (ini == 0) Empty = true;
      if (ini > 0) High = std::min(High, ini - 1);
      break;
    case CompareOp::LE:
      High = std::min(High, ini);
      break;
    case CompareOp::GT:
      Low = std::max(Low, ini + 1);
      break;
    case CompareOp::GE:
      Low = std::max(Low, ini);
      break;
    case CompareOp::EQ:
      Low = std::max(Low, ini);
      High = std::min(High, ini);
      break;
    case CompareOp::NE:
      Excluded.insert(ini);
      break;
  }
  // Values outside the range no longer count; as the range only narrows, each
  // leaves the set at most once.
  while (!Excluded.empty() && *Excluded.begin() < Low) Excluded.erase(Excluded.begin());
  while (!Excluded.empty() && *Excluded.rbegin() > High) Excluded.erase(std::prev(Excluded.end()));
}

bool Contradictions::Numbers::Possible() const {
  return !Empty && Low <= High && High - Low + 1 > Excluded.size();
}

void Contradictions::Texts::Narrow(const Limit& limit) {
  if (limit.Op != CompareOp::EQ) {
    Conflict = Conflict || Equal.contains(limit.Text);
    Unequal.insert(limit.Text);
    return;
  }
  // One text cannot equal two.
  Conflict = Conflict || (SingleValued && !Equal.empty() && !Equal.contains(limit.Text)) ||
             Unequal.contains(limit.Text);
  Equal.insert(limit.Text);
}

bool Contradictions::CanHold(NumberGroup kind, const Limit& limit) {
  Numbers alone;
  alone.High = kind.FactMax;
  alone.Narrow(limit);
  return alone.Possible();
}

template <typename State>
std::vector<std::size_t> Contradictions::Added(Group<State>& group, const State& fresh,
                                               const Limit& limit) {
  if (group.Contradicted) return {};  // reported at an earlier line
  group.Left.Narrow(limit);
  group.Limits.push_back(limit);
  if (group.Left.Possible()) return {};
  group.Contradicted = true;
  const std::vector<Limit> limits = std::move(group.Limits);
  State alone = fresh;
  alone.Narrow(limit);
  if (!alone.Possible()) return {};
  std::vector<std::size_t> pairwise;
  std::vector<std::size_t> every;
  for (auto earlier = limits.begin(); earlier + 1 != limits.end(); ++earlier) {
    every.push_back(earlier->Line);
    State two = fresh;
    two.Narrow(*earlier);
    two.Narrow(limit);
    if (!two.Possible()) pairwise.push_back(earlier->Line);
  }
  return pairwise.empty() ? every : pairwise;
}

std::vector<std::size_t> Contradictions::Add(const std::wstring& group, NumberGroup kind,
                                             const Limit& limit) {
  Numbers fresh;
  fresh.High = kind.FactMax;
  return Added(numbers_.try_emplace(group, Group<Numbers>{fresh, {}, false}).first->second, fresh,
               limit);
}

std::vector<std::size_t> Contradictions::Add(const std::wstring& group, TextGroup kind,
                                             const Limit& limit) {
  Texts fresh;
  fresh.SingleValued = kind.SingleValued;
  return Added(texts_.try_emplace(group, Group<Texts>{fresh, {}, false}).first->second, fresh,
               limit);
}

}  // namespace dorvanta::tool
