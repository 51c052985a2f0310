// The panel: a container with raised or lowered bevels, a border and a caption.
#pragma once

#include "classlib/Win.h"

#include "classlib/ControlEnums.h"
#include "classlib/Controls.h"

using TBevelWidth = int;

class TCustomPanel : public TCustomControl {
 public:
  QV_CLASS_NAME(TCustomPanel)
  explicit TCustomPanel(TComponent* AOwner);
  TAlignment Alignment() const { return Alignment_; }
  void SetAlignment(TAlignment v);
  TBevelCut BevelInner() const { return BevelInner_; }
  void SetBevelInner(TBevelCut v);
  TBevelCut BevelOuter() const { return BevelOuter_; }
  void SetBevelOuter(TBevelCut v);
  TBevelWidth BevelWidth() const { return BevelWidth_; }
  void SetBevelWidth(TBevelWidth v);
  TBorderStyle BorderStyle() const { return BorderStyle_; }
  void SetBorderStyle(TBorderStyle v);
  bool FullRepaint() const { return FullRepaint_; }
  void SetFullRepaint(bool v) { FullRepaint_ = v; }
  void AdjustClientRect(TRect& Rect) override;
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  TAlignment Alignment_ = taCenter;
  TBevelCut BevelInner_ = bvNone;
  TBevelCut BevelOuter_ = bvRaised;
  TBevelWidth BevelWidth_ = 1;
  TBorderStyle BorderStyle_ = bsNone;
  bool FullRepaint_ = true;
};

class TPanel : public TCustomPanel {
 public:
  QV_CLASS_NAME(TPanel)
  using TCustomPanel::TCustomPanel;
};

// Draws a 3-D frame of the given width inside Rect and shrinks Rect by it.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);
