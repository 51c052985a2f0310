#include "examples/gallery/ScrollAdapterExamples.h"

#include <string>

#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "skin/windows/acSBUtils.h"

namespace {

// Owns the adapters (and the memo's skin state) and frees them with the form.
class TScrollAdapterExamples : public TComponent {
 public:
  QV_CLASS_NAME(TScrollAdapterExamples)
  using TComponent::TComponent;
  ~TScrollAdapterExamples() override {
    FreeAndNil(MemoAdapter);
    FreeAndNil(ListAdapter);
    delete MemoData;
  }
  TsCommonData* MemoData = nullptr;
  TacEditWnd* MemoAdapter = nullptr;
  TacEditWnd* ListAdapter = nullptr;
};

}  // namespace

void AddScrollAdapterExamples(TWinControl* Parent) {
  TComponent* owner = Parent->Owner() ? Parent->Owner() : Parent;
  auto* holder = Create<TScrollAdapterExamples>(owner);

  auto* memo = Create<TMemo>(owner);
  memo->SetParent(Parent);
  memo->SetBounds(8, 8, 220, 120);
  memo->SetScrollBars(ssBoth);
  memo->SetWordWrap(false);
  std::string text;
  for (int i = 1; i <= 40; ++i)
    text += "Line " + std::to_string(i) + " of a memo whose lines are longer than its window is wide\r\n";
  memo->SetText(text);
  holder->MemoData = new TsCommonData(memo, false);
  holder->MemoData->SetSkinSection("EDIT");
  holder->MemoAdapter = Create<TacEditWnd>(memo->Handle(), holder->MemoData, nullptr, "EDIT", true);

  HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY, 236, 8, 160, 120,
                              Parent->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
  // A bare window starts with the system font: it takes the form's, like the controls around it.
  if (TCustomForm* form = GetParentForm(Parent)) SendMessageA(list, WM_SETFONT, WPARAM(form->Font()->Handle()), FALSE);
  for (int i = 1; i <= 40; ++i) SendMessageA(list, LB_ADDSTRING, 0, LPARAM(("List item " + std::to_string(i)).c_str()));
  holder->ListAdapter = Create<TacEditWnd>(list, nullptr, nullptr, "EDIT", true);
}
