#include "classlib/ImgList.h"

#include "classlib/core/DisabledLook.h"

namespace {
COLORREF ListColor(TColor color) { return color == clNone ? CLR_NONE : ColorToRGB(color); }
}  // namespace

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}

TCustomImageList::~TCustomImageList() { FreeHandle(); }

void TCustomImageList::HandleNeeded() {
  if (Handle_) return;
  static const bool initialized = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)initialized;
  Handle_ =
      TrackImageList(ImageList_Create(Width_, Height_, ILC_COLOR24 | (Masked_ ? ILC_MASK : 0), AllocBy_, AllocBy_));
  if (!Handle_) throw EOutOfResources("Out of system resources");
  ImageList_SetBkColor(Handle_, ListColor(BkColor_));
}

void TCustomImageList::FreeHandle() {
  DestroyTrackedImageList(Handle_);
  Handle_ = nullptr;
}

HIMAGELIST TCustomImageList::Handle() {
  HandleNeeded();
  return Handle_;
}

int TCustomImageList::Count() const { return Handle_ ? ImageList_GetImageCount(Handle_) : 0; }

void TCustomImageList::SetSize(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (width == Width_ && height == Height_) return;
  Width_ = width;
  Height_ = height;
  FreeHandle();
  Change();
}
void TCustomImageList::SetWidth(int width) { SetSize(width, Height_); }
void TCustomImageList::SetHeight(int height) { SetSize(Width_, height); }

void TCustomImageList::SetBkColor(TColor color) {
  if (color == BkColor_) return;
  BkColor_ = color;
  if (Handle_) ImageList_SetBkColor(Handle_, ListColor(color));
  Change();
}

void TCustomImageList::SetMasked(bool masked) {
  if (masked == Masked_) return;
  Masked_ = masked;
  FreeHandle();
  Change();
}

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
  if (!image || image->Empty()) return -1;
  HandleNeeded();
  int index = ImageList_Add(Handle_, image->Handle(), mask && !mask->Empty() ? mask->Handle() : nullptr);
  if (index >= 0) Change();
  return index;
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
  if (!image || image->Empty()) return -1;
  HandleNeeded();
  TColor key = maskColor == clDefault ? image->TransparentColor() : maskColor;
  // The list blackens the masked pixels of the bitmap it is given: give it a copy.
  TBitmap copy;
  copy.Assign(image);
  copy.SetPixelFormat(pf24bit);
  int index = ImageList_AddMasked(Handle_, copy.Handle(), ColorToRGB(key));
  if (index >= 0) Change();
  return index;
}

int TCustomImageList::AddIcon(TIcon* icon) {
  if (!icon || icon->Empty()) return -1;
  HandleNeeded();
  int index = ImageList_AddIcon(Handle_, icon->Handle());
  if (index >= 0) Change();
  return index;
}

void TCustomImageList::Delete(int index) {
  if (!ValidIndex(index)) throw EInvalidOperation("Invalid image list index (" + std::to_string(index) + ")");
  ImageList_Remove(Handle_, index);
  Change();
}

void TCustomImageList::Clear() {
  if (Handle_ && Count() > 0) {
    ImageList_Remove(Handle_, -1);
    Change();
  }
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
  if (!canvas || !ValidIndex(index)) return;
  canvas->Changing();
  HDC dc = canvas->Handle();
  if (enabled) {
    ImageList_DrawEx(Handle_, index, dc, x, y, 0, 0, ListColor(BkColor_), CLR_DEFAULT, ILD_NORMAL);
  } else {
    // The background under the image, the image drawn over it, and where the image covers it.
    TBitmap under;
    under.SetSize(Width_, Height_);
    BitBlt(under.Canvas()->Handle(), 0, 0, Width_, Height_, dc, x, y, SRCCOPY);
    TBitmap drawn;
    drawn.Assign(&under);
    ImageList_DrawEx(Handle_, index, drawn.Canvas()->Handle(), 0, 0, 0, 0, ListColor(BkColor_), CLR_DEFAULT,
                     ILD_NORMAL);
    // Black where the image covers the background: by its mask, or everywhere when it has none.
    const bool byMask = Masked_ && BkColor_ == clNone;
    TBitmap mask;
    mask.SetSize(Width_, Height_);
    mask.Canvas()->Brush()->SetColor(byMask ? clWhite : clBlack);
    mask.Canvas()->FillRect(Rect(0, 0, Width_, Height_));
    if (byMask) ImageList_DrawEx(Handle_, index, mask.Canvas()->Handle(), 0, 0, 0, 0, CLR_NONE, CLR_DEFAULT, ILD_MASK);
    qv::ApplyDisabledLook(under.ImageView(), drawn.ImageView(), mask.ImageView());
    BitBlt(dc, x, y, Width_, Height_, under.Canvas()->Handle(), 0, 0, SRCCOPY);
  }
  canvas->Changed();
}

bool TCustomImageList::GetBitmap(int index, TBitmap* image) {
  if (!image || !ValidIndex(index)) return false;
  image->SetSize(Width_, Height_);
  TCanvas* canvas = image->Canvas();
  if (BkColor_ != clNone) {
    canvas->Brush()->SetColor(BkColor_);
    canvas->FillRect(Rect(0, 0, Width_, Height_));
  }
  canvas->Changing();
  ImageList_DrawEx(Handle_, index, canvas->Handle(), 0, 0, 0, 0, ListColor(BkColor_), CLR_DEFAULT, ILD_NORMAL);
  canvas->Changed();
  return true;
}

void TCustomImageList::Assign(TPersistent* source) {
  auto* list = dynamic_cast<TCustomImageList*>(source);
  if (!list) {
    TComponent::Assign(source);
    return;
  }
  if (list == this) return;
  FreeHandle();
  Width_ = list->Width_;
  Height_ = list->Height_;
  Masked_ = list->Masked_;
  BkColor_ = list->BkColor_;
  AllocBy_ = list->AllocBy_;
  if (list->Handle_) {
    Handle_ = TrackImageList(ImageList_Duplicate(list->Handle_));
    if (!Handle_) throw EOutOfResources("Out of system resources");
  }
  Change();
}

void TCustomImageList::Change() { OnChange(this); }
