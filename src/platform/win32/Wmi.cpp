#include "platform/Wmi.h"

#include <windows.h>

#include <objbase.h>
#include <oleauto.h>
#include <wbemcli.h>

#include "platform/win32/AutomationOwners.h"
#include "platform/win32/ComPtr.h"
#include "platform/win32/WmiQueryCycle.h"

namespace dorvanta::platform {
namespace win32 {
namespace {

constexpr CLSID kClsidWbemLocator = {
    0x4590F811, 0x1D3A, 0x11D0, {0x89, 0x1F, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
constexpr IID kIidWbemLocator = {
    0xDC12A687, 0x737F, 0x11CF, {0x88, 0x4D, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};

std::wstring TextOfBstr(BSTR bstr) { return std::wstring(bstr, ::SysStringLen(bstr)); }

class ComValue final : public WmiValue {
 public:
  VARIANT* Put() { return &variant_; }

  [[nodiscard]] bool IsString() const override { return V_VT(&variant_) == VT_BSTR; }

  [[nodiscard]] std::optional<std::wstring> String() const override {
    const BSTR bstr = V_BSTR(&variant_);
    if (bstr == nullptr) return std::nullopt;
    return TextOfBstr(bstr);
  }

  [[nodiscard]] std::optional<std::wstring> ConvertToString() const override {
    VARIANT converted{};  // VT_EMPTY, as VariantInit leaves it
    const UniqueVariant clearConverted(&converted);
    // The source is not changed by the conversion; the header lacks its const.
    if (FAILED(::VariantChangeType(&converted, const_cast<VARIANT*>(&variant_), 0, VT_BSTR))) {
      return std::nullopt;
    }
    const BSTR bstr = V_BSTR(&converted);
    if (bstr == nullptr) return std::wstring();
    return TextOfBstr(bstr);
  }

 private:
  VARIANT variant_{};  // VT_EMPTY, as VariantInit leaves it
  const UniqueVariant clearVariant_{&variant_};
};

class ComObject final : public WmiObject {
 public:
  IWbemClassObject** Receive() { return object_.put(); }

  WmiGetResult Get(const std::wstring& property) override {
    auto value = std::make_unique<ComValue>();
    const UniqueBstr name(::SysAllocString(property.c_str()));
    const HRESULT result = object_->Get(name.get(), 0, value->Put(), nullptr, nullptr);
    if (FAILED(result)) return WmiGetResult{result, nullptr};
    return WmiGetResult{result, std::move(value)};
  }

 private:
  ComPtr<IWbemClassObject> object_;
};

class ComEnumerator final : public WmiEnumerator {
 public:
  IEnumWbemClassObject** Receive() { return enumerator_.put(); }

  std::unique_ptr<WmiObject> Next() override {
    auto object = std::make_unique<ComObject>();
    ULONG returned = 0;
    // Only the count tells whether an instance came back.
    enumerator_->Next(WBEM_NO_WAIT, 1, object->Receive(), &returned);
    if (returned == 0) return nullptr;
    return object;
  }

 private:
  ComPtr<IEnumWbemClassObject> enumerator_;
};

class ComServices final : public WmiServices {
 public:
  IWbemServices** Receive() { return services_.put(); }

  ComResult SetProxyBlanket() override {
    return ::CoSetProxyBlanket(services_.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                               RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                               EOAC_NONE);
  }

  WmiQueryResult ExecQuery(const std::wstring& language, const std::wstring& query) override {
    auto enumerator = std::make_unique<ComEnumerator>();
    const UniqueBstr languageText(::SysAllocString(language.c_str()));
    const UniqueBstr queryText(::SysAllocString(query.c_str()));
    const HRESULT result =
        services_->ExecQuery(languageText.get(), queryText.get(), WBEM_FLAG_FORWARD_ONLY, nullptr,
                             enumerator->Receive());
    if (FAILED(result)) return WmiQueryResult{result, nullptr};
    return WmiQueryResult{result, std::move(enumerator)};
  }

 private:
  ComPtr<IWbemServices> services_;
};

class ComLocator final : public WmiLocator {
 public:
  IWbemLocator** Receive() { return locator_.put(); }

  WmiConnectResult ConnectServer(const std::wstring& nameSpace) override {
    auto services = std::make_unique<ComServices>();
    const UniqueBstr path(::SysAllocString(nameSpace.c_str()));
    const HRESULT result = locator_->ConnectServer(path.get(), nullptr, nullptr, nullptr, 0,
                                                   nullptr, nullptr, services->Receive());
    if (FAILED(result)) return WmiConnectResult{result, nullptr};
    return WmiConnectResult{result, std::move(services)};
  }

 private:
  ComPtr<IWbemLocator> locator_;
};

// The calls of the cycle as COM makes them.
class ComLibrary final : public WmiCom {
 public:
  ComResult EnterApartment() override { return ::CoInitializeEx(nullptr, COINIT_MULTITHREADED); }

  void LeaveApartment() override { ::CoUninitialize(); }

  WmiLocatorResult CreateLocator() override {
    auto locator = std::make_unique<ComLocator>();
    const HRESULT result =
        ::CoCreateInstance(kClsidWbemLocator, nullptr, CLSCTX_INPROC_SERVER, kIidWbemLocator,
                           reinterpret_cast<void**>(locator->Receive()));
    if (FAILED(result)) return WmiLocatorResult{result, nullptr};
    return WmiLocatorResult{result, std::move(locator)};
  }
};

}  // namespace
}  // namespace win32

WmiAnswer ReadWmiProperty(const std::wstring& className, const std::wstring& property) {
  win32::ComLibrary com;
  return win32::QueryWmiProperty(com, className, property);
}

}  // namespace dorvanta::platform
