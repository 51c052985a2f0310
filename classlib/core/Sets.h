// Small sets of enumeration values, the class library's "set of" types (control styles, shift
// states, border icons, anchors ...). An element's bit is 1 << its ordinal, so the bit pattern of
// a set is the ordinal value the published-property access reads and writes.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <type_traits>

template <typename E>
class TSet {
  static_assert(std::is_enum_v<E>, "TSet holds values of an enumeration");

 public:
  using Bits = std::uint64_t;

  constexpr TSet() = default;
  constexpr TSet(E element) : Bits_(Bit(element)) {}
  constexpr TSet(std::initializer_list<E> elements) {
    for (E e : elements) Bits_ |= Bit(e);
  }

  static constexpr TSet FromBits(Bits bits) {
    TSet s;
    s.Bits_ = bits;
    return s;
  }
  constexpr Bits ToBits() const { return Bits_; }

  constexpr bool Contains(E element) const { return (Bits_ & Bit(element)) != 0; }
  constexpr bool Empty() const { return Bits_ == 0; }
  constexpr TSet& Include(E element) {
    Bits_ |= Bit(element);
    return *this;
  }
  constexpr TSet& Exclude(E element) {
    Bits_ &= ~Bit(element);
    return *this;
  }
  // Include or exclude by a flag.
  constexpr TSet& Set(E element, bool on) { return on ? Include(element) : Exclude(element); }

  // Union, difference and intersection, like the framework's +, - and *.
  friend constexpr TSet operator+(TSet a, TSet b) { return FromBits(a.Bits_ | b.Bits_); }
  friend constexpr TSet operator-(TSet a, TSet b) { return FromBits(a.Bits_ & ~b.Bits_); }
  friend constexpr TSet operator*(TSet a, TSet b) { return FromBits(a.Bits_ & b.Bits_); }
  constexpr TSet& operator+=(TSet b) {
    Bits_ |= b.Bits_;
    return *this;
  }
  constexpr TSet& operator-=(TSet b) {
    Bits_ &= ~b.Bits_;
    return *this;
  }
  constexpr TSet& operator*=(TSet b) {
    Bits_ &= b.Bits_;
    return *this;
  }
  friend constexpr bool operator==(TSet a, TSet b) { return a.Bits_ == b.Bits_; }
  friend constexpr bool operator!=(TSet a, TSet b) { return a.Bits_ != b.Bits_; }
  // a <= b: every element of a is in b.
  friend constexpr bool operator<=(TSet a, TSet b) { return (a.Bits_ & ~b.Bits_) == 0; }
  friend constexpr bool operator>=(TSet a, TSet b) { return b <= a; }

  // true when the sets share an element.
  constexpr bool Intersects(TSet other) const { return (Bits_ & other.Bits_) != 0; }

 private:
  static constexpr Bits Bit(E element) {
    return Bits{1} << static_cast<unsigned>(static_cast<std::underlying_type_t<E>>(element));
  }
  Bits Bits_ = 0;
};
