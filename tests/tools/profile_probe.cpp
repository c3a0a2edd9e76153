// Prints what the Windows profile reader places in its buffer for one section,
// so that the Linux reader can be checked against it.
//
// Build (MinGW-w64) and run under Wine:
//   x86_64-w64-mingw32-g++-posix -std=c++20 -municode -static
//       -o profile_probe.exe tests/tools/profile_probe.cpp
//   WINEPREFIX=/tmp/probe-prefix WINEDEBUG=-all wine profile_probe.exe .\file.ini CRITERIA1 [size]
//
// The section name may hold \uXXXX escapes for characters the command line
// does not carry well. The output is two lines: "ret=<result>" and
// "buf=<contents>", where the contents run up to the last character the reader
// wrote (the buffer is pre-filled with U+FFFF), a NUL is shown as \0, a
// backslash as \\ and anything outside printable ASCII as \uXXXX.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kUnwritten = 0xFFFF;

std::wstring Unescape(const wchar_t* text) {
  std::wstring out;
  for (const wchar_t* p = text; *p != L'\0'; ++p) {
    if (p[0] == L'\\' && p[1] == L'u' && std::wcslen(p) >= 6) {
      out.push_back(
          static_cast<wchar_t>(std::wcstoul(std::wstring(p + 2, 4).c_str(), nullptr, 16)));
      p += 5;
    } else {
      out.push_back(*p);
    }
  }
  return out;
}

void PrintEscaped(const std::vector<wchar_t>& buffer, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const wchar_t c = buffer[i];
    if (c == L'\0') {
      std::printf("\\0");
    } else if (c == L'\\') {
      std::printf("\\\\");
    } else if (c >= 0x20 && c < 0x7F) {
      std::printf("%c", static_cast<char>(c));
    } else {
      std::printf("\\u%04X", static_cast<unsigned>(c));
    }
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::printf("usage: profile_probe <ini file> <section> [buffer size]\n");
    return 2;
  }
  const DWORD size = argc > 3 ? static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)) : 4096;
  // A little room past the size shows whether the reader writes beyond it.
  std::vector<wchar_t> buffer(size + 8, kUnwritten);
  const std::wstring section = Unescape(argv[2]);
  const DWORD result = GetPrivateProfileSectionW(section.c_str(), buffer.data(), size, argv[1]);
  std::size_t written = buffer.size();
  while (written > 0 && buffer[written - 1] == kUnwritten) --written;
  std::printf("ret=%lu\nbuf=", static_cast<unsigned long>(result));
  PrintEscaped(buffer, written);
  std::printf("\n");
  return 0;
}
