// The management service's computer-product class answered from the firmware's
// DMI tables as the kernel shows them in /sys/class/dmi/id: one product
// instance where the machine has the tables, none elsewhere.
#include "platform/Wmi.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "common/Encoding.h"
#include "platform/linux/FileIo.h"

namespace dorvanta::platform {
namespace {

// The service's codes for what this source cannot answer.
constexpr std::uint32_t kFailure = 0x80004005;       // E_FAIL
constexpr std::uint32_t kNotFound = 0x80041002;      // WBEM_E_NOT_FOUND
constexpr std::uint32_t kInvalidClass = 0x80041010;  // WBEM_E_INVALID_CLASS

constexpr const char* kDmiFolder = "/sys/class/dmi/id";

const char* DmiFileOf(const std::wstring& property) {
  if (property == L"Name") return "product_name";
  if (property == L"Version") return "product_version";
  if (property == L"Vendor") return "sys_vendor";
  return nullptr;
}

}  // namespace

WmiAnswer ReadWmiProperty(const std::wstring& className, const std::wstring& property) {
  if (className != L"Win32_ComputerSystemProduct") {
    return WmiFailure{WmiStep::ExecuteQuery, kInvalidClass, {}};
  }
  std::error_code noFolder;
  if (!std::filesystem::is_directory(kDmiFolder, noFolder)) return std::wstring();
  const char* file = DmiFileOf(property);
  if (file == nullptr) return WmiFailure{WmiStep::GetProperty, kNotFound, {}};
  const std::string path = std::string(kDmiFolder) + "/" + file;
  int error = 0;
  std::optional<std::string> content = linux_impl::ReadConfigFile(path, &error);
  if (!content) {
    // The firmware does not give every text.
    if (error == ENOENT) return std::wstring();
    return WmiFailure{WmiStep::GetProperty, kFailure,
                      DecodeUtf8(path + ": " + std::strerror(error))};
  }
  if (!content->empty() && content->back() == '\n') content->pop_back();
  return DecodeUtf8(*content);
}

}  // namespace dorvanta::platform
