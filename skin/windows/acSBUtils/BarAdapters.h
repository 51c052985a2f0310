// Adapters of bars: standard tool bars (every button painted from the data the window reports), the
// class library's tool bar (painted through its custom-draw events), and status bars (the bar,
// its panels and texts painted into the cache and copied in one step). Part of the window adapters
// (include skin/windows/acSBUtils.h).
#pragma once

#include "skin/windows/acSBUtils.h"

#include "classlib/ComCtrls.h"

// ---- Tool bars ---------------------------------------------------------------------------------

// A standard tool bar ("ToolbarWindow32"): the bar from the cache, each button in the section
// "TOOLBUTTON", normal, hot under the pointer, pressed or checked; its image, drop-down arrow and
// text over it (the text under the image, or beside it on a list bar); a disabled button dimmed over
// the bar.
class TacToolBarWnd : public TacMainWnd {
 public:
  QV_CLASS_NAME(TacToolBarWnd)
  using TacMainWnd::TacMainWnd;
  void HandleMessage(TMessage& Message) override;

  TRect ClientRect{};  // the window's client rectangle
  int Border = 0;      // (window height - client height) div 2
  int HotButton = -1;  // the button under the pointer, -1 when none

  // The state a button is painted in: 0 normal, 1 hot, 2 pressed or checked (a disabled one 0).
  int ButtonState(int Index, const TBBUTTON& Button) const;

 private:
  void PrepareCache();
  void PaintBar(TMessage& Message);
  // WM_PRINT: the frame from the cache and the client area as painted, where it lies.
  void PrintBar(TMessage& Message);
  void PaintFrame();
  void PaintButton(int Index, const TRect& R, TBitmap* Bar);
  // Beside: one line at the right of the image (a list bar), else centred under it in up to two
  // lines.
  void PaintButtonText(TBitmap* Bmp, const std::string& Text, TRect R, int State, bool Enabled, bool Beside);
  // Where a list bar's button image starts (and the gap between image and text).
  int ListImageLeft() const;
  // The button under a client point; -1 for none (separators and hidden buttons do not count).
  int ButtonAt(TPoint P) const;
  void TrackHot(const TMessage& Message);
  void InvalidateButton(int Index);
  bool ParentUpdating();
};

// The class library's tool bar: its two custom-draw events paint the bar and the buttons from the
// skin; the adapter tracks the hot button itself. The program's own handlers of the two events run
// while the bar is not skinned and are given back when the adapter leaves.
class TacToolBarVCLWnd : public TacMainWnd {
 public:
  QV_CLASS_NAME(TacToolBarVCLWnd)
  TacToolBarVCLWnd(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const std::string& SkinSection,
                   bool Repaint = true);
  void AfterConstruction() override;
  void BeforeDestruction() override;
  void HandleMessage(TMessage& Message) override;

  TToolBar* ToolBar = nullptr;
  TToolButton* DroppedButton = nullptr;
  int HotIndex = -1;

  // The two handlers installed on the tool bar.
  void BarCustomDraw(TToolBar* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw);
  void ButtonCustomDraw(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, TCustomDrawStage Stage,
                        TTBCustomDrawFlags& Flags, bool& DefaultDraw);
  // Paints one button at once (over the bar's cache).
  void RepaintButton(int Index);

 protected:
  // The window goes: the two events get the program's handlers back at once.
  void DetachOnDestroy() override;

 private:
  void PrepareCache();
  void PaintFrame(HDC DC);
  void PrintBar(TMessage& Message);
  void Notified(TMessage& Message);
  void TrackHot(TPoint P);
  void ReleaseHandlers();
  // The client area's place in the window.
  TPoint ClientOffset() const;
  TTBAdvancedCustomDrawEvent SavedBarDraw_;
  TTBAdvancedCustomDrawBtnEvent SavedButtonDraw_;
  bool HandlersInstalled_ = false;
};

// ---- Status bar --------------------------------------------------------------------------------

// A status bar (its section normally "STATUSBAR"): the bar, each panel framed by the section's
// "STATUSPANELMASK" or followed by the "DIVIDER" section, the panel icons and texts (read whole from
// the window) in the section's colours cut to their panels, owner-drawn panels drawn by their owner
// into the cache, and the size grip, painted into the cache and copied in one step.
class TacStatusBarWnd : public TacMainWnd {
 public:
  QV_CLASS_NAME(TacStatusBarWnd)
  TacStatusBarWnd(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const std::string& SkinSection,
                  bool Repaint = true);
  void HandleMessage(TMessage& Message) override;

  // The class library's status bar the adapter stands for, nullptr for a bare window.
  TStatusBar* StatusBar = nullptr;

  // The text of a part as the window holds it (its length asked first), and its drawing type
  // (SBT_OWNERDRAW, SBT_NOBORDERS ...); for an owner-drawn part Data is its value.
  std::string PartText(int Index, UINT* Type = nullptr, LPARAM* Data = nullptr) const;
  // The text of the simple part, as the window answers for it.
  std::string SimpleText(UINT* Type = nullptr, LPARAM* Data = nullptr) const;
  // The bar painted into the DC (client coordinates) from the cache, rebuilt when stale.
  void PaintBar(HDC DC);

 private:
  void PrepareCache();
  void PaintPanel(int Index, const TRect& R, bool Simple, bool Last);
  void PaintDivider(const TRect& R);
  void PaintSizeGrip();
  void PaintFrame(HDC DC);
  TPoint ClientOffset() const;
};
