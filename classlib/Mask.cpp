#include "classlib/Mask.h"

#include "classlib/core/TypInfo.h"

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

void TCustomMaskEdit::SetEditMask(const std::string& v) {
  if (EditMask_ == v) return;
  const std::string value = GetText();
  EditMask_ = v;
  Mask_ = TEditMask(v);
  if (IsMasked()) {
    SetMaxLength(Mask_.Length());
    TCustomEdit::SetText(Mask_.Format(value));
  } else {
    SetMaxLength(0);
  }
  OldValue_ = EditText();
}

void TCustomMaskEdit::SetEditText(const std::string& v) { TCustomEdit::SetText(IsMasked() ? Mask_.Format(v) : v); }

std::string TCustomMaskEdit::GetText() const {
  if (!IsMasked()) return TCustomEdit::GetText();
  return Mask_.Value(EditText());
}

void TCustomMaskEdit::SetText(const std::string& v) { TCustomEdit::SetText(IsMasked() ? Mask_.Format(v) : v); }

void TCustomMaskEdit::Reset() {
  if (!Modified()) return;
  TCustomEdit::SetText(OldValue_);
  SetModified(false);
}

void TCustomMaskEdit::DoEnter() {
  OldValue_ = EditText();
  TCustomEdit::DoEnter();
}

void TCustomMaskEdit::BlankSelection(std::string& text, int start, int end) const {
  for (int i = start; i < end && i < static_cast<int>(text.size()); ++i)
    if (!Mask_.IsLiteral(i)) text[static_cast<std::size_t>(i)] = Mask_.Blank();
}

void TCustomMaskEdit::PutText(const std::string& text, int caret) {
  TCustomEdit::SetText(text);
  SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(caret), caret);
  SetModified(true);
}

void TCustomMaskEdit::KeyDown(std::uint16_t& Key, TShiftState Shift) {
  TCustomEdit::KeyDown(Key, Shift);
  if (!IsMasked() || Key == 0) return;
  if (Key == VK_ESCAPE && Shift.Empty()) {
    if (Modified()) {
      Reset();
      Key = 0;
    }
    return;
  }
  if (Key == VK_DELETE && !ReadOnly_) {
    std::string text = EditText();
    int start = SelStart(), len = SelLength();
    if (len > 0) {
      BlankSelection(text, start, start + len);
    } else {
      int pos = Mask_.NextInput(start);
      if (pos >= Mask_.Length()) {
        Key = 0;
        return;
      }
      BlankSelection(text, pos, pos + 1);
    }
    PutText(text, start);
    Key = 0;
  }
}

void TCustomMaskEdit::KeyPress(char& Key) {
  TCustomEdit::KeyPress(Key);
  if (!IsMasked() || Key == 0) return;
  if (Key == 27) {  // handled on the key going down
    Key = 0;
    return;
  }
  if (ReadOnly_) return;
  std::string text = EditText();
  if (static_cast<int>(text.size()) != Mask_.Length()) text = Mask_.Format(Mask_.Value(text));
  int start = SelStart(), len = SelLength();
  if (Key == 8) {
    if (len > 0) {
      BlankSelection(text, start, start + len);
      PutText(text, start);
    } else {
      int pos = Mask_.PrevInput(start);
      if (pos >= 0) {
        BlankSelection(text, pos, pos + 1);
        PutText(text, pos);
      }
    }
    Key = 0;
    return;
  }
  if (static_cast<unsigned char>(Key) < 32) return;  // other control characters go on
  int pos = Mask_.NextInput(start);
  char c = pos < Mask_.Length() ? Mask_.Accept(pos, Key) : '\0';
  if (!c) {
    MessageBeep(0);
    Key = 0;
    return;
  }
  if (len > 0) BlankSelection(text, start, start + len);
  text[static_cast<std::size_t>(pos)] = c;
  PutText(text, Mask_.NextInput(pos + 1));
  Key = 0;
}

void TCustomMaskEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
      if (!IsMasked()) break;
      if (!ReadOnly_) EditMasked(Message);
      return;
    default: break;
  }
  TCustomEdit::Dispatch(Message);
}

// Paste, cut or clear under the mask, which decides every position.
void TCustomMaskEdit::EditMasked(TMessage& Message) {
  if (Message.Msg == WM_PASTE)
    PasteMasked();
  else
    CutMasked(Message);
}

// The clipboard's text, typed character by character.
void TCustomMaskEdit::PasteMasked() {
  if (!OpenClipboard(Handle())) return;
  std::string s;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(h))) {
      s = p;
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  for (char c : s) {
    char k = c;
    KeyPress(k);
  }
}

// Cut (copied first) or clear: the selected positions become blanks.
void TCustomMaskEdit::CutMasked(TMessage& Message) {
  if (Message.Msg == WM_CUT) TCustomEdit::Dispatch(Message = MakeMessage(WM_COPY));
  std::string text = EditText();
  int start = SelStart();
  BlankSelection(text, start, start + SelLength());
  PutText(text, start);
}

static const bool kMaskProps = RegisterProperties<TCustomMaskEdit, TCustomEdit>(
    [](auto& p) { p.Str("EditMask", &TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask); });
