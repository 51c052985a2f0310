// Adapters of tab windows: a standard tab control ("SysTabControl32"), the class library's page
// control (a tab control whose pages are child windows) and each page of it. The tab control is
// painted in two layers: the body and the inactive tabs go into the cache, which is copied to the
// window with the active tab's area left out; the active tab, larger, is then painted over it, with
// the focus mark while the control has the focus. Buttons (TCS_BUTTONS) have no body: what lies behind
// the control shows round them. Part of the window adapters (include skin/windows/acSBUtils.h).
#pragma once

#include "skin/windows/acSBUtils.h"

class TacSpinWnd;

class TacTabControlWnd : public TacMainWnd {
 public:
  QV_CLASS_NAME(TacTabControlWnd)
  using TacMainWnd::TacMainWnd;
  void BeforeDestruction() override;
  void HandleMessage(TMessage& Message) override;

  // The area the pages take (window coordinates).
  virtual void DisplayRect(TRect& R);
  // The body: the whole window less the tab row.
  void BodyRect(TRect& R);
  // The tab row: the whole window less the body.
  void TabRowRect(TRect& R);
  // A tab's rectangle as painted (the active one larger, over the body's edge); empty for an index
  // outside the tabs or while no tab is active.
  void TabRect(int Index, bool Active, TRect& R);
  // The row a tab lies in, 1 for the row next to the body.
  int TabRow(int Index);
  // 0 top, 1 bottom, 2 left, 3 right.
  int TabPosition() const;
  // 0 tabs, 1 buttons, 2 flat buttons.
  int TabStyle() const;
  // The adapter of the up-down arrows the tab row shows when its tabs do not fit (section
  // "UPDOWNBTN") follows the window's up-down: made once for it, kept while it lives, freed when
  // it goes or while no skin is on.
  void UpdateSpin();

  TacSpinWnd* SpinWnd = nullptr;
  // The inactive tab under the pointer (painted hot), -1 when none.
  int HotTab = -1;

 protected:
  bool PassesSkinCommandsOn() const override { return true; }
  // QC_ISSKINNED and QC_GETSKINMANAGER (the manager the pages are painted with), in any state.
  bool AnswerAnyState(TMessage& Message) override;
  // The skin coming shows at once, pages included; the tab row's arrows follow the skin.
  void AfterSkinChange(int Command) override;
  // The image made first when it is stale: the pages may paint before the control.
  void AnswerChildCache() override;
  // Busy only while updating (the image is made anew at every paint).
  bool Busy() const override;
  // The control and what lies on its pages are painted again.
  bool RepaintAfterUpdate() override;
  // The whole control painted into the DC (client coordinates; 0: the window's own DC).
  void PaintTabControl(HDC DC);
  // The tab row's background, the inactive tabs and the body into the cache; false without a manager.
  bool PrepareTabCache();

 private:
  int TabCount() const;
  int CurrentTab() const;
  // One tab in State (0 normal, 2 active) into Bmp, whose top-left lies at Origin in the cache.
  void PaintTab(int Index, int State, TBitmap* Bmp, TPoint Origin);
  void PaintTabContent(int Index, int State, TBitmap* Bmp, TRect R, int Section);
  // The tab with the keyboard focus while the control has it and shows focus marks; -1 when none.
  int FocusedTab() const;
  // The focus mark inside a tab's item, into Bmp, whose top-left lies at Origin in the window.
  void DrawFocus(int Index, TBitmap* Bmp, TPoint Origin);
  // The tab under the pointer follows its moves; it is painted again when it changes.
  void TrackHotTab(const TMessage& Message);
  HWND SpinHandle_ = nullptr;  // the up-down window SpinWnd stands for
};

class TacPageControlWnd : public TacTabControlWnd {
 public:
  QV_CLASS_NAME(TacPageControlWnd)
  using TacTabControlWnd::TacTabControlWnd;
  void BeforeDestruction() override;
  void HandleMessage(TMessage& Message) override;
  // The rectangle of the first page (a child window of the control other than its up-down).
  void DisplayRect(TRect& R) override;
  // Every page of the control gets an adapter of its own, once.
  void AttachPages();

  // The page adapters the control made (it frees them).
  TacAdapterList Pages;
};

// A page of a page control: its background is the control's image under it.
class TacPageWnd : public TacMainWnd {
 public:
  QV_CLASS_NAME(TacPageWnd)
  using TacMainWnd::TacMainWnd;
  void HandleMessage(TMessage& Message) override;

 protected:
  bool PassesSkinCommandsOn() const override { return true; }
  // QC_ISSKINNED, and QC_ISTRANSPARENT (a page always repaints with its control), in any state.
  bool AnswerAnyState(TMessage& Message) override;
  // The page painted again as the skin is refreshed or goes.
  void AfterSkinChange(int Command) override;
  // The control's image, with the page's place in it.
  void AnswerChildCache() override;
  // Busy only while updating.
  bool Busy() const override;
  // The page and what lies on it are painted again.
  bool RepaintAfterUpdate() override;

 private:
  void PaintPage(HDC DC);
};
