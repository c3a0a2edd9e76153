#include "common/Csv.h"

#include <string_view>

namespace dorvanta {

std::string CsvField(const std::string& field) {
  const bool formula =
      !field.empty() && std::string_view("=+-@\t\r").find(field[0]) != std::string_view::npos;
  std::string text = formula ? "'" + field : field;
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace dorvanta
