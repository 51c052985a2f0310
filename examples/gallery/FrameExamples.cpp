#include "examples/gallery/FrameExamples.h"

#include <algorithm>

#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "skin/windows/sSkinProvider.h"

namespace {

TForm* ToolWindow = nullptr;
TForm* DialogForm = nullptr;

TForm* MakeFrameForm(TCustomForm* owner, TFormBorderStyle style, const char* caption, const char* text) {
  auto* form = Create<TForm>(owner);
  form->SetBorderStyle(style);
  form->SetCaption(caption);
  // The provider comes before the window shows: the first frame is the skin's.
  Create<TsSkinProvider>(form);
  auto* label = Create<TLabel>(form);
  label->SetParent(form);
  label->SetCaption(text);
  label->SetBounds(12, 12, 220, 40);
  auto* button = Create<TButton>(form);
  button->SetParent(form);
  button->SetCaption("Close");
  button->SetBounds(12, 56, 90, 26);
  button->OnClick = TNotifyEvent(form, [](void* f, TObject*) { static_cast<TForm*>(f)->Close(); });
  return form;
}

}  // namespace

RECT ShowFrameExamples(TCustomForm* Owner) {
  if (!ToolWindow) {
    ToolWindow = MakeFrameForm(Owner, bsToolWindow, "Tool window", "A tool window: small caption\nand title buttons.");
    DialogForm = MakeFrameForm(Owner, bsDialog, "Dialog border", "A dialog border: no icon,\nno sizing frame.");
  }
  const int x = Owner->Left() + 60, y = Owner->Top() + 160;
  ToolWindow->SetBounds(x, y, 250, 130);
  DialogForm->SetBounds(x + 270, y, 270, 140);
  ToolWindow->Show();
  DialogForm->Show();
  RECT a{}, b{}, r{};
  GetWindowRect(ToolWindow->Handle(), &a);
  GetWindowRect(DialogForm->Handle(), &b);
  UnionRect(&r, &a, &b);
  return r;
}
