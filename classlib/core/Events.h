// Event handlers as comparable method pointers.
//
// A TMethod<R(Args...)> holds an object and a member function of it, like a closure of the
// class framework: two handlers made from the same object and the same member compare equal, so
// a routine can tell its own handler from one the application installed, save a handler, replace
// it and put it back. Handlers are made with MakeMethod<&Class::Member>(object); the member is a
// template argument, so no executable code is generated at run time and the pair (object, entry)
// identifies the handler.
#pragma once

#include <type_traits>

template <typename Signature>
class TMethod;

template <typename R, typename... Args>
class TMethod<R(Args...)> {
 public:
  using Entry = R (*)(void* data, Args... args);

  TMethod() = default;
  TMethod(std::nullptr_t) {}
  TMethod(void* data, Entry code) : Data_(data), Code_(code) {}

  explicit operator bool() const { return Code_ != nullptr; }
  bool Assigned() const { return Code_ != nullptr; }

  R operator()(Args... args) const {
    if (!Code_) {
      if constexpr (std::is_void_v<R>)
        return;
      else
        return R{};
    }
    return Code_(Data_, static_cast<Args>(args)...);
  }

  void* Data() const { return Data_; }
  Entry Code() const { return Code_; }

  friend bool operator==(const TMethod& a, const TMethod& b) { return a.Data_ == b.Data_ && a.Code_ == b.Code_; }
  friend bool operator!=(const TMethod& a, const TMethod& b) { return !(a == b); }

 private:
  void* Data_ = nullptr;
  Entry Code_ = nullptr;
};

namespace detail {
template <auto Member, typename Class, typename R, typename... Args>
struct MethodEntry {
  static R Call(void* data, Args... args) { return (static_cast<Class*>(data)->*Member)(static_cast<Args>(args)...); }
};

template <typename T>
struct MemberTraits;
template <typename Class, typename R, typename... Args>
struct MemberTraits<R (Class::*)(Args...)> {
  using ClassType = Class;
  using Signature = R(Args...);
  template <auto Member>
  using Entry = MethodEntry<Member, Class, R, Args...>;
};
}  // namespace detail

// MakeMethod<&TMyForm::ButtonClick>(form): a handler calling form->ButtonClick(...).
// Virtual members dispatch virtually, so a handler made from &TControl::WndProc calls the
// most derived override.
template <auto Member>
auto MakeMethod(typename detail::MemberTraits<decltype(Member)>::ClassType* object) {
  using Traits = detail::MemberTraits<decltype(Member)>;
  using Method = TMethod<typename Traits::Signature>;
  return Method(static_cast<void*>(object), &Traits::template Entry<Member>::Call);
}

// A handler made from a plain function taking the data pointer first; for tests and glue.
template <typename R, typename... Args>
TMethod<R(Args...)> MakeFunctionMethod(R (*fn)(void*, Args...), void* data = nullptr) {
  return TMethod<R(Args...)>(data, fn);
}
