// Bitmaps, colours, border masks and geometry for the skin painters.
//
// Thin Windows wrappers: each routine turns the class library's 24-bit TBitmap into a pixel view
// and calls the portable kernels (skin/engine/core/acPixelKernels.h, acMaskPaint.h). Bitmaps that
// are not 24-bit, empty rectangles and missing masks paint nothing. Every routine releases only
// the handles it obtained itself.
#pragma once

#include "classlib/Win.h"

#include <string>
#include <vector>

#include "classlib/Buttons.h"
#include "classlib/Controls.h"
#include "classlib/Forms.h"
#include "classlib/GdiScopes.h"
#include "classlib/Graphics.h"
#include "classlib/ImgList.h"
#include "classlib/StdCtrls.h"
#include "classlib/core/TypInfo.h"
#include "skin/engine/core/acImage.h"
#include "skin/engine/core/acMaskPaint.h"
#include "skin/engine/core/acPaintUtils.h"
#include "skin/engine/core/acPixelKernels.h"
#include "skin/engine/core/acSkinModel.h"

class TsSkinManager;
class TsCommonData;
struct TsCacheInfo;

// The disabled looks of a control and of a glyph.
enum TsDisabledKindItem : std::uint8_t { dkBlended, dkGrayed };
using TsDisabledKind = TSet<TsDisabledKindItem>;
enum TsDisabledGlyphKindItem : std::uint8_t { dgBlended, dgGrayed };
using TsDisabledGlyphKind = TSet<TsDisabledGlyphKindItem>;

// Geometry and string helpers (portable; see acPaintUtils.h).
using qv::ChooseInt;
using qv::DeleteChars;
using qv::ExtractWord;
using qv::InsertThousandSeparators;
using qv::IntMax;
using qv::IsInRange;
using qv::LimitToRange;
using qv::MakeRect;
using qv::RectHeight;
using qv::RectInsideRect;
using qv::RectWidth;
using qv::RepeatChar;
using qv::ReplaceAllStr;
using qv::TrimSpaces;
using qv::TryParseFloat;

// ---- Pixel views ------------------------------------------------------------------------------

// The pixels of a 24-bit bitmap (an empty view for nullptr, empty or other formats).
qv::TImageView BmpView(TBitmap* bmp);
// A parent's cache record as the kernels take it (not ready when it has no 24-bit image).
qv::TCacheView CacheView(const TsCacheInfo& ci);
qv::TCacheView CacheViewAt(const TsCacheInfo& ci, int dx, int dy);
// A skin mask of the manager's loaded skin with its effective margins; Image empty when the
// mask index or its image is not valid.
qv::TMaskFrames MaskFramesOf(TsSkinManager* manager, int maskIndex);
qv::TMaskFrames MaskFramesOf(const qv::TSkinModel& model, const qv::TsMaskData& mask);

// ---- Bitmaps and colours ----------------------------------------------------------------------
// A new 24-bit DIB bitmap; the caller frees it.
TBitmap* CreateBmp24(int width, int height);
TBitmap* CreateBmpLike(TBitmap* bmp);
void FillRectColor(HDC dc, const TRect& r, TColor color);
// Fills R of a 24-bit bitmap with a colour straight in its pixels (clipped).
void FillBmpRect(TBitmap* bmp, const TRect& r, TColor color);

void GrayscaleBmp(TBitmap* bmp);
void GrayscaleBmpKeyed(TBitmap* bmp, TColor key);
// Dst = Dst * Amount / 255 + Src * (255 - Amount) / 255 (Amount limited to 0..255).
void BlendBitmaps(TBitmap* dst, TBitmap* src, int amount);
// Dst = A * Amount / 255 + B * (255 - Amount) / 255 in one pass (a fade frame from its start and
// target images); over the common area of the three.
void BlendBitmapsInto(TBitmap* dst, TBitmap* a, TBitmap* b, int amount);
void BlendBitmapRect(TBitmap* dst, TBitmap* src, int opacity, const TRect& srcRect, TPoint dstPoint);
// Dst = Src - (Src - Dst) * K over SrcRect of Src laid at (X, Y); Src pixels of KeyColor are
// skipped (clNone or a colour whose high byte is 0xFF: no key).
void BlendRectKeyed(TBitmap* dst, int x, int y, TBitmap* src, const TRect& srcRect, double k, TColor keyColor);
void BlendColorRect(TBitmap* bmp, const TRect& r, int percent, TColor color, bool blur = false, int radius = 0);
void CopyTransparent(TBitmap* dst, TBitmap* src, int x, int y, TColor keyColor);
void CopyTransparentRect(TBitmap* dst, TBitmap* src, int x, int y, const TRect& srcRect, TColor keyColor,
                         const TsCacheInfo& ci, bool useCache);
void CopyByMask(const TRect& dstRect, const TRect& srcRect, TBitmap* dst, TBitmap* src, const TsCacheInfo& ci,
                bool fillFromCache);
// Image Index of the list into Bmp (sized to the list's images, filled with its background
// colour, 0xFF00FF when it has none). false when the index is out of range.
bool ImageListItemToBmp(TBitmap* bmp, TCustomImageList* imageList, int index);

TColor MakeColorKey(TColor color);
// Per colour byte Round(C2 + (C1 - C2) * K), the high byte kept from C1 (system colours are
// taken as the colours they stand for).
TColor MixColors(TColor c1, TColor c2, double k);
TColor AverageColor(TColor c1, TColor c2);
std::uint8_t ClampToByte(int value);

// ---- Border masks -------------------------------------------------------------------------------

void PaintMaskRect(TBitmap* bmp, const TRect& r, bool filling, const TsCacheInfo& ci, const qv::TsMaskData& mask,
                   int state, bool useCache, TsSkinManager* manager = nullptr);
// The same by mask index (nothing for an index that is not valid).
void PaintMaskRectByIndex(TBitmap* bmp, const TRect& r, bool filling, const TsCacheInfo& ci, int maskIndex, int state,
                          bool useCache, TsSkinManager* manager = nullptr);
void PaintMaskImage(TBitmap* bmp, TPoint point, int state, int mode, const qv::TsMaskData& mask,
                    TsSkinManager* manager = nullptr);
void PaintMaskImageByIndex(TBitmap* bmp, TPoint point, int state, int mode, int maskIndex,
                           TsSkinManager* manager = nullptr);
// Paints the mask over the whole bitmap and cuts its transparent pixels out of Rgn (a region
// the caller owns; nothing is cut when Rgn is 0 or 1).
void PaintMaskRegion(TBitmap* bmp, HRGN rgn, bool filling, const qv::TsMaskData& mask, int state,
                     TsSkinManager* manager = nullptr);
void CollectCornerRects(std::vector<TRect>& rects, int width, const qv::TsMaskData& mask, bool bottom, int y,
                        TsSkinManager* manager = nullptr);

// Repaints the corners (bits 1 top-left, 2 top-right, 4 bottom-left, 8 bottom-right) of a
// control's cache from its border mask over the parent's background.
void RepaintCacheCorners(TsCommonData* skinData, int state, int corners);
void RepaintAllCacheCorners(TsCommonData* skinData, int state);
// The same for a part of the cache painted as an item of its own (the corners are the part's).
void RepaintCacheCornersIn(TsCommonData* skinData, int state, int corners, const TRect& part);

// ---- Children and copies ------------------------------------------------------------------------

void PaintGraphicChildren(HDC dc, TWinControl* winControl, TPoint offset);
void CopyCacheExcludingChildren(TWinControl* parent, TsCommonData* skinData, TPoint srcPos, const TRect& r, HDC dc,
                                bool fixCorners, int dx, int dy);
void CopyCacheExcludingChildWnds(HWND wnd, TsCommonData* skinData, const TRect& srcRect, const TRect& r, HDC dc,
                                 bool fixCorners, int dx, int dy);

// ---- Looks --------------------------------------------------------------------------------------

void ApplyDisabledLook(TBitmap* bmp, TsDisabledKind kind, TWinControl* parent, const TsCacheInfo& ci, TPoint offset);
void PaintGlyphFrame(TBitmap* glyph, TBitmap* bmp, const TRect& r, int numGlyphs, bool enabled, bool grayed,
                     TsDisabledGlyphKind disabledKind, int state, int blend, bool down);
void PaintFrame3D(HDC dc, TRect& r, TColor topLeftColor, TColor bottomRightColor, int& width);
void BitBltBorder(HDC dc, int x, int y, int w, int h, HDC srcDC, int sx, int sy, int border);
void DrawFocusDots(TCanvas* canvas, const TRect& r);
void CalcGlyphTextLayout(const TRect& client, TSize glyphSize, TSize textSize, TButtonLayout layout,
                         TAlignment alignment, int margin, int spacing, TPoint& glyphPos, TRect& textBounds,
                         UINT biDiFlags);

// ---- Forms and utilities ------------------------------------------------------------------------

int AlignedChildrenSize(TWinControl* winControl, TAlign align, bool withGraphic);
// The first form in the chain Component, its owner, the owner's owner ...; nullptr when none.
TCustomForm* GetOwnerForm(TComponent* component);
bool GetDesktopWorkArea(TRect& r);
void ShowWarning(const std::string& text);
