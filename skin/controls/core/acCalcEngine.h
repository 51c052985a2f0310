// The four-function calculator of the calculator popup, without any platform header: the display
// text it edits, one pending operator with its operand, a memory, and what each key does. The
// popup form shows the text, runs the clipboard and hands the value to its edit when the engine
// asks it to.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qv {

enum class TacCalcStatus : std::uint8_t {
  Result,  // a result is shown: the next digit starts a new number
  Typing,  // a number is being typed
  Error,   // "Error" is shown: only 'C' is taken
};

// What a key asks of the form that holds the engine.
enum class TacCalcAction : std::uint8_t {
  None,
  HandBack,  // the display value goes to the owner edit, which takes the focus; the popup closes
  Close,     // the popup closes, the owner edit takes the focus
  Copy,      // the display text to the clipboard
  Paste,     // the clipboard text to Paste
};

class TacCalcEngine {
 public:
  TacCalcEngine();

  // Digits the display holds at most (limited to 2 .. 18); a number edit's calculator shows 16.
  int Precision() const { return FPrecision; }
  void SetPrecision(int Value);
  bool BeepOnError = true;
  // An owner edit takes the value on Enter and "=".
  bool HasOwner = false;

  // Called when assigned. Beep: a refused key or an error, only with BeepOnError.
  std::function<void()> OnBeep;
  std::function<void()> OnDisplayChange;
  std::function<void()> OnError;
  std::function<void()> OnResult;  // after '%', '=' and Enter
  std::function<void(char& Key)> OnKeyFilter;
  std::function<void()> OnValueShown;

  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value);
  TacCalcStatus Status() const { return FStatus; }
  char PendingOperator() const { return FOperator; }
  double Operand() const { return FOperand; }
  double Memory() const { return FMemory; }
  // The display text read as a number; 0 in the error state.
  double DisplayValue() const;
  // The value as the display writes it (general format, Precision digits); a value that is not
  // finite (an overflow) gives the error state instead.
  void ShowValue(double Value);

  // One key, as typed (upper-cased first) or sent by a button: '0'..'9', '.' ',', #8 backspace,
  // 'C' clear, #27 Esc, #3 copy, #22 paste, 'Q' square root, 'R' reciprocal, '_' sign, '+' '-'
  // '*' '/' '%' '=' and #13 (Enter).
  TacCalcAction Key(char Key);
  // The memory buttons (not in the error state): MS stores the display value, MP adds it, MR
  // starts a new number with the memory, MC clears the memory.
  enum class TMemoryKey : std::uint8_t { Clear, Recall, Store, Add };
  void MemoryKey(TMemoryKey Which);
  // Pasted text: the currency string removed, trimmed, shown as a new number when it is one;
  // anything else is refused (a beep) and the display kept. true when it was taken.
  bool Paste(std::string_view Text, std::string_view CurrencyString);
  // Status Result, 0 shown, no operator pending.
  void Clear();

 private:
  void StartNumber();
  void Fail();
  TacCalcAction OperatorKey(char Key);
  void Beep();

  std::string FText = "0";
  double FMemory = 0;
  int FPrecision = 15;
  TacCalcStatus FStatus = TacCalcStatus::Result;
  char FOperator = '=';
  double FOperand = 0;
};

}  // namespace qv
