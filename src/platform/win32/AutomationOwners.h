// Ownership of automation strings and variants.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>

namespace dorvanta::platform::win32 {

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
