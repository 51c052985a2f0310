#include "tests/support/SkinTestSupport.h"

#include "tests/support/Pump.h"

#include <stdexcept>

namespace qvtest {

TsSkinManager* CreateTestManager(const TSkinBuilder& builder, const std::string& name, bool makeDefault) {
  auto* sm = Create<TsSkinManager>(nullptr);
  if (makeDefault) sm->SetIsDefault(true);
  sm->AddInternalSkin(name, builder.Packed());
  sm->SetSkinName(name);
  return sm;
}

namespace {

class THostControl : public TWinControl {
 public:
  QV_CLASS_NAME(THostControl)
  explicit THostControl(TComponent* AOwner) : TWinControl(AOwner) { ControlStyle_.Include(csAcceptsControls); }
};

LRESULT CALLBACK HostFrameProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

const char* HostClassName() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = HostFrameProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "QvTestHostFrame";
    RegisterClassA(&wc);
    registered = true;
  }
  return "QvTestHostFrame";
}

}  // namespace

TTestHost::TTestHost(int width, int height) {
  Wnd_ = CreateWindowExA(0, HostClassName(), "Skin test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 60,
                         60, width + 16, height + 40, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  // Without a display (an X server Wine cannot reach) no window is made; say so here rather than
  // let the first control fail for want of a parent window.
  if (!Wnd_) throw std::runtime_error("the test host window cannot be created (no display?)");
  Control_ = Create<THostControl>(nullptr);
  Control_->SetBounds(0, 0, width, height);
  Control_->SetParentWindow(Wnd_);
  Control_->HandleNeeded();
  ShowWindow(Control_->Handle(), SW_SHOWNA);
  flush_events(30, 1000);
}

TTestHost::~TTestHost() {
  FreeAndNil(Control_);
  if (Wnd_) DestroyWindow(Wnd_);
  flush_events(20, 500);
}

TTestSkinControl::TTestSkinControl(TComponent* AOwner, std::uint8_t typeCode) : TWinControl(AOwner) {
  ControlStyle_.Include(csAcceptsControls);
  SkinData = new TsCommonData(this, true);
  SkinData->TypeCode = typeCode;
}

TTestSkinControl::~TTestSkinControl() {
  delete SkinData;
  SkinData = nullptr;
}

void TTestSkinControl::AfterConstruction() {
  TWinControl::AfterConstruction();
  SkinData->Loaded();
}

void TTestSkinControl::WndProc(TMessage& Message) {
  if (Message.Msg == SM_QUORVEXCMD) Commands.push_back({Message.WParamHi(), Message.WParamLo(), Message.LParam});
  if (SkinData && HandleCommonMessage(Message, SkinData)) {
    // A container passes the skin change on to its children.
    const int cmd = Message.WParamHi();
    if (Message.Msg == SM_QUORVEXCMD && (cmd == QC_SKINLOADED || cmd == QC_SKINREMOVED || cmd == QC_REFRESH)) {
      TMessage m = Message;
      BroadcastToControls(this, m);
    }
    return;
  }
  TWinControl::WndProc(Message);
}

std::vector<int> TTestSkinControl::CommandCodes() const {
  std::vector<int> codes;
  for (const auto& c : Commands)
    if (c.Command != QC_ISSKINNED) codes.push_back(c.Command);
  return codes;
}

TTestSkinGraphic::TTestSkinGraphic(TComponent* AOwner, std::uint8_t typeCode) : TGraphicControl(AOwner) {
  SkinData = new TsCommonData(this, false);
  SkinData->TypeCode = typeCode;
}

TTestSkinGraphic::~TTestSkinGraphic() {
  delete SkinData;
  SkinData = nullptr;
}

void TTestSkinGraphic::AfterConstruction() {
  TGraphicControl::AfterConstruction();
  SkinData->Loaded();
}

void TTestSkinGraphic::WndProc(TMessage& Message) {
  if (Message.Msg == SM_QUORVEXCMD) Commands.push_back({Message.WParamHi(), Message.WParamLo(), Message.LParam});
  if (SkinData && HandleCommonMessage(Message, SkinData)) return;
  TGraphicControl::WndProc(Message);
}

void SkinEngineTest::TearDown() {
  flush_events(20, 500);
  SharedParentColor = clParentColorUnset;
  SharedCacheInfo = TsCacheInfo{};
}

}  // namespace qvtest
