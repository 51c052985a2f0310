// The skinned single-line edit, and the painting steps the skinned edits share.
//
// A skinned edit paints its frame (the border bands of its cache bitmap) on WM_NCPAINT and takes
// its colours from the section "EDIT": COLOR and FONTCOLOR when idle, HOTCOLOR and HOTFONTCOLOR
// while focused or under the mouse (unless the skin data says the program owns them). The
// enabled edit leaves its text to the native window; a disabled one is painted whole from the
// cache, text included (a password edit shows only its password characters). A bound label
// follows the edit.
#pragma once

#include "classlib/Win.h"

#include <optional>

#include "classlib/GdiScopes.h"
#include "classlib/StdCtrls.h"
#include "skin/controls/sCommonFrame.h"

// ---- Painting steps of the skinned edits ------------------------------------------------------------

// The window painted from the cache: BeginPaint only for WM_PAINT (InPaint), the window's DC when
// DC is 0; nothing while updating; the cache rebuilt by Prepare when it must be (BGChanged, or
// the edit or its parent partly hidden), the corners of its frame renewed (Corners: it has one)
// and the whole of it copied at 0, 0.
template <class TPrepare>
void PaintEditFromCache(TWinControl* Control, TsCommonData* SkinData, HDC DC, bool InPaint, bool Corners,
                        TPrepare&& Prepare) {
  std::optional<PaintScope> paint;
  if (InPaint) paint.emplace(Control->Handle());
  const WindowDC dc(Control->Handle(), DC);
  if (!dc) return;
  const SavedDC saved(dc);
  if (RefreshUpdating(SkinData)) return;
  NotePartlyHidden(Control, SkinData);
  if (SkinData->BGChanged) Prepare();
  if (Corners) RepaintAllCacheCorners(SkinData, 0);
  if (TBitmap* cache = SkinData->CacheBmp; cache && !cache->Empty()) {
    const BitmapDC src(cache);
    BitBlt(dc, 0, 0, cache->Width(), cache->Height(), src, 0, 0, SRCCOPY);
  }
}

// The frame: the border bands of the cache, Border pixels wide, onto DC (the window's DC when 0);
// the cache rebuilt first by Prepare when BGChanged.
template <class TPrepare>
void PaintEditFrame(TWinControl* Control, TsCommonData* SkinData, HDC DC, int Border, TPrepare&& Prepare) {
  const WindowDC dc(Control->Handle(), DC);
  if (!dc) return;
  const SavedDC saved(dc);
  if (SkinData->BGChanged) Prepare();
  RepaintAllCacheCorners(SkinData, 0);
  if (TBitmap* cache = SkinData->CacheBmp; cache && !cache->Empty()) {
    const BitmapDC src(cache);
    BitBltBorder(dc, 0, 0, Control->Width(), Control->Height(), src, 0, 0, Border);
  }
}

// Colour and font colour from the section while the program does not own them: the hot ones
// while Hot. Each is set only when it differs.
void ApplySectionColors(TControl* Control, TsCommonData* SkinData, bool Hot);

// ---- TsEdit -------------------------------------------------------------------------------------------

class TsEdit : public TacSkinnedControl<TEdit> {
 public:
  QV_CLASS_NAME(TsEdit)
  explicit TsEdit(TComponent* AOwner);
  ~TsEdit() override;

  // ---- published (Align: the base's)
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind Value);
  TsBoundLabel* BoundLabel() const { return FBoundLabel; }

  // Border pixels of the frame: 1 + 1 with Ctl3D for bsSingle, 0 for bsNone. For the frame
  // painted on WM_NCPAINT a width of 0 becomes the number of bevels that are not bvNone.
  int FrameWidth(bool ForNCPaint) const;
  // The bevels that are not bvNone, counted when BevelKind is not bkNone.
  int BevelWidth() const;

  // Frame, background and text into the cache bitmap.
  void PrepareCache();
  // The text (or its password characters) onto the cache.
  virtual void PaintText();
  void WndProc(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override { TEdit::CreateParams(Params); }

  bool ReadyAndSkinned() const override { return FrameSkinned(this, FSkinData, false); }
  bool AnswerAnyState(TMessage& Message) override;
  void AfterSkinChange(int Command) override;
  void RepaintAfterUpdate() override;
  bool SkinnedMessage(TMessage& Message) override;
  void AfterInherited(TMessage& Message) override;

  // The paint handler: the whole look from the cache onto DC (the window's DC when 0).
  void PaintHandler(HDC DC, bool InPaint);
  // The frame on WM_NCPAINT.
  void PaintFrame();

 private:
  void PrintMessage(TMessage& Message);
  void PaintMessage(TMessage& Message);
  // The focus went: neither focused nor hovered, the look renewed.
  void FocusLost();

  TsDisabledKind FDisabledKind{dkBlended};
  TsBoundLabel* FBoundLabel = nullptr;
};
