// Adapters of container windows and size grips: panels of the class library (TacPanelWnd),
// panel-like child windows of dialogs (TacDlgPanelWnd), transparent containers such as the child
// dialogs of property pages (TacTransPanelWnd) and size grips (TacSizerWnd). Each paints its window
// from the cache image of its section as it lies over the parent's image, leaving its child
// windows to paint themselves. Part of the window adapters (include skin/windows/acSBUtils.h).
#pragma once

#include "skin/windows/acSBUtils.h"

class TacPanelWnd : public TacMainWnd {
 public:
  QV_CLASS_NAME(TacPanelWnd)
  // A panel of the class library takes its section from its bevels and border: a lowered outer
  // bevel "PANEL_LOW", a raised one "PANEL" (either "GROUPBOX" with the opposite inner bevel), none
  // "PANEL_LOW" with a single border, else "CHECKBOX".
  TacPanelWnd(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const std::string& SkinSection,
              bool Repaint = true);
  void HandleMessage(TMessage& Message) override;
  // The section under the whole control, over the parent's image, into the cache.
  virtual void PaintPanel();

 protected:
  bool PassesSkinCommandsOn() const override { return AcceptsControls(); }
  // A container panel answers QC_ISSKINNED and its children's coming and going in any state.
  bool AnswerAnyState(TMessage& Message) override;
  // The skin going: the panel's section and opaque style dropped.
  void BeforeSkinChange(int Command) override;

 private:
  // The panel takes its skinned handling only while it holds controls.
  bool AcceptsControls() const;
  // The border band from the cache (made again first) onto DC (the window DC when 0).
  void FramePaint(HDC DC);
  // The inside from the cache onto DC (the window DC when 0), the children left out.
  void ClientPaint(HDC DC);
  // QC_SKINREMOVED: the panel shows as the class library draws it again.
  void SkinGone();
};

class TacDlgPanelWnd : public TacMainWnd {
 public:
  QV_CLASS_NAME(TacDlgPanelWnd)
  // Control: the control of the class library made for the window, if any; a panel takes the
  // section "CHECKBOX", other windows "GROUPBOX".
  TacDlgPanelWnd(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const std::string& SkinSection,
                 bool Repaint = true);
  void AfterConstruction() override;
  void HandleMessage(TMessage& Message) override;
  void StoreOriginalColors() override;
  void RestoreOriginalColors() override;
  // A panel of the class library shows the skin's global colour where it paints itself; the colour
  // the program gave it comes back when the adapter leaves (unless the program changed it since).
  void ApplySkinColors() override;
  // The section over the parent's image, into the cache.
  virtual void PaintDlgPanel();

  TWinControl* Control = nullptr;

 protected:
  bool PassesSkinCommandsOn() const override { return true; }
  // The skin coming: a panel of the class library takes its colour.
  void AfterSkinChange(int Command) override;

 private:
  bool IsPanel() const;
  int BorderWidth() const;
  void FramePaint(HDC DC);
  // The inside from the cache onto DC, a DC of the client area or (WindowCoords) of the window.
  void ClientPaint(HDC DC, bool WindowCoords);
  // WM_ERASEBKGND: the skin under everything, the window's own painting inside the frame band.
  void EraseAndPaint(TMessage& Message);
  TColor AppliedColor_ = clNone;  // the colour given to the panel while skinned; clNone: none given
};

class TacTransPanelWnd : public TacMainWnd {
 public:
  QV_CLASS_NAME(TacTransPanelWnd)
  using TacMainWnd::TacMainWnd;
  void HandleMessage(TMessage& Message) override;
  // The section over the parent's image, onto the window's DC, its child windows left out.
  virtual void PaintBackground();

 protected:
  bool PassesSkinCommandsOn() const override { return true; }
};

class TacSizerWnd : public TacMainWnd {
 public:
  QV_CLASS_NAME(TacSizerWnd)
  using TacMainWnd::TacMainWnd;
  void HandleMessage(TMessage& Message) override;
  // The window is a size box (any window but a scroll bar without SBS_SIZEBOX or SBS_SIZEGRIP).
  bool IsGrip() const;

 private:
  void SizerPaint();
  // A press on the grip goes to the grip as a press in its client area.
  void GripPressed(TMessage& Message);
};
