// A grid of cells with fixed (title) rows and columns, drawn by the control, and the string grid
// that keeps a text per cell. Scroll bars move the first non-fixed row and column shown.
#pragma once

#include "classlib/Win.h"

#include <map>
#include <string>
#include <utility>

#include "classlib/Controls.h"
#include "classlib/ControlEnums.h"

enum TGridDrawStateItem : std::uint8_t { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateItem>;

class TCustomGrid : public TCustomControl {
 public:
  QV_CLASS_NAME(TCustomGrid)
  explicit TCustomGrid(TComponent* AOwner);
  TBorderStyle BorderStyle() const { return BorderStyle_; }
  void SetBorderStyle(TBorderStyle v);
  TColor FixedColor() const { return FixedColor_; }
  void SetFixedColor(TColor v);
  int ColCount() const { return ColCount_; }
  void SetColCount(int v);
  int RowCount() const { return RowCount_; }
  void SetRowCount(int v);
  int FixedCols() const { return FixedCols_; }
  void SetFixedCols(int v);
  int FixedRows() const { return FixedRows_; }
  void SetFixedRows(int v);
  int DefaultColWidth() const { return DefaultColWidth_; }
  void SetDefaultColWidth(int v);
  int DefaultRowHeight() const { return DefaultRowHeight_; }
  void SetDefaultRowHeight(int v);
  int GridLineWidth() const { return GridLineWidth_; }
  void SetGridLineWidth(int v);
  TScrollStyle ScrollBars() const { return ScrollBars_; }
  void SetScrollBars(TScrollStyle v);
  int TopRow() const { return TopRow_; }
  void SetTopRow(int v);
  int LeftCol() const { return LeftCol_; }
  void SetLeftCol(int v);
  int Col() const { return Col_; }
  int Row() const { return Row_; }
  void SetCell(int ACol, int ARow);
  // The rectangle of a cell in client coordinates (empty when it is scrolled out of view).
  TRect CellRect(int ACol, int ARow) const;
  void Dispatch(TMessage& Message) override;

 protected:
  virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
  void Paint() override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void UpdateScrollRange();
  void Scroll(int bar, int code);

  TBorderStyle BorderStyle_ = bsSingle;
  TColor FixedColor_ = clBtnFace;
  int ColCount_ = 5, RowCount_ = 5, FixedCols_ = 1, FixedRows_ = 1;
  int DefaultColWidth_ = 64, DefaultRowHeight_ = 24, GridLineWidth_ = 1;
  TScrollStyle ScrollBars_ = ssBoth;
  int TopRow_ = 1, LeftCol_ = 1, Col_ = 1, Row_ = 1;
};

class TStringGrid : public TCustomGrid {
 public:
  QV_CLASS_NAME(TStringGrid)
  using TCustomGrid::TCustomGrid;
  std::string Cells(int ACol, int ARow) const;
  void SetCells(int ACol, int ARow, const std::string& v);

 protected:
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;

 private:
  std::map<std::pair<int, int>, std::string> Cells_;
};
