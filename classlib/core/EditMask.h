// Edit masks of the masked edit: "mask;save-literals;blank".
//
// Mask characters: L / l letter (required / optional), A / a letter or digit, C / c any
// character, 0 / 9 digit, # digit or sign (optional); > and < switch the following input to
// upper or lower case, <> switches case conversion off; \ takes the next character literally;
// ! is a directive of the mask language that takes no position.
// Every other character is a literal shown in the text. The second field ("0" or "1", default
// "1") tells whether Text keeps the literals; the third gives the blank shown for unfilled
// input positions (default '_').
#pragma once

#include <string>
#include <string_view>
#include <vector>

class TEditMask {
 public:
  TEditMask() = default;
  explicit TEditMask(std::string_view mask);

  bool Empty() const { return Slots_.empty(); }
  int Length() const { return static_cast<int>(Slots_.size()); }
  bool IsLiteral(int pos) const;
  char Blank() const { return Blank_; }
  bool SaveLiterals() const { return SaveLiterals_; }

  // The text shown for an empty edit: literals in place, blanks elsewhere.
  std::string BlankText() const;
  // c converted for input position pos (case rules); '\0' when it does not fit there.
  char Accept(int pos, char c) const;
  // The first input position at or after pos (Length() when none).
  int NextInput(int pos) const;
  // The last input position before pos (-1 when none).
  int PrevInput(int pos) const;
  // The shown text made from a value: with literals saved the value is laid over the positions
  // one by one, otherwise it fills the input positions only; unfitting characters become blanks.
  std::string Format(std::string_view value) const;
  // The value of a shown text: blanks as spaces, literals kept or dropped by SaveLiterals.
  std::string Value(std::string_view shown) const;
  // Whether every required input position of a shown text is filled.
  bool Complete(std::string_view shown) const;

 private:
  enum class Kind : unsigned char { Literal, Letter, AlphaNum, Any, Digit, DigitSign };
  struct Slot {
    Kind K = Kind::Literal;
    char Ch = 0;  // literal character
    bool Required = false;
    int Case = 0;  // 1 upper, -1 lower
  };
  std::vector<Slot> Slots_;
  bool SaveLiterals_ = true;
  char Blank_ = '_';
};
