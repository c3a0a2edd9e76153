// One JSON object written member by member onto the end of a text, with no
// document built first: the run record's lines, thousands in a run.
#pragma once

#include <charconv>
#include <concepts>
#include <cstddef>
#include <string>
#include <string_view>

#include "tool/WalkJson.h"

namespace dorvanta::tool {

// `bytes` as a JSON string onto the end of `out`, in the bytes Json's dump
// writes: the quote, the backslash and the control characters escaped, the
// rest as it is, and each ill-formed piece of UTF-8 replaced by one U+FFFD.
void AppendJsonString(std::string& out, std::string_view bytes);

// Wide text as a JSON string onto the end of `out`: its UTF-8 (EncodeUtf8)
// written as AppendJsonString writes it.
void AppendJsonString(std::string& out, std::wstring_view text);

// Writes "{" at once, each member as it is added and "}" with the line end at
// End: the same bytes as a Json object of these members dumped on one line.
class JsonLine {
 public:
  explicit JsonLine(std::string& out) : out_(out) { out_.push_back('{'); }

  JsonLine& Add(std::string_view name, std::string_view utf8) {
    AppendJsonString(Member(name), utf8);
    return *this;
  }
  JsonLine& Add(std::string_view name, const char* utf8) {
    return Add(name, std::string_view(utf8));
  }
  JsonLine& Add(std::string_view name, std::wstring_view text) {
    AppendJsonString(Member(name), text);
    return *this;
  }
  JsonLine& Add(std::string_view name, bool value) {
    Member(name).append(value ? "true" : "false");
    return *this;
  }
  template <std::integral Number>
  requires(!std::same_as<Number, bool>) JsonLine& Add(std::string_view name, Number value) {
    char digits[24];
    const auto written = std::to_chars(digits, digits + sizeof digits, value);
    Member(name).append(digits, written.ptr);
    return *this;
  }
  JsonLine& Add(std::string_view name, std::nullptr_t /*null*/) {
    Member(name).append("null");
    return *this;
  }
  // A value of any shape, such as an object, as Json writes it.
  JsonLine& AddJson(std::string_view name, const Json& value);

  void End() { out_.append("}\n"); }

 private:
  // The comma before every member but the first, and the member's name.
  std::string& Member(std::string_view name);

  std::string& out_;
  bool first_ = true;
};

}  // namespace dorvanta::tool
