#include "classlib/Clipbrd.h"

#include <cstring>
#include <memory>

namespace {

const char kOwnerClass[] = "QvClipboardOwner";

// Opens the clipboard for the scope of one operation.
class TClipboardScope {
 public:
  explicit TClipboardScope(TClipboard* c) : C_(c) { C_->Open(); }
  ~TClipboardScope() { C_->Close(); }
  TClipboardScope(const TClipboardScope&) = delete;
  TClipboardScope& operator=(const TClipboardScope&) = delete;

 private:
  TClipboard* C_;
};

}  // namespace

TClipboard::~TClipboard() {
  if (OpenRefCount_ > 0) CloseClipboard();
  if (Window_) DestroyWindow(Window_);
}

HWND TClipboard::OwnerWindow() {
  if (!Window_) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    if (!GetClassInfoA(instance, kOwnerClass, &wc)) {
      wc.lpfnWndProc = DefWindowProcA;
      wc.hInstance = instance;
      wc.lpszClassName = kOwnerClass;
      RegisterClassA(&wc);
    }
    Window_ = CreateWindowExA(0, kOwnerClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  }
  return Window_;
}

void TClipboard::Open() {
  if (OpenRefCount_ == 0) {
    HWND owner = OwnerWindow();
    bool opened = false;
    // Another program may hold the clipboard for a moment.
    for (int attempt = 0; attempt < 20 && !opened; ++attempt) {
      opened = OpenClipboard(owner) != FALSE;
      if (!opened) Sleep(10);
    }
    if (!opened) throw EClipboardException("Cannot open clipboard");
    Emptied_ = false;
  }
  ++OpenRefCount_;
}

void TClipboard::Close() {
  if (OpenRefCount_ == 0) return;
  if (--OpenRefCount_ == 0) CloseClipboard();
}

void TClipboard::Clear() {
  TClipboardScope scope(this);
  EmptyClipboard();
  Emptied_ = true;
}

void TClipboard::Adding() {
  if (!Emptied_) {
    EmptyClipboard();
    Emptied_ = true;
  }
}

bool TClipboard::HasFormat(UINT format) { return IsClipboardFormatAvailable(format) != FALSE; }

std::string TClipboard::AsText() {
  TClipboardScope scope(this);
  HANDLE data = GetClipboardData(CF_TEXT);
  if (!data) return {};
  const char* text = static_cast<const char*>(GlobalLock(data));
  if (!text) return {};
  std::size_t limit = GlobalSize(data);
  std::string result(text, strnlen(text, limit));
  GlobalUnlock(data);
  return result;
}

void TClipboard::SetBuffer(UINT format, const void* data, std::size_t size) {
  TClipboardScope scope(this);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size ? size : 1);
  if (!block) throw EOutOfResources("Out of system resources");
  void* p = GlobalLock(block);
  if (size) std::memcpy(p, data, size);
  GlobalUnlock(block);
  Adding();
  // The system owns the block once it took it.
  if (!SetClipboardData(format, block)) {
    GlobalFree(block);
    throw EClipboardException("Cannot put data on the clipboard");
  }
}

void TClipboard::SetAsText(const std::string& text) { SetBuffer(CF_TEXT, text.c_str(), text.size() + 1); }

TClipboard* Clipboard() {
  static std::unique_ptr<TClipboard> clipboard(new TClipboard);
  return clipboard.get();
}
