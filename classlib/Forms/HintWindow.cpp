// THintWindow: the window that shows a hint.
#include "classlib/Forms.h"

#include "classlib/GdiScopes.h"

// ---------------------------------------------------------------------------------------------
// THintWindow

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  Color_ = clInfoBk;
  ParentColor_ = false;
  Brush_->SetColor(Color_);
  Visible_ = false;
  Font_->SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  Params.WndParent = Application ? Application->Handle() : nullptr;
  Params.WindowClass.style |= CS_SAVEBITS;
}

void THintWindow::Paint() {
  TCanvas* c = Canvas();
  RECT r;
  ::GetClientRect(Handle_, &r);
  c->Brush()->SetColor(Color_);
  c->FillRect(FromRECT(r));
  c->Font()->Assign(Font_);
  c->Brush()->SetStyle(bsClear);
  InflateRect(&r, -2, -2);
  std::string text = Caption();
  DrawTextA(c->Handle(), text.c_str(), static_cast<int>(text.size()), &r,
            DrawTextBiDiModeFlags(DT_LEFT | DT_NOPREFIX | DT_WORDBREAK));
  c->Brush()->SetStyle(bsSolid);
}

TRect THintWindow::CalcHintRect(int MaxWidth, const std::string& AHint) {
  RECT r{0, 0, MaxWidth, 0};
  ScreenDC dc;
  SelectedObject font(dc, Font_->Handle());
  DrawTextA(dc, AHint.c_str(), static_cast<int>(AHint.size()), &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  return Rect(0, 0, r.right + 6, r.bottom + 2 + 4);
}

void THintWindow::ActivateHint(const TRect& Rect, const std::string& AHint) {
  SetCaption(AHint);
  TRect r = Rect;
  TRect area = Screen ? Screen->DesktopRect() : r;
  if (r.Right > area.Right) r.Offset(area.Right - r.Right, 0);
  if (r.Left < area.Left) r.Offset(area.Left - r.Left, 0);
  if (r.Bottom > area.Bottom) r.Offset(0, area.Bottom - r.Bottom);
  Left_ = r.Left;
  Top_ = r.Top;
  Width_ = r.Width();
  Height_ = r.Height();
  SetWindowPos(Handle(), HWND_TOPMOST, r.Left, r.Top, r.Width(), r.Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
  InvalidateRect(Handle_, nullptr, TRUE);
}

void THintWindow::ReleaseHandle() { DestroyHandle(); }

bool THintWindow::IsHintShowing() const { return Handle_ && IsWindowVisible(Handle_); }
