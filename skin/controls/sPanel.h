// The skinned panel and the drag bar.
//
// TsPanel paints its section ("PANEL") over the parent's image into its cache bitmap, writes its
// caption there and lets OnPaint draw on the cache, so the program's drawing lies under the child
// controls and survives repaints without another call. The window gets the cache less its child
// windows, with the graphic children painted over it. Without a skin it is the class library's
// panel, with OnPaint drawing on its canvas after the plain look.
//
// TsDragBar is a caption-coloured panel (section "DRAGBAR") that moves a control, by default its
// form, when it is dragged with the left button. It follows the application's activation with
// the caption colours of the system.
#pragma once

#include "classlib/Win.h"

#include "classlib/ExtCtrlsPanels.h"
#include "classlib/Forms.h"
#include "skin/controls/sCommonFrame.h"

using TPaintEvent = TMethod<void(TObject* Sender, TCanvas* Canvas)>;

class TsPanel : public TacSkinnedControl<TPanel> {
 public:
  QV_CLASS_NAME(TsPanel)
  explicit TsPanel(TComponent* AOwner);

  // ---- published
  TPaintEvent OnPaint;
  TPaintEvent GetOnPaint() const { return OnPaint; }
  void SetOnPaint(TPaintEvent Value) { OnPaint = Value; }

  void WndProc(TMessage& Message) override;

  // ---- virtual operations, in slot order
  // Copies the cache to DC (the panel canvas's DC when 0) without the child windows, paints the
  // graphic children over it and, with SendUpdated, tells the child controls to repaint.
  virtual void PaintSkin(HDC DC, bool SendUpdated);
  // Draws the caption into R of the cache.
  virtual void WriteCaption(TRect R);

  // Builds the whole look in the cache bitmap.
  void PrepareCache();

 protected:
  void PaintWindow(HDC DC) override;
  void Paint() override;

  bool PassesSkinCommandsOn() const override { return true; }
  void AfterSkinChange(int Command) override;
  void RepaintAfterUpdate() override;
  bool SkinnedMessage(TMessage& Message) override;
  void AfterInherited(TMessage& Message) override;

  // The section fills the whole panel, its border mask's centre too (the drag bar).
  bool FFillSection = false;

 private:
  // The unskinned messages the panel ends itself; true when it did.
  bool PlainPanelMessage(TMessage& Message);
  void PaintMessage(TMessage& Message);
  void PrintMessage(TMessage& Message);
  TRect CaptionArea() const;
};

class TsDragBar : public TsPanel {
 public:
  QV_CLASS_NAME(TsDragBar)
  explicit TsDragBar(TComponent* AOwner);
  ~TsDragBar() override;

  // ---- published
  // The control a drag moves (nullptr: the bar's form).
  TControl* DraggedControl() const { return FDraggedControl; }
  void SetDraggedControl(TControl* Value);

  // The control a drag moves now.
  TControl* DragTarget();
  void ReadState(TReader& Reader) override;
  void WndProc(TMessage& Message) override;

 protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  // The application became active or inactive: the bar shows the caption colours for it.
  void ActivateApp(bool Active);
  bool ApplicationHook(TMessage& Message);

  TControl* FDraggedControl = nullptr;
};
