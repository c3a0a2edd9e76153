// A field of a CSV file as a spreadsheet should read it.
#pragma once

#include <string>

namespace dorvanta {

// A field as a spreadsheet takes it as text: one that it would read as a formula
// (starting with =, +, -, @, a tab or a carriage return) behind a ', and quoted
// (RFC 4180) when it holds a comma, a quote or a line end, its quotes doubled.
std::string CsvField(const std::string& field);

}  // namespace dorvanta
