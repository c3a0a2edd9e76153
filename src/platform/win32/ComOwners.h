// Ownership of COM interface pointers, automation strings and variants.
#pragma once

#include <oleauto.h>
#include <windows.h>

#include <string>

namespace dorvanta::platform::win32 {

// Holds one reference to a COM interface and releases it when dropped.
template <typename Interface>
class UniqueCom {
 public:
  UniqueCom() = default;
  explicit UniqueCom(Interface* pointer) : pointer_(pointer) {}
  UniqueCom(const UniqueCom&) = delete;
  UniqueCom& operator=(const UniqueCom&) = delete;
  ~UniqueCom() {
    if (pointer_ != nullptr) pointer_->Release();
  }

  [[nodiscard]] Interface* Get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  // The place for an out-parameter; only on an empty owner.
  Interface** Put() { return &pointer_; }
  // Hands the reference over to the caller.
  Interface* Detach() {
    Interface* pointer = pointer_;
    pointer_ = nullptr;
    return pointer;
  }

 private:
  Interface* pointer_ = nullptr;
};

// An automation string allocated for one call and freed when dropped.
class UniqueBstr {
 public:
  explicit UniqueBstr(const std::wstring& text) : bstr_(::SysAllocString(text.c_str())) {}
  UniqueBstr(const UniqueBstr&) = delete;
  UniqueBstr& operator=(const UniqueBstr&) = delete;
  ~UniqueBstr() { ::SysFreeString(bstr_); }

  [[nodiscard]] BSTR Get() const { return bstr_; }

 private:
  BSTR bstr_;
};

// A variant that is cleared when dropped.
class UniqueVariant {
 public:
  UniqueVariant() { ::VariantInit(&variant_); }
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;
  ~UniqueVariant() { ::VariantClear(&variant_); }

  [[nodiscard]] VARIANT* Get() { return &variant_; }
  [[nodiscard]] const VARIANT* Get() const { return &variant_; }

 private:
  VARIANT variant_;
};

}  // namespace dorvanta::platform::win32
