// The skinned list box against the plain class-library list box, in one run: each is filled with
// 100,000 items (the skinned one between BeginUpdate and EndUpdate, the plain one between
// WM_SETREDRAW off and on) and then scrolled once from the top to the bottom a page at a time,
// each page painted before the next. Prints the times and the ratio skinned / plain.
#include "classlib/Win.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "skin/controls/sQuorvexListBox.h"
#include "skin/engine/acSkinPack.h"
#include "skin/engine/sSkinManager.h"
#include "bench/win/BenchSkin.h"
#include "bench/win/BenchTiming.h"

namespace {

using namespace qvbench;

constexpr int Items = 100000;

// A window control of the class library over the system list box, nothing added.
class TPlainListBox : public TWinControl {
 public:
  QV_CLASS_NAME(TPlainListBox)
  using TWinControl::TWinControl;

 protected:
  void CreateParams(TCreateParams& Params) override {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "LISTBOX");
    Params.Style |= WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  }
};

double Seconds(const std::function<void()>& work) {
  LARGE_INTEGER f, a, b;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&a);
  work();
  QueryPerformanceCounter(&b);
  return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

// One scroll from the top to the bottom, a page at a time, each page painted (frame and bars
// included) before the next.
int ScrollThrough(HWND wnd) {
  SendMessageA(wnd, LB_SETTOPINDEX, 0, 0);
  int pages = 0;
  for (int last = -1;; ++pages) {
    const int top = int(SendMessageA(wnd, LB_GETTOPINDEX, 0, 0));
    if (top == last) break;
    last = top;
    SendMessageA(wnd, WM_VSCROLL, SB_PAGEDOWN, 0);
    RedrawWindow(wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
  }
  return pages;
}

struct TResult {
  double Fill = 0, Scroll = 0;
  int Pages = 0;
};

}  // namespace

int main() {
  NoteUnoptimisedBuild();
  std::vector<std::string> texts;
  texts.reserve(Items);
  for (int i = 0; i < Items; ++i) texts.push_back("List item number " + std::to_string(i));

  auto* form = Create<TForm>(Application);
  form->SetBounds(20, 20, 480, 700);
  form->Show();

  auto* plain = Create<TPlainListBox>(form);
  plain->SetParent(form);
  plain->SetBounds(10, 10, 200, 600);
  TResult p;
  p.Fill = Seconds([&] {
    HWND w = plain->Handle();
    SendMessageA(w, WM_SETREDRAW, 0, 0);
    for (const std::string& s : texts) SendMessageA(w, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    SendMessageA(w, WM_SETREDRAW, 1, 0);
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    Pump();
  });
  p.Scroll = Seconds([&] { p.Pages = ScrollThrough(plain->Handle()); });

  auto* manager = Create<TsSkinManager>(nullptr);
  manager->SetIsDefault(true);
  manager->SetSkinName(BuiltInSkinName);
  if (!manager->SkinData()->Active) {
    std::printf("skin not loaded: %s\n", manager->LastError().c_str());
    return 1;
  }
  auto* skinned = Create<TsListBox>(form);
  skinned->SetParent(form);
  skinned->SetBounds(250, 10, 200, 600);
  Pump();
  TResult s;
  s.Fill = Seconds([&] {
    skinned->Items()->BeginUpdate();
    for (const std::string& t : texts) skinned->Items()->Add(t);
    skinned->Items()->EndUpdate();
    RedrawWindow(skinned->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_FRAME);
    Pump();
  });
  s.Scroll = Seconds([&] { s.Pages = ScrollThrough(skinned->Handle()); });

  std::printf(
      "list box, %d items: plain fill %.0f ms, scroll %.0f ms (%d pages); skinned fill %.0f ms, scroll %.0f ms "
      "(%d pages)\n",
      Items, p.Fill * 1e3, p.Scroll * 1e3, p.Pages, s.Fill * 1e3, s.Scroll * 1e3, s.Pages);
  std::printf("ratio skinned / plain: fill %.2f, scroll %.2f, both %.2f\n", s.Fill / p.Fill, s.Scroll / p.Scroll,
              (s.Fill + s.Scroll) / (p.Fill + p.Scroll));
  form->Free();
  manager->Free();
  return 0;
}
