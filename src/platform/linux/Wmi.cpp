// The management service's computer-product class answered from the firmware's
// DMI tables as the kernel shows them in /sys/class/dmi/id. Linux has no COM
// apartments, locators or proxies, so those stages always succeed.
#include "platform/Wmi.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "common/Encoding.h"
#include "platform/linux/FileIo.h"

namespace dorvanta::platform {
namespace {

constexpr ComResult kFailure = static_cast<ComResult>(0x80004005);       // E_FAIL
constexpr ComResult kNotFound = static_cast<ComResult>(0x80041002);      // WBEM_E_NOT_FOUND
constexpr ComResult kInvalidClass = static_cast<ComResult>(0x80041010);  // WBEM_E_INVALID_CLASS
constexpr ComResult kInvalidNamespace =
    static_cast<ComResult>(0x8004100E);                                  // WBEM_E_INVALID_NAMESPACE
constexpr ComResult kInvalidQuery = static_cast<ComResult>(0x80041017);  // WBEM_E_INVALID_QUERY

constexpr const char* kDmiFolder = "/sys/class/dmi/id";

// A DMI attribute's text; no text at all when the firmware does not give it.
class DmiValue final : public WmiValue {
 public:
  explicit DmiValue(std::optional<std::wstring> text) : text_(std::move(text)) {}
  [[nodiscard]] bool IsString() const override { return true; }
  [[nodiscard]] std::optional<std::wstring> String() const override { return text_; }
  [[nodiscard]] std::optional<std::wstring> ConvertToString() const override { return text_; }

 private:
  std::optional<std::wstring> text_;
};

const char* DmiFileOf(const std::wstring& property) {
  if (property == L"Name") return "product_name";
  if (property == L"Version") return "product_version";
  if (property == L"Vendor") return "sys_vendor";
  return nullptr;
}

class DmiProduct final : public WmiObject {
 public:
  WmiGetResult Get(const std::wstring& property) override {
    const char* file = DmiFileOf(property);
    if (file == nullptr) return WmiGetResult{kNotFound, nullptr, {}};
    const std::string path = std::string(kDmiFolder) + "/" + file;
    int error = 0;
    std::optional<std::string> content = linux_impl::ReadConfigFile(path, &error);
    if (!content) {
      if (error == ENOENT) return WmiGetResult{0, std::make_unique<DmiValue>(std::nullopt), {}};
      return WmiGetResult{kFailure, nullptr, DecodeUtf8(path + ": " + std::strerror(error))};
    }
    if (!content->empty() && content->back() == '\n') content->pop_back();
    return WmiGetResult{0, std::make_unique<DmiValue>(DecodeUtf8(*content)), {}};
  }
};

// One product instance where the machine has DMI tables, none elsewhere.
class DmiEnumerator final : public WmiEnumerator {
 public:
  explicit DmiEnumerator(bool hasProduct) : remaining_(hasProduct ? 1 : 0) {}

  std::unique_ptr<WmiObject> Next() override {
    if (remaining_ == 0) return nullptr;
    --remaining_;
    return std::make_unique<DmiProduct>();
  }

 private:
  int remaining_;
};

class DmiServices final : public WmiServices {
 public:
  ComResult SetProxyBlanket() override { return 0; }

  WmiQueryResult ExecQuery(const std::wstring& language, const std::wstring& query) override {
    static const std::wstring kPrefix = L"select * from ";
    if (language != L"WQL" || !query.starts_with(kPrefix))
      return WmiQueryResult{kInvalidQuery, nullptr};
    if (query.substr(kPrefix.size()) != L"Win32_ComputerSystemProduct") {
      return WmiQueryResult{kInvalidClass, nullptr};
    }
    std::error_code error;
    const bool hasProduct = std::filesystem::is_directory(kDmiFolder, error);
    return WmiQueryResult{0, std::make_unique<DmiEnumerator>(hasProduct)};
  }
};

class DmiLocator final : public WmiLocator {
 public:
  WmiConnectResult ConnectServer(const std::wstring& nameSpace) override {
    if (nameSpace != L"\\\\.\\root\\cimv2") return WmiConnectResult{kInvalidNamespace, nullptr};
    return WmiConnectResult{0, std::make_unique<DmiServices>()};
  }
};

}  // namespace

ComResult EnterComApartment() { return 0; }

void LeaveComApartment() {}

WmiLocatorResult CreateWmiLocator() { return WmiLocatorResult{0, std::make_unique<DmiLocator>()}; }

}  // namespace dorvanta::platform
