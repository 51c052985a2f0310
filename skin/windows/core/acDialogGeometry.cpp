#include "skin/windows/core/acDialogGeometry.h"

namespace qv {

TacFrameKind DialogFrameKind(std::uint32_t style) {
  if ((style & dsModalFrame) != 0 && (style & wsThickFrame) == 0) return fkModal;
  if ((style & wsPopup) != 0 && (style & wsCaption) != wsCaption) return fkFrameless;
  return fkSizeable;
}

TDialogFrame DialogFrameOf(TacFrameKind kind, std::uint32_t style, const TDialogMetrics& metrics) {
  TDialogFrame f;
  switch (kind) {
    case fkModal:
    case fkUnknown:
      f.BorderX = metrics.DlgFrameX;
      f.BorderY = metrics.DlgFrameY;
      break;
    case fkFrameless: return f;
    default:
      f.BorderX = metrics.FrameX;
      f.BorderY = metrics.FrameY;
      break;
  }
  if ((style & wsCaption) == wsCaption) f.Caption = metrics.Caption;
  return f;
}

std::string LowerClassName(std::string_view name) {
  std::string s(name);
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

namespace {

constexpr std::uint32_t kButtonTypeMask = 0xF;   // BS_TYPEMASK
constexpr std::uint32_t kStaticTypeMask = 0x1F;  // SS_TYPEMASK

constexpr std::uint32_t kPushLike = 0x1000;  // BS_PUSHLIKE
constexpr std::uint32_t kImage = 0xC0;       // BS_ICON, BS_BITMAP

TacDialogChildChoice ButtonChoice(std::uint32_t style) {
  using K = TacDialogChildKind;
  switch (style & kButtonTypeMask) {
    case 0x7: return {K::GroupBox, "GROUPBOX"};  // BS_GROUPBOX
    case 0x2:                                    // BS_CHECKBOX
    case 0x3:                                    // BS_AUTOCHECKBOX
    case 0x5:                                    // BS_3STATE
    case 0x6:                                    // BS_AUTO3STATE
    case 0x4:                                    // BS_RADIOBUTTON
    case 0x9:                                    // BS_AUTORADIOBUTTON
      // A push-like one looks like a push button, pressed while checked.
      return (style & kPushLike) ? TacDialogChildChoice{K::Button, "BUTTON"}
                                 : TacDialogChildChoice{K::CheckBox, "CHECKBOX"};
    case 0xB: return {};  // BS_OWNERDRAW: the owner draws it
    case 0x0:             // BS_PUSHBUTTON
    case 0x1:             // BS_DEFPUSHBUTTON
      if (style & kImage) return {K::ImageButton, "BUTTON"};
      return {K::Button, "BUTTON"};
    default: return {K::Button, "BUTTON"};  // split buttons, command links
  }
}

TacDialogChildChoice StaticChoice(std::uint32_t style) {
  using K = TacDialogChildKind;
  switch (style & kStaticTypeMask) {
    case 0x3:                                 // SS_ICON
    case 0xE: return {K::Icon, "CHECKBOX"};   // SS_BITMAP
    case 0x5:                                 // SS_GRAYRECT
    case 0x6:                                 // SS_WHITERECT
    case 0xB:                                 // SS_SIMPLE
    case 0xD:                                 // SS_OWNERDRAW
    case 0xF: return {};                      // SS_ENHMETAFILE
    default: return {K::Static, "CHECKBOX"};  // texts, and frames, rectangles and etched lines
  }
}

}  // namespace

TacDialogChildChoice DialogChildAdapter(std::string_view cls, std::uint32_t style, int width, int height) {
  using K = TacDialogChildKind;
  if (cls == "static") return StaticChoice(style);
  if (cls == "button") return ButtonChoice(style);
  if (cls == "#32770") return {K::TransPanel, "CHECKBOX"};
  if (cls == "tpanel" || cls == "tsilentpaintpanel") return {K::DlgPanel, "PANEL"};
  if (cls == "combobox") return {K::ComboBox, "COMBOBOX", true};
  if (cls == "comboboxex32") return {K::ComboBox, "COMBOBOX"};
  if (cls == "combolbox") return {K::ComboList, "COMBOBOX"};
  if (cls == "scrollbar") return {K::Sizer, "CHECKBOX"};
  // The one tab control that cannot be shown skinned: the dialog stays as it is.
  if (cls == "systabcontrol32")
    return width == 470 && height == 349 ? TacDialogChildChoice{K::Refuse} : TacDialogChildChoice{};
  if (cls == "syslistview32") return {K::ListView, "EDIT", true};
  if (cls == "msctls_updown32") return {K::Spin, "SPEEDBUTTON_SMALL"};
  if (cls == "listbox" || cls == "edit") return {K::Edit, "EDIT", true};
  if (cls == "systreeview32") return {K::TreeView, "EDIT", true};
  if (cls == "link window" || cls == "syslink") return {K::Link, "CHECKBOX"};
  if (cls == "toolbarwindow32") return {K::ToolBar, (style & 0x800) != 0 ? "BAR" : "CHECKBOX"};  // TBSTYLE_FLAT
  if (cls.find("shbrowseforfolder") != std::string_view::npos) return {K::TransPanel, "CHECKBOX"};
  return {};
}

TDialogButtonLayout LayoutDialogButtons(int windowWidth, const TDialogFrame& frame, std::uint32_t style,
                                        std::uint32_t exStyle, const TSize (&sizes)[dbCount]) {
  TDialogButtonLayout l;
  l.Shown[dbClose] = (style & wsSysMenu) != 0;
  l.Shown[dbMax] = (style & wsMaximizeBox) != 0;
  l.Shown[dbMin] = (style & wsMinimizeBox) != 0;
  l.Shown[dbHelp] = (exStyle & wsExContextHelp) != 0;
  int right = windowWidth - frame.BorderX;
  for (int i = 0; i < dbCount; ++i) {
    if (!l.Shown[i]) continue;
    l.Rects[i] = PlaceTitleButton(right, sizes[i].cx, sizes[i].cy, frame.Caption, frame.BorderY);
    right = l.Rects[i].Left;
  }
  l.Left = right;
  return l;
}

}  // namespace qv
