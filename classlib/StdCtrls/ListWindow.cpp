// The items of list and combo box windows read out and put back in one pass.
#include <algorithm>

#include "classlib/StdCtrls.h"

namespace {

// Sends a message, or hands it to the window's own procedure when one is given.
struct TListWindowSender {
  HWND Wnd;
  WNDPROC Proc;
  LRESULT operator()(UINT Msg, WPARAM WParam, LPARAM LParam) const {
    return Proc ? CallWindowProcA(Proc, Wnd, Msg, WParam, LParam) : SendMessageA(Wnd, Msg, WParam, LParam);
  }
};

}  // namespace

void ReadListWindowItems(HWND Wnd, const TListWindowKind& Kind, TStrings& Items, WNDPROC Proc) {
  const TListWindowSender send{Wnd, Proc};
  const LRESULT count = send(Kind.GetCount, 0, 0);
  std::string text;
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT len = send(Kind.GetTextLen, WPARAM(i), 0);
    text.assign(std::size_t(std::max<LRESULT>(len, 0)) + 1, '\0');
    const LRESULT got = send(Kind.GetText, WPARAM(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::size_t(std::clamp<LRESULT>(got, 0, std::max<LRESULT>(len, 0))));
    const LRESULT data = send(Kind.GetItemData, WPARAM(i), 0);
    Items.AddObject(text, data == LB_ERR ? nullptr : reinterpret_cast<TObject*>(data));
  }
}

int FillListWindow(HWND Wnd, const TListWindowKind& Kind, const TStrings& Items, WNDPROC Proc) {
  const TListWindowSender send{Wnd, Proc};
  const int count = Items.Count();
  if (count == 0) return 0;
  // The window grows its storage once, not in small steps as items come.
  std::size_t bytes = 0;
  for (int i = 0; i < count; ++i) bytes += Items.Strings(i).size() + 1;
  send(Kind.InitStorage, WPARAM(count), LPARAM(bytes));
  int added = 0;
  for (int i = 0; i < count; ++i) {
    const LRESULT at = send(Kind.AddString, 0, reinterpret_cast<LPARAM>(Items.Strings(i).c_str()));
    if (at < 0) continue;
    ++added;
    if (TObject* object = Items.Objects(i)) send(Kind.SetItemData, WPARAM(at), reinterpret_cast<LPARAM>(object));
  }
  return added;
}
