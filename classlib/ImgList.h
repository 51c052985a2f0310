// Image lists of the class library on the common controls' image lists.
//
// The list creates its HIMAGELIST on first use and owns it; changing Width, Height or Masked
// empties the list. Images are copied into the list, the bitmaps passed in stay the caller's.
#pragma once

#include "classlib/Win.h"

#include "classlib/Graphics.h"
#include "classlib/core/Classes.h"

class TCustomImageList : public TComponent {
 public:
  QV_CLASS_NAME(TCustomImageList)
  explicit TCustomImageList(TComponent* owner);
  ~TCustomImageList() override;

  HIMAGELIST Handle();
  bool HandleAllocated() const { return Handle_ != nullptr; }

  int Width() const { return Width_; }
  void SetWidth(int width);
  int Height() const { return Height_; }
  void SetHeight(int height);
  void SetSize(int width, int height);
  int Count() const;
  // The colour behind the images when drawn; clNone draws them transparently by their masks.
  TColor BkColor() const { return BkColor_; }
  void SetBkColor(TColor color);
  bool Masked() const { return Masked_; }
  void SetMasked(bool masked);
  int AllocBy() const { return AllocBy_; }
  void SetAllocBy(int count) { AllocBy_ = count > 0 ? count : 1; }

  // Adds the image (a wide bitmap adds one image per Width pixels); mask: white marks the
  // transparent pixels (nullptr: none). Returns the index of the first image added, -1 on failure.
  int Add(TBitmap* image, TBitmap* mask);
  // Adds the image with maskColor as transparent colour (clDefault: the bitmap's transparent
  // colour). The image itself is not changed.
  int AddMasked(TBitmap* image, TColor maskColor);
  int AddIcon(TIcon* icon);
  void Delete(int index);
  void Clear();

  // Draws image index at x, y of the canvas; a disabled image is drawn in greys of its
  // luminance over what the canvas shows.
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
  // Sizes image to one image of the list and draws image index into it (over the list's
  // background colour when it has one). false for a bad index or no image.
  bool GetBitmap(int index, TBitmap* image);

  // Copies the images and settings of another image list.
  void Assign(TPersistent* source) override;

  TNotifyEvent OnChange;

 protected:
  virtual void Change();

 private:
  void HandleNeeded();
  void FreeHandle();
  bool ValidIndex(int index) const { return index >= 0 && index < Count(); }

  HIMAGELIST Handle_ = nullptr;
  int Width_ = 16;
  int Height_ = 16;
  TColor BkColor_ = clNone;
  bool Masked_ = true;
  int AllocBy_ = 4;
};

class TImageList : public TCustomImageList {
 public:
  QV_CLASS_NAME(TImageList)
  using TCustomImageList::TCustomImageList;
};
