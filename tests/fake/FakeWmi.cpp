#include "fake/FakeWmi.h"

#include <memory>

using dorvanta::platform::win32::ComResult;
using dorvanta::platform::win32::Failed;

namespace dorvanta {
namespace fake {

WmiState& Wmi() {
  static WmiState state;
  return state;
}

void ResetWmi() { Wmi() = WmiState{}; }

FakeWmiValue Text(std::wstring text) { return FakeWmiValue{true, std::move(text), std::nullopt}; }

namespace {

void Record(std::wstring event) { Wmi().Events.push_back(std::move(event)); }

class Value final : public platform::win32::WmiValue {
 public:
  explicit Value(FakeWmiValue value) : value_(std::move(value)) {}
  ~Value() override { Record(L"clear value"); }
  [[nodiscard]] bool IsString() const override { return value_.IsString; }
  [[nodiscard]] std::optional<std::wstring> String() const override { return value_.String; }
  [[nodiscard]] std::optional<std::wstring> ConvertToString() const override {
    Record(L"convert");
    return value_.Converted;
  }

 private:
  FakeWmiValue value_;
};

class Object final : public platform::win32::WmiObject {
 public:
  explicit Object(FakeWmiInstance instance) : instance_(std::move(instance)) {}
  ~Object() override { Record(L"release object"); }

  platform::win32::WmiGetResult Get(const std::wstring& property) override {
    Record(L"get " + property);
    const auto found = instance_.Properties.find(property);
    if (found == instance_.Properties.end()) return {kWbemNotFound, nullptr};
    return {0, std::make_unique<Value>(found->second)};
  }

 private:
  FakeWmiInstance instance_;
};

class Enumerator final : public platform::win32::WmiEnumerator {
 public:
  ~Enumerator() override { Record(L"release enumerator"); }

  std::unique_ptr<platform::win32::WmiObject> Next() override {
    if (next_ >= Wmi().Instances.size()) return nullptr;
    return std::make_unique<Object>(Wmi().Instances[next_++]);
  }

 private:
  std::size_t next_ = 0;
};

class Services final : public platform::win32::WmiServices {
 public:
  ~Services() override { Record(L"release services"); }
  ComResult SetProxyBlanket() override { return Wmi().BlanketResult; }
  platform::win32::WmiQueryResult ExecQuery(const std::wstring& language,
                                            const std::wstring& query) override {
    Record(L"query " + language + L" " + query);
    if (Failed(Wmi().QueryResult)) return {Wmi().QueryResult, nullptr};
    return {Wmi().QueryResult, std::make_unique<Enumerator>()};
  }
};

class Locator final : public platform::win32::WmiLocator {
 public:
  ~Locator() override { Record(L"release locator"); }
  platform::win32::WmiConnectResult ConnectServer(const std::wstring& nameSpace) override {
    Record(L"connect " + nameSpace);
    if (Failed(Wmi().ConnectResult)) return {Wmi().ConnectResult, nullptr};
    return {Wmi().ConnectResult, std::make_unique<Services>()};
  }
};

class Com final : public platform::win32::WmiCom {
 public:
  ComResult EnterApartment() override {
    Record(L"enter");
    return Wmi().EnterResult;
  }

  void LeaveApartment() override { Record(L"leave"); }

  platform::win32::WmiLocatorResult CreateLocator() override {
    if (Failed(Wmi().LocatorResult)) return {Wmi().LocatorResult, nullptr};
    return {Wmi().LocatorResult, std::make_unique<Locator>()};
  }
};

}  // namespace
}  // namespace fake

namespace platform {

WmiAnswer ReadWmiProperty(const std::wstring& className, const std::wstring& property) {
  if (fake::Wmi().Answer) return *fake::Wmi().Answer;
  fake::Com com;
  return win32::QueryWmiProperty(com, className, property);
}

}  // namespace platform
}  // namespace dorvanta
