// Painting skin sections and their texts.
//
// A section's look in a state (0 normal, 1 hot, 2 pressed) is its background (COLOR or HOTCOLOR,
// the gradient of GRADIENTPERCENT, the PATTERN or HOTPATTERN image laid over by IMAGEPERCENT, the
// parent's image showing through by TRANSPARENCY or HOTTRANSPARENCY), its "BORDERSMASK" border
// (left out in state 0 when the mask is marked hot-only) and its corner images ("CORNERTOPLEFT",
// "CORNERTOPRIGHT", "CORNERBOTTOMLEFT", "CORNERBOTTOMRIGHT") at the corners of the rectangle.
// Offset is the place of the painted rectangle's top-left corner in the parent's cached image
// (CacheInfo), from which the transparent parts are taken; without a ready parent image they show
// the shared parent colour when it is set.
#pragma once

#include "classlib/Win.h"

#include <string>

#include "classlib/Controls.h"
#include "classlib/Graphics.h"
#include "classlib/StdCtrls.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sQuorvexGraph.h"

class TsSkinManager;

// ---- Sections -----------------------------------------------------------------------------------

// NormalImage / HotImage: mask indexes of the background images; -1: the section's own
// "PATTERN" / "HOTPATTERN". SkinManager nullptr: the default manager.
void PaintSectionItem(int skinIndex, const std::string& section, const TsCacheInfo& ci, bool filling, int state,
                      const TRect& r, TPoint offset, TBitmap* bmp, TsSkinManager* skinManager = nullptr,
                      int normalImage = -1, int hotImage = -1);
void PaintSectionItemByIndexes(int skinIndex, int maskIndex, int backgroundIndex, int hotBackgroundIndex,
                               const TsCacheInfo& ci, bool filling, int state, const TRect& r, TPoint offset,
                               TBitmap* bmp, TsSkinManager* skinManager = nullptr);
// Paints through a temporary bitmap that starts from what the DC shows under R.
void PaintSectionItemToDC(int skinIndex, const std::string& section, const TsCacheInfo& ci, bool filling, int state,
                          const TRect& r, TPoint offset, HDC dc, TsSkinManager* skinManager = nullptr);
// The background alone; FillColor other than clNone replaces the section's colour.
void PaintSectionBackground(int skinIndex, const std::string& section, const TsCacheInfo& ci, int state, const TRect& r,
                            TPoint offset, TBitmap* bmp, TsSkinManager* skinManager = nullptr, int normalImage = -1,
                            int hotImage = -1, TColor fillColor = clNone);

// A control's look from its own section and indexes: the shared parent colour asked of the parent
// first (UpdateParentColor), then background, border and corner images. UseCache: the border's transparent pixels
// take the parent's image (else they keep the background, for a later corner repaint).
void PaintControlItem(TsCommonData* skinData, const TsCacheInfo& ci, bool filling, int state, const TRect& r,
                      TPoint offset, TBitmap* bmp, bool useCache);
void PaintControlBackground(TsCommonData* skinData, const TsCacheInfo& ci, int state, const TRect& r, TPoint offset,
                            TBitmap* bmp);

// ---- Text ---------------------------------------------------------------------------------------

// Text in the section's font colours (hot or normal), its outline copies first; disabled text is
// mixed with the section's colour at 0.4. Flags are DrawText flags.
void DrawSectionText(TCanvas* canvas, const std::string& text, bool enabled, const TRect& r, UINT flags, int skinIndex,
                     bool hot, TsSkinManager* skinManager = nullptr);
// The same; with DT_CALCRECT in Flags R receives the measured rectangle and nothing is drawn.
void WriteSectionText(TCanvas* canvas, const std::string& text, bool enabled, TRect& r, UINT flags, int skinIndex,
                      bool hot, TsSkinManager* skinManager = nullptr);
// One line the caller laid out (its first character's cell at X, Y, clipped to Clip), written in
// the same colours as DrawSectionText: measured by the caller once, drawn once per colour.
void DrawSectionLine(TCanvas* canvas, const std::string& text, bool enabled, int X, int Y, const TRect& Clip,
                     int skinIndex, bool hot, TsSkinManager* skinManager = nullptr);
// The same for a control's own section; without a skin the canvas font colour (disabled: mixed
// with the control's colour at 0.4).
void DrawControlText(TCanvas* canvas, const std::string& text, bool enabled, const TRect& r, UINT flags,
                     TsCommonData* skinData, bool hot);
void WriteControlText(TCanvas* canvas, const std::string& text, bool enabled, TRect& r, UINT flags,
                      TsCommonData* skinData, bool hot);

// DrawText of a string (DT_CALCRECT measures into R).
int DrawTextStr(HDC dc, const std::string& text, TRect& r, UINT flags);
void TextExtentWithFont(TFont* font, const std::string& text, TSize& size);
// DT_LEFT, DT_RIGHT or DT_CENTER passed through the control's reading order.
UINT AlignmentDrawFlags(TControl* control, TAlignment alignment);
// Text, or shortened from the end with "..." until it fits; empty when MaxWidth is below 1 or even
// "..." does not fit.
std::string CutTextToWidth(TCanvas* canvas, const std::string& text, int maxWidth);
// Height of the system caption font in pixels; 0 on failure.
int GetCaptionFontHeight();

// The text colour a section gives (hot or normal, enabled or dimmed); clNone without a section.
TColor SectionTextColor(int skinIndex, bool enabled, bool hot, TsSkinManager* skinManager = nullptr);

// Fills SkinData's cache bitmap with the skinned look of a window (its section over the parent's
// image, or the global colour) while SkinData.BGChanged.
void PrepareWindowCache(TsCommonData* SkinData, HWND Wnd, bool UseGlobalColor);
