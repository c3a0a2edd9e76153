#include "fake/FakeWmi.h"

#include <memory>

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

class Value final : public platform::WmiValue {
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

class Object final : public platform::WmiObject {
 public:
  explicit Object(FakeWmiInstance instance) : instance_(std::move(instance)) {}
  ~Object() override { Record(L"release object"); }

  platform::WmiGetResult Get(const std::wstring& property) override {
    Record(L"get " + property);
    const auto found = instance_.Properties.find(property);
    if (found == instance_.Properties.end()) {
      const auto detail = instance_.FailureDetails.find(property);
      return platform::WmiGetResult{
          kWbemNotFound, nullptr,
          detail == instance_.FailureDetails.end() ? std::wstring() : detail->second};
    }
    return platform::WmiGetResult{0, std::make_unique<Value>(found->second), {}};
  }

 private:
  FakeWmiInstance instance_;
};

class Enumerator final : public platform::WmiEnumerator {
 public:
  ~Enumerator() override { Record(L"release enumerator"); }

  std::unique_ptr<platform::WmiObject> Next() override {
    if (next_ >= Wmi().Instances.size()) return nullptr;
    return std::make_unique<Object>(Wmi().Instances[next_++]);
  }

 private:
  std::size_t next_ = 0;
};

class Services final : public platform::WmiServices {
 public:
  ~Services() override { Record(L"release services"); }
  platform::ComResult SetProxyBlanket() override { return Wmi().BlanketResult; }
  platform::WmiQueryResult ExecQuery(const std::wstring& language,
                                     const std::wstring& query) override {
    Record(L"query " + language + L" " + query);
    if (platform::Failed(Wmi().QueryResult)) return {Wmi().QueryResult, nullptr};
    return {Wmi().QueryResult, std::make_unique<Enumerator>()};
  }
};

class Locator final : public platform::WmiLocator {
 public:
  ~Locator() override { Record(L"release locator"); }
  platform::WmiConnectResult ConnectServer(const std::wstring& nameSpace) override {
    Record(L"connect " + nameSpace);
    if (platform::Failed(Wmi().ConnectResult)) return {Wmi().ConnectResult, nullptr};
    return {Wmi().ConnectResult, std::make_unique<Services>()};
  }
};

}  // namespace
}  // namespace fake

namespace platform {

ComResult EnterComApartment() {
  fake::Record(L"enter");
  return fake::Wmi().EnterResult;
}

void LeaveComApartment() { fake::Record(L"leave"); }

WmiLocatorResult CreateWmiLocator() {
  if (Failed(fake::Wmi().LocatorResult)) return {fake::Wmi().LocatorResult, nullptr};
  return {fake::Wmi().LocatorResult, std::make_unique<fake::Locator>()};
}

}  // namespace platform
}  // namespace dorvanta
