// Ownership of COM interface pointers and of the thread's COM initialisation.
#pragma once

#include <objbase.h>
#include <windows.h>

namespace dorvanta::platform::win32 {

// Releases the interface when it goes out of scope.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { Reset(); }

  [[nodiscard]] Interface* Get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  // The place for a call to store a new interface in; releases the old one first.
  Interface** Receive() {
    Reset();
    return &pointer_;
  }
  void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
  void Reset() {
    if (pointer_ != nullptr) pointer_->Release();
    pointer_ = nullptr;
  }

 private:
  Interface* pointer_ = nullptr;
};

// Leaves COM once when it goes out of scope, if entering succeeded.
class ComScope {
 public:
  explicit ComScope(HRESULT entered) : entered_(SUCCEEDED(entered)) {}
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() {
    if (entered_) ::CoUninitialize();
  }

 private:
  bool entered_;
};

}  // namespace dorvanta::platform::win32
