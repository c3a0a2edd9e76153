// Ownership of one resource that a single function gives back: a handle, a file
// descriptor, an interface pointer. An owner type is one line, for example
//   using UniqueDescriptor = UniqueResource<&CloseDescriptor, int, -1>;
#pragma once

#include <type_traits>
#include <utility>

namespace dorvanta {
namespace detail {

template <typename Function>
struct FirstParameter;

template <typename Result, typename Parameter, typename... Rest>
struct FirstParameter<Result (*)(Parameter, Rest...)> {
  using Type = Parameter;
};

}  // namespace detail

// Owns a value of type T and calls `Close` with it once. `Invalid` is the value
// that stands for no resource; where more than one value means none, it is a
// function that tells them (and an empty owner then holds T{}).
template <auto Close, typename T = typename detail::FirstParameter<decltype(Close)>::Type,
          auto Invalid = T{}>
class UniqueResource {
 public:
  UniqueResource() noexcept = default;
  explicit UniqueResource(T value) noexcept : value_(value) {}
  UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  ~UniqueResource() { reset(); }

  [[nodiscard]] T get() const noexcept { return value_; }
  explicit operator bool() const noexcept { return Holds(value_); }
  T operator->() const noexcept requires std::is_pointer_v<T> { return value_; }

  // Gives the value up without closing it.
  [[nodiscard]] T release() noexcept { return std::exchange(value_, Empty()); }
  // Closes the value held, if any, and takes `value` instead.
  void reset(T value = Empty()) noexcept {
    const T old = std::exchange(value_, value);
    if (Holds(old)) static_cast<void>(Close(old));
  }
  // Closes the value held and gives the place where a call stores a new one.
  [[nodiscard]] T* put() noexcept {
    reset();
    return &value_;
  }

 private:
  static constexpr bool kInvalidIsTest = std::is_invocable_r_v<bool, decltype(Invalid), T>;

  static T Empty() noexcept {
    if constexpr (kInvalidIsTest) {
      return T{};
    } else {
      return Invalid;
    }
  }
  static bool Holds(T value) noexcept {
    if constexpr (kInvalidIsTest) {
      return !Invalid(value);
    } else {
      return value != Invalid;
    }
  }

  T value_ = Empty();
};

}  // namespace dorvanta
