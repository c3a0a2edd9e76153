// Criteria lines of one key in one section that can never hold together. Each
// line is added once, in file order, at a cost that does not grow with the
// lines before it (but for the one line at which a key's lines first
// contradict each other).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "criteria/CompareOp.h"

namespace dorvanta::tool {

// One line, as far as it limits its key's fact.
struct Limit {
  std::size_t Line;
  CompareOp Op;
  std::uint64_t Number;  // numeric keys: the INI number as compared
  std::wstring Text;     // other keys: the value as compared
};

class Contradictions {
 public:
  // The lines of a numeric key whose fact lies in 0..factMax.
  struct NumberGroup {
    std::uint64_t FactMax;
  };
  // The lines of another key; a single-valued fact is one text (devices and
  // files may be several).
  struct TextGroup {
    bool SingleValued;
  };

  // Adds the line to the lines of `group` and returns the earlier lines it
  // contradicts: those it cannot hold with alone, else all of them (together
  // they leave no value). Empty when the lines can all hold, when the line
  // cannot hold even alone, and after the group's first contradiction.
  std::vector<std::size_t> Add(const std::wstring& group, NumberGroup kind, const Limit& limit);
  std::vector<std::size_t> Add(const std::wstring& group, TextGroup kind, const Limit& limit);

  // Whether the line alone can hold for some fact of the group.
  static bool CanHold(NumberGroup kind, const Limit& limit);

 private:
  // The values that the lines added so far leave to the fact.
  struct Numbers {
    std::uint64_t Low = 0;
    std::uint64_t High = 0;
    bool Empty = false;
    std::set<std::uint64_t> Excluded;  // only values within Low..High

    void Narrow(const Limit& limit);
    bool Possible() const;
  };
  struct Texts {
    bool SingleValued = true;
    bool Conflict = false;
    std::set<std::wstring> Equal;
    std::set<std::wstring> Unequal;

    void Narrow(const Limit& limit);
    bool Possible() const { return !Conflict; }
  };
  template <typename State>
  struct Group {
    State Left;  // what all the lines leave
    std::vector<Limit> Limits;
    bool Contradicted = false;
  };

  template <typename State>
  static std::vector<std::size_t> Added(Group<State>& group, const State& fresh,
                                        const Limit& limit);

  std::map<std::wstring, Group<Numbers>> numbers_;
  std::map<std::wstring, Group<Texts>> texts_;
};

}  // namespace dorvanta::tool
