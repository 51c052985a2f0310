// TIcon.
#include "classlib/Graphics.h"

#include <algorithm>

#include "classlib/GdiScopes.h"

// ---- TIcon ------------------------------------------------------------------------------------

TIcon::~TIcon() { DestroyTrackedIcon(Handle_); }

void TIcon::SetHandle(HICON icon) {
  if (icon == Handle_) return;
  HICON old = Handle_;
  Handle_ = TrackIcon(icon);
  Width_ = Height_ = 0;
  if (icon) {
    ICONINFO ii{};
    if (GetIconInfo(icon, &ii)) {
      BITMAP bm{};
      if (ii.hbmColor && GetObjectA(ii.hbmColor, sizeof bm, &bm)) {
        Width_ = bm.bmWidth;
        Height_ = bm.bmHeight;
      } else if (ii.hbmMask && GetObjectA(ii.hbmMask, sizeof bm, &bm)) {
        Width_ = bm.bmWidth;
        Height_ = bm.bmHeight / 2;
      }
      // These bitmaps are copies the system made for the call.
      GdiObject<HBITMAP> color(ii.hbmColor), mask(ii.hbmMask);
    }
  }
  DestroyTrackedIcon(old);
  Changed();
}

HICON TIcon::ReleaseHandle() {
  HICON h = Handle_;
  ForgetIcon(h);
  Handle_ = nullptr;
  Width_ = Height_ = 0;
  Changed();
  return h;
}

void TIcon::SetWidth(int width) {
  if (Handle_) throw EInvalidGraphicOperation("Cannot change the size of an icon");
  RequestedWidth_ = std::max(width, 0);
}
void TIcon::SetHeight(int height) {
  if (Handle_) throw EInvalidGraphicOperation("Cannot change the size of an icon");
  RequestedHeight_ = std::max(height, 0);
}

void TIcon::LoadFromResourceName(HINSTANCE instance, const std::string& name, int width, int height) {
  if (width == 0) width = RequestedWidth_;
  if (height == 0) height = RequestedHeight_;
  HANDLE icon = LoadImageA(instance, name.c_str(), IMAGE_ICON, width, height, 0);
  if (!icon) throw EInvalidGraphic("Resource " + name + " not found");
  SetHandle(static_cast<HICON>(icon));
}

void TIcon::LoadFromResourceID(HINSTANCE instance, int id, int width, int height) {
  if (width == 0) width = RequestedWidth_;
  if (height == 0) height = RequestedHeight_;
  HANDLE icon = LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, width, height, 0);
  if (!icon) throw EInvalidGraphic("Resource " + std::to_string(id) + " not found");
  SetHandle(static_cast<HICON>(icon));
}

void TIcon::Assign(TPersistent* source) {
  if (!source) {
    SetHandle(nullptr);
    return;
  }
  if (auto* i = dynamic_cast<TIcon*>(source)) {
    if (i == this) return;
    SetHandle(i->Handle_ ? CopyIcon(i->Handle_) : nullptr);
    return;
  }
  TPersistent::Assign(source);
}

void TIcon::Draw(TCanvas* canvas, const TRect& r) {
  if (!Handle_ || !canvas) return;
  DrawIconEx(canvas->Handle(), r.Left, r.Top, Handle_, r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
}
