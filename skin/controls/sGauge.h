// The skinned gauge: a graphic control (no window of its own) that shows a value between MinValue
// and MaxValue as a percentage text, a horizontal or vertical bar, a pie or a needle. Without a
// skin it draws itself in BackColor and ForeColor, the percentage inverting the colours under it;
// with a skin its section "GAUGE" is the background and the bars are painted from the progress
// sections ("PROGRESSH", "PROGRESSV" or ProgressSkin).
#pragma once

#include "classlib/Win.h"

#include <cstdint>
#include <string>

#include "classlib/StdCtrls.h"
#include "skin/controls/sCommonFrame.h"

enum TsGaugeKind : std::uint8_t { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };

class TsGauge : public TacSkinnedControl<TGraphicControl> {
 public:
  QV_CLASS_NAME(TsGauge)
  explicit TsGauge(TComponent* AOwner);

  // ---- published
  TsGaugeKind Kind() const { return FKind; }
  void SetKind(TsGaugeKind Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  TColor BackColor() const { return FBackColor; }
  void SetBackColor(TColor Value);
  TColor ForeColor() const { return FForeColor; }
  void SetForeColor(TColor Value);
  // Outside the other bound (not while loading): EInvalidOperation naming the values allowed.
  int MinValue() const { return FMinValue; }
  void SetMinValue(int Value);
  int MaxValue() const { return FMaxValue; }
  void SetMaxValue(int Value);
  // Always within MinValue .. MaxValue; a value outside is taken to the nearer bound.
  int Progress() const { return FProgress; }
  void SetProgress(int Value);
  const std::string& ProgressSkin() const { return FProgressSkin; }
  void SetProgressSkin(const std::string& Value);
  bool ShowText() const { return FShowText; }
  void SetShowText(bool Value);
  const std::string& Suffix() const { return FSuffix; }
  void SetSuffix(const std::string& Value);
  // Fired for every change of Progress.
  TNotifyEvent OnChange;
  TNotifyEvent GetOnChange() const { return OnChange; }
  void SetOnChange(TNotifyEvent Value) { OnChange = Value; }

  // Progress as a whole percentage of the range (0 when the range is empty).
  int PercentDone() const;
  // The progress section the bar of the present kind is painted in (empty for kinds without a bar).
  std::string BarSection() const;

 protected:
  void Paint() override;

 private:
  void PaintPlain();
  void PaintSkinned();
  // The kind's picture on a canvas: the plain look draws it on black for the inverting copy.
  void DrawPie(TCanvas* Canvas, const TRect& R, int Percent);
  // The skinned pie's text: in the section's text colours beside the pie, and over each of the
  // pie's two colours in whichever of the section's text colour, black and white stands out on it.
  void DrawPieText(TCanvas* Canvas, const TRect& R, int Percent, const std::string& Text);
  void DrawNeedle(TCanvas* Canvas, const TRect& R, int Percent);
  void PaintSkinnedBar(TBitmap* Cache, int Percent);
  // The area inside the plain frame.
  TRect PlainArea() const;

  TsGaugeKind FKind = gkHorizontalBar;
  TBorderStyle FBorderStyle = bsSingle;
  TColor FBackColor = TColor(0xFFFFFF);
  TColor FForeColor = TColor(0);
  int FMinValue = 0;
  int FMaxValue = 100;
  int FProgress = 47;
  std::string FProgressSkin;
  bool FShowText = true;
  std::string FSuffix = "%";
};
