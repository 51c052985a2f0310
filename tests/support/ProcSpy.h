// Records what a class-library control's WindowProc receives (the messages in Only, or all when
// Only is empty) and passes every message on to the procedure it replaced. With Into set, the
// messages go to that spy's sequence instead, under the control's own key (its address as a window).
#pragma once

#include <algorithm>
#include <vector>

#include "classlib/Controls.h"
#include "tests/support/MessageSpy.h"

namespace qvtest {

struct ProcSpy {
  TControl* Control = nullptr;
  TWndMethod Old;
  std::vector<UINT> Only;
  std::vector<MsgEntry> Seen;
  MessageSpy* Into = nullptr;

  void Attach(TControl* c) {
    Control = c;
    Old = c->WindowProc;
    c->WindowProc = MakeMethod<&ProcSpy::Proc>(this);
  }
  void Detach() {
    if (Control) Control->WindowProc = Old;
    Control = nullptr;
  }
  void Proc(TMessage& m) {
    if (Into)
      Into->Record(reinterpret_cast<HWND>(Control), m.Msg, m.WParam, m.LParam);
    else if (Only.empty() || std::find(Only.begin(), Only.end(), m.Msg) != Only.end())
      Seen.push_back(MsgEntry{m.Msg, 0, m.WParam, m.LParam, nullptr});
    Old(m);
  }
  int Count(UINT msg) const {
    return static_cast<int>(std::count_if(Seen.begin(), Seen.end(), [&](const MsgEntry& e) { return e.Msg == msg; }));
  }
};

}  // namespace qvtest
