#include "classlib/Grids.h"

#include <algorithm>

#include "classlib/core/TypInfo.h"

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner) {
  ControlStyle_ = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks, csClickEvents};
  SetBounds(0, 0, 320, 120);
  Color_ = clWindow;
  ParentColor_ = false;
  TabStop_ = true;
}

void TCustomGrid::SetBorderStyle(TBorderStyle v) {
  if (BorderStyle_ == v) return;
  BorderStyle_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomGrid::SetFixedColor(TColor v) {
  if (FixedColor_ == v) return;
  FixedColor_ = v;
  Invalidate();
}

void TCustomGrid::SetColCount(int v) {
  v = std::max(v, 1);
  ColCount_ = v;
  FixedCols_ = std::min(FixedCols_, v - 1);
  LeftCol_ = std::clamp(LeftCol_, FixedCols_, v - 1);
  Col_ = std::clamp(Col_, FixedCols_, v - 1);
  UpdateScrollRange();
  Invalidate();
}

void TCustomGrid::SetRowCount(int v) {
  v = std::max(v, 1);
  RowCount_ = v;
  FixedRows_ = std::min(FixedRows_, v - 1);
  TopRow_ = std::clamp(TopRow_, FixedRows_, v - 1);
  Row_ = std::clamp(Row_, FixedRows_, v - 1);
  UpdateScrollRange();
  Invalidate();
}

void TCustomGrid::SetFixedCols(int v) {
  if (v < 0 || v >= ColCount_) throw EInvalidOperation("Fixed column count must be less than column count");
  FixedCols_ = v;
  LeftCol_ = std::max(LeftCol_, v);
  Col_ = std::max(Col_, v);
  UpdateScrollRange();
  Invalidate();
}

void TCustomGrid::SetFixedRows(int v) {
  if (v < 0 || v >= RowCount_) throw EInvalidOperation("Fixed row count must be less than row count");
  FixedRows_ = v;
  TopRow_ = std::max(TopRow_, v);
  Row_ = std::max(Row_, v);
  UpdateScrollRange();
  Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int v) {
  DefaultColWidth_ = std::max(v, 1);
  UpdateScrollRange();
  Invalidate();
}

void TCustomGrid::SetDefaultRowHeight(int v) {
  DefaultRowHeight_ = std::max(v, 1);
  UpdateScrollRange();
  Invalidate();
}

void TCustomGrid::SetGridLineWidth(int v) {
  GridLineWidth_ = std::max(v, 0);
  Invalidate();
}

void TCustomGrid::SetScrollBars(TScrollStyle v) {
  if (ScrollBars_ == v) return;
  ScrollBars_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomGrid::SetTopRow(int v) {
  v = std::clamp(v, FixedRows_, RowCount_ - 1);
  if (TopRow_ == v) return;
  TopRow_ = v;
  UpdateScrollRange();
  Invalidate();
}

void TCustomGrid::SetLeftCol(int v) {
  v = std::clamp(v, FixedCols_, ColCount_ - 1);
  if (LeftCol_ == v) return;
  LeftCol_ = v;
  UpdateScrollRange();
  Invalidate();
}

void TCustomGrid::SetCell(int ACol, int ARow) {
  Col_ = std::clamp(ACol, FixedCols_, ColCount_ - 1);
  Row_ = std::clamp(ARow, FixedRows_, RowCount_ - 1);
  Invalidate();
}

TRect TCustomGrid::CellRect(int ACol, int ARow) const {
  auto axis = [](int index, int fixed, int first, int size, int line) {
    if (index < fixed) return index * (size + line);
    if (index < first) return -1;
    return (fixed + index - first) * (size + line);
  };
  const int x = axis(ACol, FixedCols_, LeftCol_, DefaultColWidth_, GridLineWidth_);
  const int y = axis(ARow, FixedRows_, TopRow_, DefaultRowHeight_, GridLineWidth_);
  if (x < 0 || y < 0 || ACol >= ColCount_ || ARow >= RowCount_) return TRect{};
  return Bounds(x, y, DefaultColWidth_, DefaultRowHeight_);
}

void TCustomGrid::DrawCell(int, int, const TRect&, TGridDrawState) {}

void TCustomGrid::Paint() {
  const TRect client = ClientRect();
  Canvas_->Brush()->SetStyle(bsSolid);
  Canvas_->Brush()->SetColor(Color_);
  Canvas_->FillRect(client);
  for (int r = 0; r < RowCount_; ++r) {
    for (int c = 0; c < ColCount_; ++c) {
      TRect cell = CellRect(c, r);
      if (cell.IsEmpty() || cell.Left >= client.Right || cell.Top >= client.Bottom) continue;
      TGridDrawState state;
      const bool fixed = c < FixedCols_ || r < FixedRows_;
      if (fixed) state.Include(gdFixed);
      if (c == Col_ && r == Row_) state += TGridDrawState{gdSelected, gdFocused};
      Canvas_->Brush()->SetColor(fixed ? FixedColor_ : state.Contains(gdSelected) ? clHighlight : Color_);
      Canvas_->FillRect(cell);
      if (GridLineWidth_ > 0) {
        Canvas_->Brush()->SetColor(fixed ? clBtnShadow : clSilver);
        Canvas_->FillRect(Rect(cell.Right, cell.Top, cell.Right + GridLineWidth_, cell.Bottom + GridLineWidth_));
        Canvas_->FillRect(Rect(cell.Left, cell.Bottom, cell.Right, cell.Bottom + GridLineWidth_));
      }
      Canvas_->Brush()->SetColor(fixed ? FixedColor_ : Color_);
      DrawCell(c, r, cell, state);
    }
  }
}

void TCustomGrid::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_TABSTOP;
  if (ScrollBars_ == ssVertical || ScrollBars_ == ssBoth) Params.Style |= WS_VSCROLL;
  if (ScrollBars_ == ssHorizontal || ScrollBars_ == ssBoth) Params.Style |= WS_HSCROLL;
  if (BorderStyle_ == bsSingle) {
    if (Ctl3D_)
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomGrid::CreateWnd() {
  TCustomControl::CreateWnd();
  UpdateScrollRange();
}

void TCustomGrid::UpdateScrollRange() {
  if (!HandleAllocated()) return;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
  if (ScrollBars_ == ssVertical || ScrollBars_ == ssBoth) {
    si.nMin = FixedRows_;
    si.nMax = RowCount_ - 1;
    si.nPage = 1;
    si.nPos = TopRow_;
    SetScrollInfo(Handle_, SB_VERT, &si, TRUE);
  }
  if (ScrollBars_ == ssHorizontal || ScrollBars_ == ssBoth) {
    si.nMin = FixedCols_;
    si.nMax = ColCount_ - 1;
    si.nPage = 1;
    si.nPos = LeftCol_;
    SetScrollInfo(Handle_, SB_HORZ, &si, TRUE);
  }
}

namespace {

// Where the thumb of a bar is being dragged.
int TrackPos(HWND wnd, int bar) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_TRACKPOS;
  GetScrollInfo(wnd, bar, &si);
  return si.nTrackPos;
}

}  // namespace

void TCustomGrid::Scroll(int bar, int code) {
  int pos = bar == SB_VERT ? TopRow_ : LeftCol_;
  switch (code) {
    case SB_LINEUP: --pos; break;
    case SB_LINEDOWN: ++pos; break;
    case SB_PAGEUP: pos -= 5; break;
    case SB_PAGEDOWN: pos += 5; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = TrackPos(Handle_, bar); break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = 0x7FFFFFF; break;
    default: return;
  }
  if (bar == SB_VERT)
    SetTopRow(pos);
  else
    SetLeftCol(pos);
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (CanFocus()) SetFocus();
  for (int r = 0; r < RowCount_; ++r)
    for (int c = 0; c < ColCount_; ++c)
      if (CellRect(c, r).Contains(TPoint{X, Y}) && c >= FixedCols_ && r >= FixedRows_) SetCell(c, r);
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_VSCROLL: Scroll(SB_VERT, LOWORD(Message.WParam)); return;
    case WM_HSCROLL: Scroll(SB_HORZ, LOWORD(Message.WParam)); return;
    case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS; return;
    case WM_ERASEBKGND: Message.Result = 1; return;
    default: TCustomControl::Dispatch(Message);
  }
}

std::string TStringGrid::Cells(int ACol, int ARow) const {
  auto it = Cells_.find({ACol, ARow});
  return it == Cells_.end() ? std::string() : it->second;
}

void TStringGrid::SetCells(int ACol, int ARow, const std::string& v) {
  if (v.empty())
    Cells_.erase({ACol, ARow});
  else
    Cells_[{ACol, ARow}] = v;
  if (HandleAllocated()) {
    TRect r = CellRect(ACol, ARow);
    if (!r.IsEmpty()) {
      const RECT wr{r.Left, r.Top, r.Right, r.Bottom};
      InvalidateRect(Handle_, &wr, FALSE);
    }
  }
}

void TStringGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  const std::string text = Cells(ACol, ARow);
  if (text.empty()) return;
  Canvas_->Font()->Assign(Font_);
  HDC dc = Canvas_->Handle();
  SetBkMode(dc, TRANSPARENT);
  if (AState.Contains(gdSelected) && !AState.Contains(gdFixed)) SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  RECT r{ARect.Left + 2, ARect.Top, ARect.Right - 2, ARect.Bottom};
  DrawTextA(dc, text.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

static const bool kGridProps = RegisterProperties<TCustomGrid, TCustomControl>([](auto& p) {
  p.Ord("BorderStyle", &TCustomGrid::BorderStyle, &TCustomGrid::SetBorderStyle);
  p.Ord("FixedColor", &TCustomGrid::FixedColor, &TCustomGrid::SetFixedColor);
  p.Ord("ColCount", &TCustomGrid::ColCount, &TCustomGrid::SetColCount);
  p.Ord("RowCount", &TCustomGrid::RowCount, &TCustomGrid::SetRowCount);
  p.Ord("FixedCols", &TCustomGrid::FixedCols, &TCustomGrid::SetFixedCols);
  p.Ord("FixedRows", &TCustomGrid::FixedRows, &TCustomGrid::SetFixedRows);
  p.Ord("DefaultColWidth", &TCustomGrid::DefaultColWidth, &TCustomGrid::SetDefaultColWidth);
  p.Ord("DefaultRowHeight", &TCustomGrid::DefaultRowHeight, &TCustomGrid::SetDefaultRowHeight);
  p.Ord("ScrollBars", &TCustomGrid::ScrollBars, &TCustomGrid::SetScrollBars);
});
