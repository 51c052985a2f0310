// The small types controls of several units share (alignment, borders, bevels, owner-draw
// states, reading order), so that a unit needing one of them need not include another's header.
#pragma once

#include "classlib/Win.h"

#include <cstdint>

#include "classlib/core/Sets.h"

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
using TLeftRight = TAlignment;
// DT_ flag of a horizontal alignment.
UINT AlignmentDrawFlags(TAlignment a);
enum TTextLayout : std::uint8_t { tlTop, tlCenter, tlBottom };
enum TBiDiMode : std::uint8_t { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

enum TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
// bsNone or bsSingle of the form border styles.
using TBorderStyle = TFormBorderStyle;
enum TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TEditCharCase : std::uint8_t { ecNormal, ecUpperCase, ecLowerCase };
enum TEllipsisPosition : std::uint8_t { epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis };
enum TBevelCut : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
enum TBevelKind : std::uint8_t { bkNone, bkTile, bkSoft, bkFlat };

enum TOwnerDrawStateItem : std::uint8_t {
  odSelected,
  odGrayed,
  odDisabled,
  odChecked,
  odFocused,
  odDefault,
  odHotLight,
  odInactive,
  odNoAccel,
  odNoFocusRect,
  odReserved1,
  odReserved2,
  odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;
// The ODS_ bits of a draw-item record as a set (their bit positions match the set's elements).
inline TOwnerDrawState OwnerDrawStateFromODS(UINT ods) {
  return TOwnerDrawState::FromBits(static_cast<TOwnerDrawState::Bits>(ods & 0x1FFF));
}
