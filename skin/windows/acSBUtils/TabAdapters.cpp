// The tab adapters: a standard tab control and the class library's page control painted from the
// skin (the tab row over the parent's image, the body in its section by the tabs' side, inactive
// tabs in the cache, the active tab over the body's edge), and the pages of a page control showing
// the control's image under them.
#include "skin/windows/acSBUtils.h"

#include <algorithm>
#include <string>
#include <vector>

#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/acSBUtils/Internal.h"

using namespace acsb;

namespace {

// The window's direct children, as they are now.
std::vector<HWND> ChildWindows(HWND Wnd) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(Wnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) children.push_back(child);
  return children;
}

bool IsUpDown(HWND Wnd) {
  char name[32] = {};
  return GetClassNameA(Wnd, name, int(sizeof name)) > 0 && lstrcmpiA(name, UPDOWN_CLASSA) == 0;
}

// A font turned for a side tab: "Arial" at the canvas font's height and normal weight, its
// italic, underline and strike-out and its character set, escapement as given.
HFONT MakeSideFont(TCanvas* Canvas, int Escapement) {
  LOGFONTA lf{};
  if (GetObjectA(Canvas->Font()->Handle(), sizeof lf, &lf) != int(sizeof lf)) return nullptr;
  LOGFONTA side{};
  side.lfHeight = lf.lfHeight;
  side.lfWeight = FW_NORMAL;
  side.lfItalic = lf.lfItalic;
  side.lfUnderline = lf.lfUnderline;
  side.lfStrikeOut = lf.lfStrikeOut;
  side.lfCharSet = lf.lfCharSet;
  side.lfEscapement = side.lfOrientation = Escapement;
  lstrcpynA(side.lfFaceName, "Arial", LF_FACESIZE);
  return CreateFontIndirectA(&side);
}

}  // namespace

// ---- Geometry ------------------------------------------------------------------------------------

int TacTabControlWnd::TabCount() const { return std::max(0, int(SendMessageA(WndHandle, TCM_GETITEMCOUNT, 0, 0))); }

int TacTabControlWnd::CurrentTab() const { return int(SendMessageA(WndHandle, TCM_GETCURSEL, 0, 0)); }

int TacTabControlWnd::TabPosition() const {
  const auto style = GetWindowLongPtrA(WndHandle, GWL_STYLE);
  if (style & TCS_VERTICAL) return (style & TCS_RIGHT) ? 3 : 2;
  return (style & TCS_BOTTOM) ? 1 : 0;
}

int TacTabControlWnd::TabStyle() const {
  const auto style = GetWindowLongPtrA(WndHandle, GWL_STYLE);
  if (style & TCS_FLATBUTTONS) return 2;
  return (style & TCS_BUTTONS) ? 1 : 0;
}

void TacTabControlWnd::DisplayRect(TRect& R) {
  RECT r{0, 0, WndSize.cx, WndSize.cy};
  SendMessageA(WndHandle, TCM_ADJUSTRECT, FALSE, LPARAM(&r));
  R = FromRECT(r);
  R.Top += 2;
}

void TacTabControlWnd::BodyRect(TRect& R) {
  R = Rect(0, 0, WndSize.cx, WndSize.cy);
  if (TabCount() == 0) return;
  TRect d;
  DisplayRect(d);
  switch (TabPosition()) {
    case 0: R.Top = d.Top - 4; break;
    case 1: R.Bottom = d.Bottom + 1; break;
    case 2: R.Left = d.Left - 1; break;
    default: R.Right = d.Right + 1; break;
  }
}

void TacTabControlWnd::TabRowRect(TRect& R) {
  R = Rect(0, 0, WndSize.cx, WndSize.cy);
  if (TabCount() == 0) return;
  TRect d;
  DisplayRect(d);
  switch (TabPosition()) {
    case 0: R.Bottom = d.Top - 4; break;
    case 1: R.Top = d.Bottom + 1; break;
    case 2: R.Right = d.Left - 1; break;
    default: R.Left = d.Right + 1; break;
  }
}

void TacTabControlWnd::TabRect(int Index, bool Active, TRect& R) {
  R = Rect(0, 0, 0, 0);
  if (Index < 0 || Index >= TabCount() || CurrentTab() < 0) return;
  RECT r{};
  if (!SendMessageA(WndHandle, TCM_GETITEMRECT, WPARAM(Index), LPARAM(&r))) return;
  R = FromRECT(r);
  if (TabStyle() != 0 || R.Left == R.Right) return;
  const int a = Active ? 1 : 0;
  if (Active) {
    R.Bottom -= 1;
  } else {
    R.Bottom += 3;
    R.Right -= 1;
  }
  switch (TabPosition()) {
    case 0:
      R.Inflate(2 * a, 2 * a);
      R.Bottom += 1;
      break;
    case 1:
      R.Inflate(2 * a, a);
      R.Top -= 2;
      R.Bottom += Active ? 1 : -3;
      break;
    case 2:
      R.Inflate(0, 1);
      R.Right += 2;
      if (Active) {
        R.Inflate(1, 1);
      } else {
        R.Bottom -= 4;
        R.Right += 2;
      }
      break;
    default:
      R.Inflate(1, 0);
      R.Offset(-1, -1);
      if (Active) {
        R.Inflate(1, 1);
        R.Bottom += 3;
      } else {
        R.Bottom -= 2;
      }
      break;
  }
}

int TacTabControlWnd::TabRow(int Index) {
  const int rows = int(SendMessageA(WndHandle, TCM_GETROWCOUNT, 0, 0));
  if (rows < 2) return 1;
  RECT r{};
  SendMessageA(WndHandle, TCM_GETITEMRECT, WPARAM(Index), LPARAM(&r));
  // A tab of no size lies in no row further out than the first.
  const int h = r.bottom - r.top, w = r.right - r.left;
  TRect row;
  TabRowRect(row);
  switch (TabPosition()) {
    case 0: return h > 0 ? (r.bottom + h / 2) / h : 1;
    case 2: return w > 0 ? (r.right + w / 2) / w : 1;
    case 3: return w > 0 ? rows - (r.right - row.Left + w / 2) / w + 1 : 1;
    default: return h > 0 ? rows - (r.bottom - row.Top + h / 2) / h + 1 : 1;
  }
}

// ---- The up-down arrows ----------------------------------------------------------------------------

void TacTabControlWnd::UpdateSpin() {
  const HWND updown = SkinOn() && WndHandle ? FindWindowExA(WndHandle, nullptr, UPDOWN_CLASSA, nullptr) : nullptr;
  // The adapter made for this up-down is kept (it is not made again at each paint).
  if (SpinWnd && updown && updown == SpinHandle_ && GetWndAdapter(updown) == SpinWnd) return;
  FreeAndNil(SpinWnd);
  SpinHandle_ = nullptr;
  // An up-down that carries an adapter already keeps it.
  if (!updown || GetWndAdapter(updown)) return;
  auto alive = AliveToken();
  auto* spin = Create<TacSpinWnd>(updown, nullptr, SkinData->SkinManager(), "UPDOWNBTN", true);
  if (!*alive) {
    spin->Free();
    return;
  }
  SpinWnd = spin;
  SpinHandle_ = updown;
}

void TacTabControlWnd::BeforeDestruction() {
  FreeAndNil(SpinWnd);
  TacMainWnd::BeforeDestruction();
}

// ---- Painting ------------------------------------------------------------------------------------

void TacTabControlWnd::PaintTabContent(int Index, int State, TBitmap* Bmp, TRect R, int Section) {
  TsSkinManager* sm = SkinData->SkinManager();
  // The control reports no text length: the buffer grows until the whole text fits in it.
  std::vector<char> text(4096, '\0');
  TCITEMA item{};
  for (;;) {
    item = TCITEMA{};
    item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
    item.pszText = text.data();
    item.cchTextMax = int(text.size());
    text[0] = '\0';
    if (!SendMessageA(WndHandle, TCM_GETITEMA, WPARAM(Index), LPARAM(&item))) return;
    // The control may hand its own buffer back instead of copying into ours.
    if (item.pszText != text.data() || std::char_traits<char>::length(text.data()) + 1 < text.size() ||
        text.size() >= (std::size_t(1) << 24))
      break;
    text.assign(text.size() * 2, '\0');
  }
  const std::string caption = item.pszText ? item.pszText : "";
  const bool enabled = IsWindowEnabled(WndHandle) != FALSE;
  TCanvas* canvas = Bmp->Canvas();
  UseWindowFont(canvas);
  canvas->Brush()->SetStyle(bsClear);
  auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(WndHandle, TCM_GETIMAGELIST, 0, 0));
  int iw = 0, ih = 0;
  const bool image = images && item.iImage >= 0 && item.iImage < ImageList_GetImageCount(images) &&
                     ImageList_GetIconSize(images, &iw, &ih);
  const int position = TabPosition();
  if (position < 2) {
    if (image) {
      const int x = R.Left + (R.Width() - (iw + 8 + canvas->TextWidth(caption))) / 2;
      ImageList_Draw(images, item.iImage, canvas->Handle(), x, R.Top + (R.Height() - ih) / 2, ILD_TRANSPARENT);
      R.Left = x + iw + 8;
      R.Right = R.Left + canvas->TextWidth(caption);
    }
    WriteSectionText(canvas, caption, enabled, R, DT_CENTER | DT_VCENTER | DT_SINGLELINE, Section, State != 0, sm);
    return;
  }
  // Side tabs: the text turned, reading upwards on the left and downwards on the right; the icon
  // above the text on the left and below it on the right.
  const bool left = position == 2;
  GdiObject<HFONT> font(MakeSideFont(canvas, left ? -2700 : -900));
  if (!font) return;
  const HDC dc = canvas->Handle();
  const SavedDC saved(dc);
  SelectObject(dc, font);
  SIZE extent{};
  GetTextExtentPoint32A(dc, caption.c_str(), int(caption.size()), &extent);
  const int length = extent.cx, height = extent.cy;
  const int whole = length + (image ? ih + 4 : 0);
  const int top = R.Top + (R.Height() - whole) / 2;
  if (image) {
    const int iy = left ? top : top + length + 4;
    ImageList_Draw(images, item.iImage, dc, R.Left + (R.Width() - iw) / 2, iy, ILD_TRANSPARENT);
  }
  TColor color = clBtnText;
  if (sm && sm->IsSectionIndex(Section)) {
    const TsGeneralData& gd = sm->Section(Section);
    color = TColor(State != 0 ? gd.HotFontColor.Text() : gd.FontColor.Text());
  }
  if (!enabled) color = clGrayText;
  SetTextColor(dc, ColorToRGB(color));
  SetBkMode(dc, TRANSPARENT);
  // Text reading upwards starts at its bottom-left, text reading downwards at its top-right.
  const int textTop = left ? top + (image ? ih + 4 : 0) : top;
  const int x = left ? R.Left + (R.Width() - height) / 2 : R.Left + (R.Width() + height) / 2;
  const int y = left ? textTop + length : textTop;
  const RECT clip{R.Left, R.Top, R.Right, R.Bottom};
  ExtTextOutA(dc, x, y, ETO_CLIPPED, &clip, caption.c_str(), UINT(caption.size()), nullptr);
}

void TacTabControlWnd::PaintTab(int Index, int State, TBitmap* Bmp, TPoint Origin) {
  if (Index < 0) return;
  TsSkinManager* sm = SkinData->SkinManager();
  TBitmap* cache = SkinData->CacheBmp;
  if (!sm || !cache) return;
  TRect r;
  TabRect(Index, State == 2 && Index == CurrentTab(), r);
  const int w = r.Width(), h = r.Height();
  if (w <= 0 || h <= 0 || (State == 1 && r.Left < 0)) return;
  // The section by the tab style (and by the side for tabs); a skin without tab sections paints
  // only the content over the body.
  const TacConstData& cd = sm->ConstData();
  int section = -1, mask = -1;
  std::string name;
  const int position = TabPosition();
  switch (TabStyle()) {
    case 0: {
      static const char* const names[] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
      const TacSectionIndexes* tabs[] = {&cd.TabTop, &cd.TabBottom, &cd.TabLeft, &cd.TabRight};
      name = names[position];
      section = tabs[position]->Section;
      mask = tabs[position]->Mask;
      break;
    }
    default:
      name = TabStyle() == 1 ? "BUTTON" : "TOOLBUTTON";
      section = sm->SectionIndexOf(name);
      mask = section >= 0 ? sm->LookupMask(section, name, "BORDERSMASK") : -1;
      break;
  }
  const bool skinned = cd.TabTop.Section >= 0 && sm->IsSectionIndex(section) && sm->IsMaskIndex(mask);
  auto tab = MakeBmp24(w, h);
  {
    // What lies under the tab in the cache: the tab row's background and the body.
    const BitmapDC dst(tab.get()), src(cache);
    if (dst && src) BitBlt(dst, 0, 0, w, h, src, r.Left, r.Top, SRCCOPY);
  }
  if (skinned)
    PaintSectionItem(section, name, BuildCacheInfo(cache), true, State, Rect(0, 0, w, h), r.TopLeft(), tab.get(), sm);
  PaintTabContent(Index, State, tab.get(), Rect(0, 0, w, h), skinned ? section : SkinData->SkinIndex);
  const BitmapDC dst(Bmp);
  if (!dst) return;
  const SavedDC saved(dst);
  // An inactive tab stays off the body (the active one joins it).
  if (State != 2) {
    TRect body;
    BodyRect(body);
    body.Offset(-Origin.X, -Origin.Y);
    ExcludeClipRect(dst, body.Left, body.Top, body.Right, body.Bottom);
  }
  BlitBmp(dst, r.Left - Origin.X, r.Top - Origin.Y, tab.get());
}

bool TacTabControlWnd::PrepareTabCache() {
  TsSkinManager* sm = SkinData->SkinManager();
  if (!sm) return false;
  SkinData->BGChanged = true;
  const int count = TabCount();
  std::string body = "CHECKBOX";
  if (count > 0) {
    static const char* const bodies[] = {"PAGECONTROL", "PAGECONTROLBOTTOM", "PAGECONTROLLEFT", "PAGECONTROLRIGHT"};
    body = SkinData->SkinSection() != "PAGECONTROL" ? SkinData->SkinSection() : bodies[TabPosition()];
  }
  // A skin without the side's own body section takes the page control's.
  int bodyIndex = sm->SectionIndexOf(body);
  if (bodyIndex < 0 && count > 0) bodyIndex = sm->SectionIndexOf(body = "PAGECONTROL");
  SkinData->SkinIndex = bodyIndex;
  const TsCacheInfo ci = AskParentCache(SkinData);
  TBitmap* cache = SizeCache();
  const int current = CurrentTab();
  // Buttons (TCS_BUTTONS, TCS_FLATBUTTONS) have no page body: what lies behind shows round them.
  const bool buttons = count > 0 && TabStyle() != 0;
  if (count > 0) {
    TRect row;
    TabRowRect(row);
    if (buttons) row = Rect(0, 0, WndSize.cx, WndSize.cy);
    row = IntersectRects(row, Rect(0, 0, WndSize.cx, WndSize.cy));
    if (ci.Ready && ci.Bmp) {
      const BitmapDC dst(cache), src(ci.Bmp);
      const int sx = ci.X + WndPos.X + row.Left, sy = ci.Y + WndPos.Y + row.Top;
      const int w = std::min(row.Width(), ci.Bmp->Width() - sx), h = std::min(row.Height(), ci.Bmp->Height() - sy);
      if (dst && src && w > 0 && h > 0) BitBlt(dst, row.Left, row.Top, w, h, src, sx, sy, SRCCOPY);
    } else {
      FillRectColor(cache->Canvas()->Handle(), row, ParentColorOf(WndHandle));
    }
    // Inactive tabs, the rows away from the body last (they lie behind the nearer ones).
    const int rows = std::max(1, int(SendMessageA(WndHandle, TCM_GETROWCOUNT, 0, 0)));
    for (int rowIndex = rows; rowIndex >= 1; --rowIndex)
      for (int i = 0; i < count; ++i)
        if (i != current && TabRow(i) == rowIndex) PaintTab(i, i == HotTab ? 1 : 0, cache, TPoint{});
  }
  TRect bodyRect;
  BodyRect(bodyRect);
  if (!buttons) {
    if (bodyIndex >= 0)
      PaintSectionItem(bodyIndex, body, ci, true, 0, bodyRect,
                       TPoint{WndPos.X + bodyRect.Left, WndPos.Y + bodyRect.Top}, cache, sm);
    else
      FillRectColor(cache->Canvas()->Handle(), bodyRect, ParentColorOf(WndHandle));
  }
  SkinData->BGChanged = false;
  return true;
}

int TacTabControlWnd::FocusedTab() const {
  // The focus shows while the control has it and its window shows focus marks.
  if (GetFocus() != WndHandle || (SendMessageA(WndHandle, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) return -1;
  const int focused = int(SendMessageA(WndHandle, TCM_GETCURFOCUS, 0, 0));
  return focused >= 0 && focused < TabCount() ? focused : -1;
}

void TacTabControlWnd::DrawFocus(int Index, TBitmap* Bmp, TPoint Origin) {
  RECT r{};
  if (!Bmp || !SendMessageA(WndHandle, TCM_GETITEMRECT, WPARAM(Index), LPARAM(&r))) return;
  TRect dots = FromRECT(r);
  dots.Offset(-Origin.X, -Origin.Y);
  dots.Inflate(-3, -3);
  if (dots.Width() > 2 && dots.Height() > 2) DrawFocusDots(Bmp->Canvas(), dots);
}

void TacTabControlWnd::PaintTabControl(HDC DC) {
  UpdateRects();
  if (AskUpdating()) return;
  const ClientDC dc(WndHandle, DC);
  if (!dc || !PrepareTabCache()) return;
  TBitmap* cache = SkinData->CacheBmp;
  const int current = CurrentTab();
  // The cache without the active tab's place, then the active tab over the body's edge.
  TRect active;
  TabRect(current, true, active);
  const int focused = FocusedTab();
  if (focused >= 0 && (focused != current || active.IsEmpty())) DrawFocus(focused, cache, TPoint{});
  {
    const SavedDC saved(dc);
    if (!active.IsEmpty()) ExcludeClipRect(dc, active.Left, active.Top, active.Right, active.Bottom);
    CopyCacheExcludingChildWnds(WndHandle, SkinData, Rect(0, 0, WndSize.cx, WndSize.cy),
                                Rect(0, 0, WndSize.cx, WndSize.cy), dc, true, 0, 0);
  }
  if (!active.IsEmpty()) {
    auto tab = MakeBmp24(active.Width(), active.Height());
    {
      const BitmapDC dst(tab.get()), src(cache);
      if (dst && src) BitBlt(dst, 0, 0, active.Width(), active.Height(), src, active.Left, active.Top, SRCCOPY);
    }
    PaintTab(current, 2, tab.get(), active.TopLeft());
    if (focused == current) DrawFocus(current, tab.get(), active.TopLeft());
    const SavedDC saved(dc);
    for (HWND child : ChildWindows(WndHandle)) {
      if (!IsWindowVisible(child)) continue;
      RECT cr{};
      GetWindowRect(child, &cr);
      MapWindowPoints(nullptr, WndHandle, reinterpret_cast<POINT*>(&cr), 2);
      ExcludeClipRect(dc, cr.left, cr.top, cr.right, cr.bottom);
    }
    BlitBmp(dc, active.Left, active.Top, tab.get());
  }
  // The class library's controls without a window (speed buttons, labels) lie over the image: the
  // control's own paint, which would draw them, is not run.
  if (auto* owner = dynamic_cast<TWinControl*>(SkinData->OwnerControl)) PaintGraphicChildren(dc, owner, TPoint{});
}

// ---- Messages ------------------------------------------------------------------------------------

bool TacTabControlWnd::AnswerAnyState(TMessage& Message) {
  if (Message.Msg != SM_QUORVEXCMD || !SkinData) return false;
  switch (Message.WParamHi()) {
    case QC_ISSKINNED: return AnswerIdentity(Message);
    case QC_GETSKINMANAGER: Message.Result = reinterpret_cast<LRESULT>(SkinData->SkinManager()); return true;
    default: return false;
  }
}

void TacTabControlWnd::AfterSkinChange(int Command) {
  switch (Command) {
    case QC_SKINLOADED:
      // A skin that comes back shows at once (the pages with it): a window outside a skinned form
      // gets no word that an update ended.
      RedrawAfterSkinCommand(RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      return;
    case QC_SKINREMOVED:
      UpdateSpin();
      RedrawAfterSkinCommand(RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW | RDW_ERASENOW | RDW_FRAME);
      return;
    default:
      // The whole control is painted in its turn (the erase leaves it to the paint).
      InvalidateRect(WndHandle, nullptr, TRUE);
      UpdateSpin();
      return;
  }
}

void TacTabControlWnd::AnswerChildCache() {
  // The pages may paint before the control: they get its image made at once.
  if (SkinOn() && (SkinData->BGChanged || !SkinData->CacheBmp || SkinData->CacheBmp->Empty())) {
    auto alive = AliveToken();
    UpdateRects();
    PrepareTabCache();
    if (!*alive) return;
  }
  AnswerCache(SkinData);
}

bool TacTabControlWnd::Busy() const { return SkinData && SkinData->UpdatingFlag(); }

bool TacTabControlWnd::RepaintAfterUpdate() {
  InvalidateRect(WndHandle, nullptr, TRUE);
  // The pages and what lies on them end their updates too.
  PassSkinCommandOn(WndHandle, MakeMessage(SM_QUORVEXCMD, SkinCommandWParam(QC_UPDATEDONE), 0));
  return false;
}

void TacTabControlWnd::HandleMessage(TMessage& Message) {
  auto alive = AliveToken();
  switch (Message.Msg) {
    case WM_PAINT: {
      // The whole control in one paint (the erase leaves it to the paint).
      const PaintScope paint(WndHandle, HDC(Message.WParam));
      if (paint) PaintTabControl(paint);
      if (*alive) UpdateSpin();
      Message.Result = 0;
      return;
    }
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_NCPAINT: return;
    case WM_PRINT:
      if (!Message.WParam) break;
      UpdateSpin();
      if (*alive) PaintTabControl(HDC(Message.WParam));
      return;
    default: break;
  }
  const TSize before = WndSize;
  TacMainWnd::HandleMessage(Message);
  if (!*alive || !SkinOn()) return;
  switch (Message.Msg) {
    case WM_SIZE:
      UpdateSpin();
      if (!*alive) return;
      UpdateRects();
      if (WndSize.cx < before.cx || WndSize.cy < before.cy)
        RedrawWindow(WndHandle, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_NOCHILDREN | RDW_FRAME);
      break;
    case TCM_SETCURSEL:
    case TCM_INSERTITEMA:
    case TCM_INSERTITEMW:
    case TCM_DELETEITEM:
    case TCM_DELETEALLITEMS:
    case TCM_SETITEMA:
    case TCM_SETITEMW:
      SkinData->BGChanged = true;
      RedrawWindow(WndHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
      break;
    case CM_CONTROLLISTCHANGE: UpdateSpin(); break;
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE: TrackHotTab(Message); break;
    default: break;
  }
}

void TacTabControlWnd::TrackHotTab(const TMessage& Message) {
  int hot = -1;
  if (Message.Msg == WM_MOUSEMOVE && IsWindowEnabled(WndHandle)) {
    TCHITTESTINFO hit{};
    hit.pt = POINT{short(LOWORD(Message.LParam)), short(HIWORD(Message.LParam))};
    hot = int(SendMessageA(WndHandle, TCM_HITTEST, 0, LPARAM(&hit)));
    if (hot == CurrentTab()) hot = -1;
    // The pointer leaving the window takes the hot tab with it.
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, WndHandle, 0};
    TrackMouseEvent(&tme);
  }
  if (hot == HotTab) return;
  HotTab = hot;
  InvalidateRect(WndHandle, nullptr, FALSE);
}

// ---- Page control --------------------------------------------------------------------------------

void TacPageControlWnd::DisplayRect(TRect& R) {
  for (HWND child : ChildWindows(WndHandle)) {
    if (GetParent(child) != WndHandle || IsUpDown(child)) continue;
    RECT r{};
    GetWindowRect(child, &r);
    R = FromRECT(r);
    R.Offset(-WndRect.Left, -WndRect.Top);
    return;
  }
  R = Rect(0, 4, WndSize.cx, WndSize.cy);
}

void TacPageControlWnd::AttachPages() {
  if (!SkinOn()) return;
  auto alive = AliveToken();
  // Adapters whose page window went (the page was freed or its window made again) are freed: a
  // page's new window gets a new one below.
  for (int i = Pages.Count() - 1; i >= 0; --i) {
    TacMainWnd* page = Pages[i];
    if (!page->Destroyed && IsWindow(page->WndHandle) && GetParent(page->WndHandle) == WndHandle) continue;
    Pages.Remove(page);
    page->Free();
    if (!*alive) return;
  }
  auto* sm = reinterpret_cast<TsSkinManager*>(SendSkinCommand(WndHandle, QC_GETSKINMANAGER));
  if (!sm || !*alive) return;
  for (HWND child : ChildWindows(WndHandle)) {
    // The up-down of the tab row is no page.
    if (!IsWindow(child) || GetParent(child) != WndHandle || IsUpDown(child)) continue;
    if (GetWndAdapter(child) || AskWindow(child, QC_ISSKINNED)) continue;
    TacMainWnd* page = MakeAdapter<TacPageWnd>(child, nullptr, sm, "CHECKBOX", true);
    if (!*alive) {
      page->Free();
      return;
    }
    Pages.Add(page);
  }
}

void TacPageControlWnd::BeforeDestruction() {
  Pages.FreeAll();
  TacTabControlWnd::BeforeDestruction();
}

void TacPageControlWnd::HandleMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCPAINT: AttachPages(); break;
    case WM_PARENTNOTIFY:
      if (LOWORD(Message.WParam) == WM_CREATE) {
        auto alive = AliveToken();
        TacTabControlWnd::HandleMessage(Message);
        if (*alive) AttachPages();
        return;
      }
      break;
    default: break;
  }
  TacTabControlWnd::HandleMessage(Message);
}

// ---- Pages ---------------------------------------------------------------------------------------

void TacPageWnd::PaintPage(HDC DC) {
  UpdateRects();
  const ClientDC dc(WndHandle, DC);
  if (!dc) return;
  SharedCacheInfo = TsCacheInfo{};
  SharedParentColor = clParentColorUnset;
  SendSkinCommand(ParentWnd, QC_GETCACHE);
  const TsCacheInfo ci = SharedCacheInfo;
  if (ci.Ready && ci.Bmp) {
    const BitmapDC src(ci.Bmp);
    if (src) BitBlt(dc, 0, 0, WndSize.cx, WndSize.cy, src, ci.X + WndPos.X, ci.Y + WndPos.Y, SRCCOPY);
    return;
  }
  FillRectColor(dc, Rect(0, 0, WndSize.cx, WndSize.cy), PlainBackgroundOf(ParentWnd));
}

bool TacPageWnd::AnswerAnyState(TMessage& Message) {
  if (Message.Msg != SM_QUORVEXCMD || !SkinData) return false;
  switch (Message.WParamHi()) {
    case QC_ISSKINNED: return AnswerIdentity(Message);
    case QC_ISTRANSPARENT: Message.LParam = Message.Result = 1; return true;
    default: return false;
  }
}

void TacPageWnd::AfterSkinChange(int Command) {
  // The page is painted in its background's erase.
  if (Command != QC_SKINLOADED) InvalidateRect(WndHandle, nullptr, TRUE);
}

void TacPageWnd::AnswerChildCache() {
  // The parent's image, with the page's offset in it.
  auto alive = AliveToken();
  SharedParentColor = clParentColorUnset;
  SendSkinCommand(ParentWnd, QC_GETCACHE);
  if (!*alive) return;
  UpdateRects();
  SharedCacheInfo.X += WndPos.X;
  SharedCacheInfo.Y += WndPos.Y;
}

bool TacPageWnd::Busy() const { return SkinData && SkinData->UpdatingFlag(); }

bool TacPageWnd::RepaintAfterUpdate() {
  InvalidateRect(WndHandle, nullptr, TRUE);
  // What lies on the page ends its update too.
  PassSkinCommandOn(WndHandle, MakeMessage(SM_QUORVEXCMD, SkinCommandWParam(QC_UPDATEDONE), 0));
  return false;
}

void TacPageWnd::HandleMessage(TMessage& Message) {
  auto alive = AliveToken();
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      if (!IsWindowVisible(WndHandle)) break;
      PaintPage(HDC(Message.WParam));
      Message.Result = 1;
      return;
    case WM_NCPAINT: return;
    case WM_PRINT:
      if (!Message.WParam) break;
      PaintPage(HDC(Message.WParam));
      if (*alive) Message.Result = SendMessageA(WndHandle, WM_PAINT, Message.WParam, Message.LParam);
      return;
    default: break;
  }
  TacMainWnd::HandleMessage(Message);
}

// ---- The tab kinds of the control adapter ---------------------------------------------------------

namespace {

const bool kTabKinds = RegisterKindAdapter(tkPageControl, &MakeAdapter<TacPageControlWnd>) &&
                       RegisterKindAdapter(tkTabControl, &MakeAdapter<TacTabControlWnd>);

}  // namespace
