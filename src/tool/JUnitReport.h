// A JUnit XML report, the form CI servers show test results in.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace dorvanta::tool {

struct JUnitCase {
  std::wstring Name;
  // Empty for a case that passed; else one line that names what went wrong,
  // and the whole account of it.
  std::wstring FailureMessage;
  std::wstring FailureText;
};

// The first bytes of every report: how a file written by JUnitReport is told.
inline constexpr std::string_view kJUnitStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- written by dvtool test -->\n";

// One suite named `suite` with a test case per element of `cases`, each of the
// class `classname`; UTF-8.
std::string JUnitReport(std::wstring_view suite, std::wstring_view classname,
                        std::span<const JUnitCase> cases);

enum class XmlPlace { Attribute, Text };

// `text` as an XML 1.0 attribute value (in double quotes) or as character data,
// UTF-8: markup characters as references, a carriage return too, and in an
// attribute value tabs and line feeds (which a reader would turn into blanks
// there); every character XML 1.0 does not allow (control characters,
// unpaired surrogates, U+FFFE, U+FFFF) becomes U+FFFD.
std::string XmlEscaped(std::wstring_view text, XmlPlace place = XmlPlace::Attribute);

}  // namespace dorvanta::tool
