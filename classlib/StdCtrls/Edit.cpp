// TCustomEdit and TCustomMemo with its lines.
#include "classlib/StdCtrls.h"

#include <algorithm>
#include <cstring>

#include "classlib/GdiScopes.h"
#include "classlib/StdCtrls/Internal.h"
#include "classlib/core/TypInfo.h"

using namespace stdctrls_impl;

// ---- TCustomEdit ------------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  ControlStyle_ = TControlStyle{csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
  SetBounds(0, 0, 121, 25);
  TabStop_ = true;
  ParentColor_ = false;
  Color_ = clWindow;
  AutoSize_ = true;
  AdjustHeight();
}

void TCustomEdit::SetMaxLength(int v) {
  MaxLength_ = std::max(0, v);
  if (HandleAllocated()) SendMessageA(Handle_, EM_LIMITTEXT, static_cast<WPARAM>(MaxLength_), 0);
}

void TCustomEdit::SetReadOnly(bool v) {
  ReadOnly_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, EM_SETREADONLY, v ? 1 : 0, 0);
}

void TCustomEdit::SetPasswordChar(char v) {
  if (PasswordChar_ == v) return;
  PasswordChar_ = v;
  if (HandleAllocated()) {
    SendMessageA(Handle_, EM_SETPASSWORDCHAR, static_cast<unsigned char>(v), 0);
    ::InvalidateRect(Handle_, nullptr, TRUE);
  }
}

void TCustomEdit::SetCharCase(TEditCharCase v) {
  if (CharCase_ == v) return;
  CharCase_ = v;
  if (HandleAllocated()) {
    LONG_PTR style = GetWindowLongPtrA(Handle_, GWL_STYLE) & ~(ES_UPPERCASE | ES_LOWERCASE);
    if (v == ecUpperCase) style |= ES_UPPERCASE;
    if (v == ecLowerCase) style |= ES_LOWERCASE;
    SetWindowLongPtrA(Handle_, GWL_STYLE, style);
    // The window converts only new input; the present text follows the new case here.
    std::string t = Text();
    for (char& c : t)
      c = v == ecUpperCase   ? static_cast<char>(toupper(static_cast<unsigned char>(c)))
          : v == ecLowerCase ? static_cast<char>(tolower(static_cast<unsigned char>(c)))
                             : c;
    if (v != ecNormal) SetText(t);
  }
}

void TCustomEdit::SetHideSelection(bool v) {
  if (HideSelection_ == v) return;
  HideSelection_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::SetBorderStyle(TBorderStyle v) {
  if (BorderStyle_ == v) return;
  BorderStyle_ = v;
  AdjustHeight();
  if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::SetAutoSize(bool v) {
  if (AutoSize_ == v) return;
  AutoSize_ = v;
  ControlStyle_.Set(csFixedHeight, v && BorderStyle_ == bsSingle);
  AdjustHeight();
}

bool TCustomEdit::Modified() const {
  if (Handle_) return SendMessageA(Handle_, EM_GETMODIFY, 0, 0) != 0;
  return Modified_;
}

void TCustomEdit::SetModified(bool v) {
  Modified_ = v;
  if (Handle_) SendMessageA(Handle_, EM_SETMODIFY, v ? 1 : 0, 0);
}

int TCustomEdit::SelStart() {
  DWORD start = 0, end = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int v) { SendMessageA(Handle(), EM_SETSEL, v, v); }

int TCustomEdit::SelLength() {
  DWORD start = 0, end = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TCustomEdit::SetSelLength(int v) {
  int start = SelStart();
  SendMessageA(Handle_, EM_SETSEL, start, start + v);
  SendMessageA(Handle_, EM_SCROLLCARET, 0, 0);
}

std::string TCustomEdit::SelText() {
  int start = SelStart(), len = SelLength();
  return Text().substr(static_cast<std::size_t>(start), static_cast<std::size_t>(len));
}

void TCustomEdit::SetSelText(const std::string& v) {
  SendMessageA(Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(v.c_str()));
}

void TCustomEdit::SelectAll() {
  if (HandleAllocated()) SendMessageA(Handle_, EM_SETSEL, 0, -1);
}

void TCustomEdit::Clear() { SetText(""); }
void TCustomEdit::ClearSelection() { SendMessageA(Handle(), WM_CLEAR, 0, 0); }
void TCustomEdit::CopyToClipboard() { SendMessageA(Handle(), WM_COPY, 0, 0); }
void TCustomEdit::CutToClipboard() { SendMessageA(Handle(), WM_CUT, 0, 0); }
void TCustomEdit::PasteFromClipboard() { SendMessageA(Handle(), WM_PASTE, 0, 0); }
void TCustomEdit::Undo() { SendMessageA(Handle(), WM_UNDO, 0, 0); }

void TCustomEdit::Change() {
  auto alive = AliveToken();
  Changed();
  if (*alive) OnChange(this);
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, "EDIT");
  Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  if (ReadOnly_) Params.Style |= ES_READONLY;
  if (CharCase_ == ecUpperCase) Params.Style |= ES_UPPERCASE;
  if (CharCase_ == ecLowerCase) Params.Style |= ES_LOWERCASE;
  if (!HideSelection_) Params.Style |= ES_NOHIDESEL;
  if (BorderStyle_ == bsSingle) {
    if (Ctl3D_)
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
}

void TCustomEdit::CreateWnd() {
  Creating_ = true;
  try {
    TWinControl::CreateWnd();
  } catch (...) {
    Creating_ = false;
    throw;
  }
  Creating_ = false;
  SendMessageA(Handle_, EM_LIMITTEXT, static_cast<WPARAM>(MaxLength_), 0);
  SendMessageA(Handle_, EM_SETMODIFY, Modified_ ? 1 : 0, 0);
  if (PasswordChar_) SendMessageA(Handle_, EM_SETPASSWORDCHAR, static_cast<unsigned char>(PasswordChar_), 0);
  ControlStyle_.Set(csFixedHeight, AutoSize_ && BorderStyle_ == bsSingle);
  AdjustHeight();
}

void TCustomEdit::DestroyWnd() {
  if (Handle_) Modified_ = SendMessageA(Handle_, EM_GETMODIFY, 0, 0) != 0;
  TWinControl::DestroyWnd();
}

void TCustomEdit::DoEnter() {
  if (AutoSelect_ && !ControlState_.Contains(csLButtonDown) && HandleAllocated() &&
      (GetWindowLongPtrA(Handle_, GWL_STYLE) & ES_MULTILINE) == 0)
    SelectAll();
  TWinControl::DoEnter();
}

void TCustomEdit::AdjustHeight() {
  if (!AutoSize_ || BorderStyle_ != bsSingle) return;
  TEXTMETRICA tm{};
  {
    ScreenDC dc;
    SelectedObject font(dc, Font_->Handle());
    GetTextMetricsA(dc, &tm);
  }
  const int extra = GetSystemMetrics(SM_CYBORDER) * (Ctl3D_ ? 8 : 6);
  SetHeight(tm.tmHeight + extra);
}

void TCustomEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND:
      if (Message.WParamHi() == EN_CHANGE && !Creating_) Change();
      return;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC: AnswerCtlColor(this, Message); return;
    case CM_FONTCHANGED: {
      // The height the text needs changes with the face, not with the colour.
      const bool sameFace = HandleAllocated() && Font_->Handle() == WindowFont_;
      TWinControl::Dispatch(Message);
      if (!sameFace && (HandleAllocated() || !Loading())) AdjustHeight();
      return;
    }
    default: TWinControl::Dispatch(Message);
  }
}

// ---- TCustomMemo ------------------------------------------------------------------------------

namespace {
HWND MemoWnd(TCustomMemo* m) { return m->Handle(); }
}  // namespace

int TMemoStrings::Count() const {
  HWND w = MemoWnd(Memo_);
  int n = static_cast<int>(SendMessageA(w, EM_GETLINECOUNT, 0, 0));
  // The window counts an empty line after a final line break; the list does not.
  LRESULT start = SendMessageA(w, EM_LINEINDEX, static_cast<WPARAM>(n - 1), 0);
  if (n > 0 && SendMessageA(w, EM_LINELENGTH, static_cast<WPARAM>(start), 0) == 0) --n;
  return n;
}

std::string TMemoStrings::Get(int index) const {
  HWND w = MemoWnd(Memo_);
  LRESULT start = SendMessageA(w, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
  if (index < 0 || start < 0) return {};
  int len = static_cast<int>(SendMessageA(w, EM_LINELENGTH, static_cast<WPARAM>(start), 0));
  std::string buf(static_cast<std::size_t>(std::max(len, 1) + 2), '\0');
  // The first WORD of the buffer tells the window its size.
  const WORD room = static_cast<WORD>(buf.size());
  std::memcpy(buf.data(), &room, sizeof room);
  LRESULT got = SendMessageA(w, EM_GETLINE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(static_cast<std::size_t>(std::max<LRESULT>(0, std::min<LRESULT>(got, len))));
  return buf;
}

void TMemoStrings::Put(int index, const std::string& s) {
  HWND w = MemoWnd(Memo_);
  LRESULT start = SendMessageA(w, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
  if (start < 0) return;
  LRESULT len = SendMessageA(w, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
  SendMessageA(w, EM_SETSEL, static_cast<WPARAM>(start), start + len);
  SendMessageA(w, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(s.c_str()));
}

void TMemoStrings::Insert(int index, const std::string& s) {
  if (index < 0) return;
  HWND w = MemoWnd(Memo_);
  LRESULT start = SendMessageA(w, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
  std::string line;
  if (start >= 0 && index < Count()) {
    line = s + "\r\n";
  } else {
    if (index == 0) {
      start = 0;
      line = s;
    } else {
      start = SendMessageA(w, EM_LINEINDEX, static_cast<WPARAM>(index - 1), 0);
      if (start < 0) return;
      LRESULT len = SendMessageA(w, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
      start += len;
      // A last line that already ends with a line break takes the new line after it.
      line = "\r\n" + s;
      if (len == 0 && index - 1 >= Count()) line = s;
    }
  }
  SendMessageA(w, EM_SETSEL, static_cast<WPARAM>(start), start);
  SendMessageA(w, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void TMemoStrings::Delete(int index) {
  HWND w = MemoWnd(Memo_);
  LRESULT start = SendMessageA(w, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
  if (index < 0 || start < 0) return;
  LRESULT end = SendMessageA(w, EM_LINEINDEX, static_cast<WPARAM>(index + 1), 0);
  if (end < 0) {
    // The last line: take the line break before it instead.
    end = start + SendMessageA(w, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    if (start >= 2) start -= 2;
  }
  SendMessageA(w, EM_SETSEL, static_cast<WPARAM>(start), end);
  SendMessageA(w, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(""));
}

void TMemoStrings::Clear() { Memo_->Clear(); }

void TMemoStrings::SetUpdateState(bool updating) {
  if (!Memo_->HandleAllocated()) return;
  SendMessageA(Memo_->Handle(), WM_SETREDRAW, updating ? 0 : 1, 0);
  if (!updating) Memo_->Refresh();
}

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner) {
  AutoSize_ = false;
  ControlStyle_.Exclude(csFixedHeight);
  SetBounds(0, 0, 185, 89);
  Lines_ = new TMemoStrings(this);
}

TCustomMemo::~TCustomMemo() { delete Lines_; }

void TCustomMemo::SetScrollBars(TScrollStyle v) {
  if (ScrollBars_ == v) return;
  ScrollBars_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool v) {
  if (WordWrap_ == v) return;
  WordWrap_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomMemo::SetAlignment(TAlignment v) {
  if (Alignment_ == v) return;
  Alignment_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomMemo::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  Params.Style |= ES_MULTILINE | ES_WANTRETURN;
  Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
  if (!WordWrap_ || ScrollBars_ == ssHorizontal || ScrollBars_ == ssBoth) Params.Style |= ES_AUTOHSCROLL;
  if (ScrollBars_ == ssVertical || ScrollBars_ == ssBoth) Params.Style |= WS_VSCROLL;
  if (ScrollBars_ == ssHorizontal || ScrollBars_ == ssBoth) Params.Style |= WS_HSCROLL;
  if (Alignment_ == taRightJustify) Params.Style |= ES_RIGHT;
  if (Alignment_ == taCenter) Params.Style |= ES_CENTER;
}

void TCustomMemo::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      TCustomEdit::Dispatch(Message);
      // Tab and Return as the memo's properties say.
      Message.Result = WantTabs_ ? Message.Result | DLGC_WANTTAB : Message.Result & ~LRESULT(DLGC_WANTTAB);
      if (!WantReturns_) Message.Result &= ~LRESULT(DLGC_WANTALLKEYS);
      return;
    default: TCustomEdit::Dispatch(Message);
  }
}

// ---- published properties ----------------------------------------------------------------------

static const bool kCustomEditProps = RegisterProperties<TCustomEdit, TWinControl>([](auto& p) {
  p.Str("Text", &TCustomEdit::Text, &TCustomEdit::SetText);
  p.Ord("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength);
  p.Ord("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly);
  p.Ord("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar);
  p.Ord("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase);
  p.Ord("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect);
  p.Ord("HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection);
  p.Ord("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle);
  p.Ord("BevelInner", &TCustomEdit::BevelInner, &TCustomEdit::SetBevelInner);
  p.Ord("BevelOuter", &TCustomEdit::BevelOuter, &TCustomEdit::SetBevelOuter);
  p.Ord("BevelKind", &TCustomEdit::BevelKind, &TCustomEdit::SetBevelKind);
});

static const bool kCustomMemoProps = RegisterProperties<TCustomMemo, TCustomEdit>([](auto& p) {
  p.Obj("Lines", &TCustomMemo::Lines, &TCustomMemo::SetLines);
  p.Ord("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars);
  p.Ord("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap);
  p.Ord("Alignment", &TCustomMemo::Alignment, &TCustomMemo::SetAlignment);
});
