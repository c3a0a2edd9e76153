#include "rules/ProfileParser.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace dorvanta {
namespace {

using Lines = std::vector<std::wstring>;

// The lines the reader hands out for `section`; nothing for a missing section.
std::optional<Lines> SectionLines(const Profile& profile, std::wstring_view section) {
  Lines lines;
  const bool found = profile.VisitSection(section, [&](std::wstring_view line) {
    lines.emplace_back(line);
    return true;
  });
  if (!found) return std::nullopt;
  return lines;
}

std::optional<Lines> SectionLines(std::string bytes, std::wstring_view section) {
  return SectionLines(Profile(std::move(bytes)), section);
}

std::string Utf16(std::u16string_view text, bool big_endian) {
  std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes.push_back(big_endian ? high : low);
    bytes.push_back(big_endian ? low : high);
  }
  return bytes;
}

// A buffer whose unwritten characters are told apart from written ones.
constexpr wchar_t kUnwritten = 0xFFFF;

struct Read {
  std::uint32_t result;
  std::wstring written;  // from the start up to the last character written
};

Read ReadInto(const Profile& profile, std::wstring_view section, std::size_t size) {
  std::vector<wchar_t> buffer(size + 4, kUnwritten);
  const std::uint32_t result = profile.ReadSection(section, std::span(buffer.data(), size));
  std::size_t end = buffer.size();
  while (end > 0 && buffer[end - 1] == kUnwritten) --end;
  return {result, std::wstring(buffer.data(), end)};
}

// Lines of the form "k<i>=vvv..." whose lengths plus one NUL each add up to `total`.
std::string SectionOfSize(std::size_t total) {
  std::string text = "[CRITERIA1]\r\n";
  for (int i = 0; total > 0; ++i) {
    std::string key = std::to_string(i);
    key.insert(key.begin(), 'k');
    key.push_back('=');
    std::size_t length = std::min<std::size_t>(total, 40);
    if (total - length < key.size() + 2) length = total;
    text += key + std::string(length - 1 - key.size(), 'v') + "\r\n";
    total -= length;
  }
  return text;
}

TEST(ProfileParserLines, KeyAndValueAreTrimmedAndJoined) {
  EXPECT_EQ(SectionLines("[A]\n  OSMajor  =  GE,6  \n\tBit\t=\tNE, 7\t\nx = a = b\n", L"A"),
            (Lines{L"OSMajor=GE,6", L"Bit=NE, 7", L"x=a = b"}));
  // Without "=" the line comes back trimmed; with an empty side the "=" stays.
  EXPECT_EQ(SectionLines("[A]\n   plain  line  \nkey=\n  =  \n", L"A"),
            (Lines{L"plain  line", L"key=", L"="}));
}

TEST(ProfileParserLines, CommentsAndBlankLinesAreSkipped) {
  EXPECT_EQ(SectionLines("[A]\n;a=1\n   ; b=2\n\n \t \n#c=3\nd=4 ;not a comment\n;\n", L"A"),
            (Lines{L"#c=3", L"d=4 ;not a comment"}));
}

TEST(ProfileParserLines, WhiteSpaceIsTabToCrSpaceAndCtrlZOnly) {
  EXPECT_EQ(SectionLines("[A]\n\x0B\x0C\x1A k \x1A= \t v\x0C\n", L"A"), (Lines{L"k=v"}));
  // No-break and other Unicode spaces are kept, and a line of them is no blank line.
  EXPECT_EQ(SectionLines("\xEF\xBB\xBF[A]\n\xC2\xA0k\xC2\xA0=v\xE3\x80\x80\n\xC2\xA0\n", L"A"),
            (Lines{L"\xA0k\xA0=v\x3000", L"\xA0"}));
  // Inside a line, white space other than CR and LF does not end it.
  EXPECT_EQ(SectionLines("[A]\na=1\x0B"
                         "b=2\x1A"
                         "c\n",
                         L"A"),
            (Lines{L"a=1\x0B"
                   L"b=2\x1A"
                   L"c"}));
}

TEST(ProfileParserLines, EmptyKeyRightAfterAnotherEmptyKeyIsDropped) {
  EXPECT_EQ(SectionLines("[A]\n=x\n=y\n\n=z\nk=1\n=w\n;c\n=v\n[B]\n=u\n", L"A"),
            (Lines{L"=x", L"k=1", L"=w", L"=v"}));
  // Each section starts afresh.
  EXPECT_EQ(SectionLines("[A]\n=x\n[B]\n=u\n", L"B"), (Lines{L"=u"}));
}

TEST(ProfileParserLines, LineEndsAreLfCrLfAndLoneCr) {
  const Lines expected{L"a=1", L"b=2", L"c=3", L"d=4"};
  EXPECT_EQ(SectionLines("[A]\na=1\nb=2\nc=3\nd=4\n", L"A"), expected);
  EXPECT_EQ(SectionLines("[A]\r\na=1\r\nb=2\r\nc=3\r\nd=4\r\n", L"A"), expected);
  EXPECT_EQ(SectionLines("[A]\ra=1\rb=2\r\r\rc=3\rd=4", L"A"), expected);
  EXPECT_EQ(SectionLines("[A]\r\na=1\rb=2\n\r\nc=3\n\rd=4", L"A"), expected);
}

TEST(ProfileParserSections, NamesMatchWithoutRegardToAsciiCaseOnly) {
  const Profile profile("[Criteria1]\na=1\n[\xC3\xA4]\nb=2\n");
  EXPECT_EQ(SectionLines(profile, L"CRITERIA1"), (Lines{L"a=1"}));
  EXPECT_EQ(SectionLines(profile, L"criteria1"), (Lines{L"a=1"}));
  EXPECT_EQ(SectionLines(profile, L"\xE4"), (Lines{L"b=2"}));
  EXPECT_EQ(SectionLines(profile, L"\xC4"), std::nullopt);
  EXPECT_EQ(SectionLines(profile, L"CRITERIA"), std::nullopt);
}

TEST(ProfileParserSections, NameIsTrimmedInsideTheBracketsButTheQueryIsNot) {
  const Profile profile("  [ \tA\x1A ]  \na=1\n");
  EXPECT_EQ(SectionLines(profile, L"A"), (Lines{L"a=1"}));
  EXPECT_EQ(SectionLines(profile, L" A"), std::nullopt);
  EXPECT_EQ(SectionLines(profile, L"A "), std::nullopt);
}

TEST(ProfileParserSections, FirstSectionOfANameWinsAndIsNotMerged) {
  const Profile profile("[A]\nx=1\n[B]\ny=1\n[a]\nx=2\n[ACTION1]\n[action1]\nz=1\n");
  EXPECT_EQ(SectionLines(profile, L"A"), (Lines{L"x=1"}));
  EXPECT_EQ(SectionLines(profile, L"ACTION1"), Lines{});
  // Duplicate keys stay, in file order.
  EXPECT_EQ(SectionLines("[A]\nk=1\nK=2\nk=1\n", L"A"), (Lines{L"k=1", L"K=2", L"k=1"}));
}

TEST(ProfileParserSections, NameEndsAtTheLastClosingBracket) {
  const Profile profile("[A] ; note\na=1\n[B]x]y\nb=1\n[C]]\nc=1\n[a=b]\nd=1\n");
  EXPECT_EQ(SectionLines(profile, L"A"), (Lines{L"a=1"}));
  EXPECT_EQ(SectionLines(profile, L"B]x"), (Lines{L"b=1"}));
  EXPECT_EQ(SectionLines(profile, L"B"), std::nullopt);
  EXPECT_EQ(SectionLines(profile, L"C]"), (Lines{L"c=1"}));
  EXPECT_EQ(SectionLines(profile, L"a=b"), (Lines{L"d=1"}));
}

TEST(ProfileParserSections, UnterminatedHeaderIsALineOfTheSectionBefore) {
  const Profile profile("[A]\na=1\n[B\nb=1\n[C=x\n[D]\nd=1\n[E");
  EXPECT_EQ(SectionLines(profile, L"A"), (Lines{L"a=1", L"[B", L"b=1", L"[C=x"}));
  EXPECT_EQ(SectionLines(profile, L"B"), std::nullopt);
  EXPECT_EQ(SectionLines(profile, L"D"), (Lines{L"d=1", L"[E"}));
  EXPECT_EQ(SectionLines(profile, L"E"), std::nullopt);
}

TEST(ProfileParserSections, LinesBeforeTheFirstHeaderFormTheNamelessSection) {
  const Profile profile("pre=1\nplain\n[A]\na=1\n[]\nlater=1\n");
  EXPECT_EQ(SectionLines(profile, L""), (Lines{L"pre=1", L"plain"}));
  EXPECT_EQ(SectionLines("[A]\n", L""), Lines{});
  EXPECT_EQ(SectionLines("", L""), std::nullopt);
  EXPECT_EQ(SectionLines("", L"A"), std::nullopt);
}

TEST(ProfileParserSections, ManySectionsAreFoundByName) {
  std::string text;
  for (int i = 1; i <= 100000; ++i) {
    text += "[CRITERIA" + std::to_string(i) + "]\nOSMajor=GE," + std::to_string(i) + "\n";
  }
  text += "[criteria7]\nOSMajor=LT,0\n";
  const Profile profile(std::move(text));
  EXPECT_EQ(SectionLines(profile, L"CRITERIA1"), (Lines{L"OSMajor=GE,1"}));
  EXPECT_EQ(SectionLines(profile, L"Criteria7"), (Lines{L"OSMajor=GE,7"}));
  EXPECT_EQ(SectionLines(profile, L"CRITERIA100000"), (Lines{L"OSMajor=GE,100000"}));
  EXPECT_EQ(SectionLines(profile, L"CRITERIA100001"), std::nullopt);
}

TEST(ProfileParserEncodings, ByteOrderMarkChoosesTheEncoding) {
  const Lines expected{L"k\xE4=v\x20AC"};
  EXPECT_EQ(SectionLines("\xEF\xBB\xBF[A]\r\nk\xC3\xA4=v\xE2\x82\xAC\r\n", L"A"), expected);
  EXPECT_EQ(SectionLines("[A]\r\nk\xC3\xA4=v\xE2\x82\xAC\r\n", L"A"), expected);
  EXPECT_EQ(SectionLines(Utf16(u"[A]\r\nk\u00E4=v\u20AC\r\n", false), L"A"), expected);
  EXPECT_EQ(SectionLines(Utf16(u"[A]\r\nk\u00E4=v\u20AC\r\n", true), L"A"), expected);
  // UTF-16 without a mark is read as bytes: its NULs cut every name short.
  std::string unmarked = Utf16(u"[A]\r\nk=v\r\n", false).substr(2);
  EXPECT_EQ(SectionLines(unmarked, L"A"), std::nullopt);
}

TEST(ProfileParserEncodings, Utf16SurrogatesAndOddLength) {
  const std::wstring pair = sizeof(wchar_t) == 4 ? std::wstring(1, static_cast<wchar_t>(0x1D400))
                                                 : std::wstring{L'\xD835', L'\xDC00'};
  EXPECT_EQ(SectionLines(Utf16(u"[A]\nk=\U0001D400\n", false), L"A"), (Lines{L"k=" + pair}));
  EXPECT_EQ(SectionLines(Utf16(u"[A]\nk=\xD800x\n", true), L"A"),
            (Lines{std::wstring{L'k', L'=', static_cast<wchar_t>(0xD800), L'x'}}));
  // A last odd byte is no character.
  EXPECT_EQ(SectionLines(Utf16(u"[A]\nk=v\nx=yz", false) + "A", L"A"), (Lines{L"k=v", L"x=yz"}));
  EXPECT_EQ(SectionLines(Utf16(u"[A]\nx=yz", true) + "A", L"A"), (Lines{L"x=yz"}));
  EXPECT_EQ(SectionLines("\xFF\xFE", L""), Lines{});
  EXPECT_EQ(SectionLines("\xFF\xFE"
                         "A",
                         L""),
            Lines{});
}

TEST(ProfileParserEncodings, InvalidUtf8BytesSurviveAsEscapes) {
  EXPECT_EQ(
      SectionLines("[A]\nk=\xFF\xC3(\xE2\x82\n", L"A"),
      (Lines{std::wstring{L'k', L'=', static_cast<wchar_t>(0xDCFF), static_cast<wchar_t>(0xDCC3),
                          L'(', static_cast<wchar_t>(0xDCE2), static_cast<wchar_t>(0xDC82)}}));
}

TEST(ProfileParserMalformed, NulEndsNamesAndValues) {
  using namespace std::string_literals;
  const Profile profile(
      "[A]\nab\0cd=ef\nk=v\0w\nk2 \0 = v\n\0z=1\n\0abc\n=dropped\nlast=1\n[B\0C]\nb=1\n[D \0]\nd=1\n"s);
  EXPECT_EQ(SectionLines(profile, L"A"), (Lines{L"ab=ef", L"k=v", L"k2 =v", L"=1", L"last=1"}));
  EXPECT_EQ(SectionLines(profile, L"B"), (Lines{L"b=1"}));
  // The name asked for ends at a NUL as well.
  EXPECT_EQ(SectionLines(profile, L"B\0C"s), (Lines{L"b=1"}));
  EXPECT_EQ(SectionLines(profile, L"D "), (Lines{L"d=1"}));
  EXPECT_EQ(SectionLines(profile, L"D"), std::nullopt);
}

TEST(ProfileParserMalformed, GarbageAndHugeLinesAreReadSafely) {
  std::string garbage;
  for (unsigned i = 0; i < 200000; ++i) garbage.push_back(static_cast<char>((i * 7919u) >> 3));
  const Profile noise(garbage + "\n[A]\nk=v\n");
  EXPECT_EQ(SectionLines(noise, L"A"), (Lines{L"k=v"}));

  const Profile huge("[A]\nk=" + std::string(1 << 20, 'x') + "\nz=1\n[B]\nb=1\n");
  const std::optional<Lines> lines = SectionLines(huge, L"A");
  ASSERT_TRUE(lines.has_value());
  ASSERT_EQ(lines->size(), 2u);
  EXPECT_EQ((*lines)[0].size(), 2u + (1u << 20));
  EXPECT_EQ(SectionLines(huge, L"B"), (Lines{L"b=1"}));
  EXPECT_EQ(ReadInto(huge, L"A", 4096).result, 4094u);
}

TEST(ProfileParserBuffer, MissingAndEmptySectionsGiveZero) {
  const Profile profile("[A]\n;only a comment\n");
  // A missing section gets two NULs, an empty one a single NUL.
  EXPECT_EQ(ReadInto(profile, L"B", 4096).result, 0u);
  EXPECT_EQ(ReadInto(profile, L"B", 4096).written, std::wstring(2, L'\0'));
  EXPECT_EQ(ReadInto(profile, L"A", 4096).result, 0u);
  EXPECT_EQ(ReadInto(profile, L"A", 4096).written, std::wstring(1, L'\0'));
}

TEST(ProfileParserBuffer, EveryBufferSizeMatchesTheWindowsReader) {
  using namespace std::string_literals;
  const Profile profile("[A]\nab=12\ncd=34\n");
  struct Case {
    std::size_t size;
    std::uint32_t result;
    std::wstring written;
  };
  const std::vector<Case> cases{
      {2, 0, L"\0"s},
      {3, 1, L"a\0\0"s},
      {4, 2, L"ab\0\0"s},
      {5, 3, L"ab=\0\0"s},
      {6, 4, L"ab=1\0\0"s},
      {7, 5, L"ab=12\0\0"s},
      {8, 6, L"ab=12\0\0"s},
      {9, 7, L"ab=12\0c\0\0"s},
      {10, 8, L"ab=12\0cd\0\0"s},
      {11, 9, L"ab=12\0cd=\0\0"s},
      {12, 10, L"ab=12\0cd=3\0\0"s},
      {13, 11, L"ab=12\0cd=34\0\0"s},
      {14, 12, L"ab=12\0cd=34\0\0"s},
      {15, 12, L"ab=12\0cd=34\0\0"s},
  };
  for (const Case& c : cases) {
    const Read read = ReadInto(profile, L"A", c.size);
    EXPECT_EQ(read.result, c.result) << c.size;
    EXPECT_EQ(read.written, c.written) << c.size;
  }
}

TEST(ProfileParserBuffer, SectionFitsUpTo4093CharactersOf4096) {
  for (std::size_t total = 4090; total <= 4100; ++total) {
    const Profile profile(SectionOfSize(total));
    std::wstring all;
    profile.VisitSection(L"CRITERIA1", [&](std::wstring_view line) {
      all.append(line);
      all.push_back(L'\0');
      return true;
    });
    ASSERT_EQ(all.size(), total);
    const Read read = ReadInto(profile, L"CRITERIA1", 4096);
    if (total <= 4093) {
      EXPECT_EQ(read.result, total);
      EXPECT_EQ(read.written, all + L'\0') << total;
    } else if (total == 4094) {
      // Complete, but the result cannot be told from a section that did not fit.
      EXPECT_EQ(read.result, 4094u);
      EXPECT_EQ(read.written, all + L'\0');
    } else {
      EXPECT_EQ(read.result, 4094u) << total;
      EXPECT_EQ(read.written, all.substr(0, 4094) + std::wstring(2, L'\0')) << total;
    }
  }
}

// The room in the buffer is counted as the Windows reader counts characters:
// bytes in a file without byte order mark (8-bit text there), UTF-16 code
// units in any other.
TEST(ProfileParserBuffer, RoomIsCountedInTheWindowsReadersCharacters) {
  // "ab=" and a character of 2 (é) or 4 (U+1F600) UTF-8 bytes, and its NUL.
  const std::string two = "[A]\nab=\xC3\xA9\n";
  const std::string four = "[A]\nab=\xF0\x9F\x98\x80\n";
  // Without a byte order mark é takes 3 + 2 + 1 = 6 characters, U+1F600 8:
  // lines need two characters more than they take to fit.
  EXPECT_EQ(ReadInto(Profile(two), L"A", 9).result, 5u);
  EXPECT_EQ(ReadInto(Profile(two), L"A", 9).written, std::wstring(L"ab=\u00E9\0\0", 6));
  EXPECT_EQ(ReadInto(Profile(two), L"A", 8).result, 6u);
  EXPECT_EQ(ReadInto(Profile(four), L"A", 11).result, 5u);
  EXPECT_EQ(ReadInto(Profile(four), L"A", 10).result, 8u);
  EXPECT_EQ(ReadInto(Profile(four), L"A", 8).result, 6u);
  EXPECT_EQ(ReadInto(Profile(four), L"A", 8).written, std::wstring(L"ab=\0\0", 5));
  // Invalid bytes count one each.
  EXPECT_EQ(ReadInto(Profile("[A]\nab=\xFF\xFE\n"), L"A", 9).result, 6u);
  // With a UTF-8 byte order mark, or in UTF-16: é is one unit, U+1F600 two.
  const std::string bom = "\xEF\xBB\xBF";
  EXPECT_EQ(ReadInto(Profile(bom + two), L"A", 7).result, 5u);
  EXPECT_EQ(ReadInto(Profile(bom + four), L"A", 8).result, 6u);
  EXPECT_EQ(ReadInto(Profile(bom + four), L"A", 7).result, 5u);
  EXPECT_EQ(ReadInto(Profile(bom + four), L"A", 6).result, 4u);
  EXPECT_EQ(ReadInto(Profile(bom + four), L"A", 6).written, std::wstring(L"ab=\0\0", 5));
  const std::string utf16 = Utf16(u"[A]\nab=\U0001F600\n", false);
  EXPECT_EQ(ReadInto(Profile(utf16), L"A", 8).result, 6u);
  EXPECT_EQ(ReadInto(Profile(utf16), L"A", 7).result, 5u);
}

TEST(ProfileParserBuffer, SectionOf4093WindowsCharactersFitsWithMultiByteText) {
  // 4093 characters with their NULs, one of them é: 4094 bytes without a byte
  // order mark, which the Windows reader cannot tell from a section too big.
  std::string text = "[CRITERIA1]\nk=\xC3\xA9" + std::string(4093 - 4, 'v') + "\n";
  EXPECT_EQ(ReadInto(Profile(text), L"CRITERIA1", 4096).result, 4094u);
  EXPECT_EQ(ReadInto(Profile("\xEF\xBB\xBF" + text), L"CRITERIA1", 4096).result, 4093u);
  text.erase(text.size() - 2, 1);
  EXPECT_EQ(ReadInto(Profile(text), L"CRITERIA1", 4096).result, 4092u);
}

TEST(ProfileParserBuffer, TinyBuffersStayInBounds) {
  const Profile profile("[A]\na=1\n");
  EXPECT_EQ(ReadInto(profile, L"A", 0).result, 0u);
  EXPECT_EQ(ReadInto(profile, L"A", 0).written, L"");
  EXPECT_EQ(ReadInto(profile, L"A", 1).result, 0u);
  EXPECT_EQ(ReadInto(profile, L"A", 1).written, std::wstring(1, L'\0'));
  EXPECT_EQ(ReadInto(profile, L"B", 1).written, std::wstring(1, L'\0'));
}

}  // namespace
}  // namespace dorvanta

namespace dorvanta {
namespace {

// "<header line> <name> <read?>: <number>:<line> ..." for each section of the outline.
std::vector<std::string> OutlineOf(std::string bytes) {
  const auto narrow = [](const std::wstring& text) {
    std::string out;
    for (const wchar_t c : text) out.push_back(static_cast<char>(c));
    return out;
  };
  std::vector<std::string> out;
  for (const Profile::OutlineSection& section : Profile(std::move(bytes)).Outline()) {
    std::ostringstream text;
    text << section.HeaderLine << ' ' << narrow(section.Name)
         << (section.Read ? " read:" : " unread:");
    for (const Profile::NumberedLine& line : section.Lines) {
      text << ' ' << line.Number << ':' << narrow(line.Text);
    }
    out.push_back(text.str());
  }
  return out;
}

TEST(ProfileParserOutline, SectionsInFileOrderWithTheirLineNumbers) {
  // CR LF, LF and a lone CR each end one line; skipped lines keep their numbers;
  // a later section of a name is listed, unread, with the lines it would give.
  EXPECT_EQ(
      OutlineOf(
          "top=1\r\n\r\n[ Criteria1 ]\r\n;c\r\n a = b \r\n#x\n[B]\rk=v\r[CRITERIA1]\n=1\n=2\n"),
      (std::vector<std::string>{"0  read: 1:top=1", "3 Criteria1 read: 5:a=b 6:#x",
                                "7 B read: 8:k=v", "9 CRITERIA1 unread: 10:=1"}));
  // UTF-16 text is numbered in the same way; an empty nameless part is left out.
  EXPECT_EQ(OutlineOf(std::string("\xFF\xFE[\0A\0]\0\n\0x\0", 12)),
            (std::vector<std::string>{"1 A read: 2:x"}));
}

}  // namespace
}  // namespace dorvanta
