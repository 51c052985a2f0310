// Hover fades and state animations: the steps a fade runs, the frames it offers, its ending and
// freeing itself, and the ways it stops early.
#include "tests/win/paint/PaintTestSupport.h"

#include "classlib/Forms.h"
#include "skin/engine/sFade.h"
#include "tests/support/Pump.h"

using namespace painttest;

namespace {

// A skinned window control that rebuilds its cache in the "new look" colour on QC_PREPAREFADE and
// records the centre of each fade frame (QC_FADEFRAME), answering 0 so the timer shows it.
class TFadeControl : public qvtest::TTestSkinControl {
 public:
  QV_CLASS_NAME(TFadeControl)
  explicit TFadeControl(TComponent* AOwner) : TTestSkinControl(AOwner, tcButton) {}
  ~TFadeControl() override { StopFade(Fade); }

  void WndProc(TMessage& m) override {
    if (m.Msg == SM_QUORVEXCMD && m.WParamHi() == QC_PREPAREFADE) {
      SkinData->InitCacheBmp();
      FillBmpRect(SkinData->CacheBmp, TRect{0, 0, Width(), Height()}, NewLook);
      SkinData->BGChanged = false;
      m.Result = 1;
      return;
    }
    if (m.Msg == SM_QUORVEXCMD && m.WParamHi() == QC_FADEFRAME) {
      auto* frame = reinterpret_cast<TBitmap*>(m.LParam);
      Frames.push_back(Px(frame, Width() / 2, Height() / 2));
      FrameBitmaps.push_back({frame, frame->Handle()});
      if (StopInFrame) StopFade(Fade);
      if (ThrowInFrame) throw Exception("frame handler failed");
      m.Result = 0;
      return;
    }
    TTestSkinControl::WndProc(m);
  }

  // The old look in the cache, ready for a fade.
  void SetOldLook(TColor c) {
    SkinData->InitCacheBmp();
    FillBmpRect(SkinData->CacheBmp, TRect{0, 0, Width(), Height()}, c);
    SkinData->BGChanged = false;
  }

  TsFadeTimer* Fade = nullptr;
  TColor NewLook = TColor(0xFFFFFF);
  std::vector<qv::TColorRef> Frames;
  std::vector<std::pair<TBitmap*, HBITMAP>> FrameBitmaps;
  bool StopInFrame = false;
  bool ThrowInFrame = false;
};

class TExceptionLog {
 public:
  void OnException(TObject*, const Exception& e) { Messages.push_back(e.Message()); }
  std::vector<std::string> Messages;
};

template <int Iterations, bool Fading = true>
class FadeTestT : public PaintTest {
 protected:
  void Customize(qvtest::TSkinBuilder& b) override {
    b.Key("BUTTON", "FADINGENABLED", Fading ? "TRUE" : "FALSE");
    b.Key("BUTTON", "FADINGITERATIONS", std::to_string(Iterations));
  }
  void SetUp() override {
    PaintTest::SetUp();
    Host = std::make_unique<qvtest::TTestHost>();
    C = Create<TFadeControl>(Host->Control());
    C->SetParent(Host->Control());
    C->SetBounds(10, 10, 40, 30);
    ASSERT_TRUE(C->SkinData->Skinned());
    C->SetOldLook(TColor(0x000000));
    BaseTimers = TacSelfFreeingTimer::LiveCount();
  }
  void TearDown() override {
    if (C) C->Free();
    Host.reset();
    qvtest::flush_events(20, 500);
    PaintTest::TearDown();
  }
  bool RunToEnd() {
    return qvtest::pump_until([&] { return C->Fade == nullptr && TacSelfFreeingTimer::LiveCount() == BaseTimers; });
  }

  std::unique_ptr<qvtest::TTestHost> Host;
  TFadeControl* C = nullptr;
  int BaseTimers = 0;
};

using Fade = FadeTestT<4>;
using FadeOneStep = FadeTestT<1>;
using FadeOff = FadeTestT<4, false>;

// FADINGITERATIONS steps, the old look's weight falling evenly, every frame painted into the one
// bitmap made when the fade started; the last frame is the new look exactly; afterwards the timer
// has cleared the control's pointer and freed itself.
TEST_F(Fade, RunsItsStepsAndFreesItself) {
  FadeOrRepaint(C->Fade, C->SkinData, false, true, 1);
  ASSERT_NE(C->Fade, nullptr);
  EXPECT_TRUE(C->SkinData->BGChanged == false) << "the control rebuilt its cache on QC_PREPAREFADE";
  EXPECT_TRUE(RunToEnd());
  ASSERT_EQ(C->Frames.size(), 4u);
  for (int step = 1; step <= 4; ++step) {
    const int weightOld = qv::FadeAmount(step, 4);
    EXPECT_TRUE(NearMix(C->Frames[step - 1], 0x000000, 0xFFFFFF, weightOld / 255.0))
        << "step " << step << ": " << Hex(C->Frames[step - 1]);
  }
  EXPECT_EQ(Hex(C->Frames.back()), Hex(0xFFFFFF));
  for (const auto& f : C->FrameBitmaps) EXPECT_EQ(f, C->FrameBitmaps.front()) << "a frame bitmap made in a tick";
  EXPECT_EQ(TacSelfFreeingTimer::LiveCount(), BaseTimers);
}

// Fast halves the steps.
TEST_F(Fade, FastHalvesTheSteps) {
  FadeOrRepaint(C->Fade, C->SkinData, true, true, 1);
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(C->Frames.size(), 2u);
  EXPECT_EQ(Hex(C->Frames.back()), Hex(0xFFFFFF));
}

// One step, halved when fast, is still one step (no division by zero) and ends on the new look.
TEST_F(FadeOneStep, OneStepHalvedStillRuns) {
  FadeOrRepaint(C->Fade, C->SkinData, true, true, 1);
  EXPECT_TRUE(RunToEnd());
  ASSERT_EQ(C->Frames.size(), 1u);
  EXPECT_EQ(Hex(C->Frames[0]), Hex(0xFFFFFF));
}

// A new fade while one runs reuses the timer and starts from the frame on the screen.
TEST_F(Fade, RestartReusesTheTimer) {
  FadeOrRepaint(C->Fade, C->SkinData, false, true, 1);
  TsFadeTimer* first = C->Fade;
  ASSERT_NE(first, nullptr);
  first->FadeStep();
  ASSERT_EQ(C->Frames.size(), 1u);
  const qv::TColorRef shown = C->Frames[0];
  C->NewLook = TColor(0x0000FF);
  FadeOrRepaint(C->Fade, C->SkinData, false, true, 1);
  EXPECT_EQ(C->Fade, first);
  EXPECT_EQ(Hex(Px(C->Fade->StartBmp(), 5, 5)), Hex(shown));
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(Hex(C->Frames.back()), Hex(0x0000FF));
}

TEST_F(Fade, NotAllowedRepaintsWithoutTimer) {
  FadeOrRepaint(C->Fade, C->SkinData, false, false, 1);
  EXPECT_EQ(C->Fade, nullptr);
  EXPECT_TRUE(C->SkinData->BGChanged);
  EXPECT_EQ(TacSelfFreeingTimer::LiveCount(), BaseTimers);
}

TEST_F(FadeOff, SectionWithoutFadingRepaints) {
  FadeOrRepaint(C->Fade, C->SkinData, false, true, 1);
  EXPECT_EQ(C->Fade, nullptr);
  EXPECT_TRUE(C->SkinData->BGChanged);
}

TEST_F(Fade, NoFadeWhileSkinChangesOrCacheStale) {
  SkinChanging = true;
  FadeOrRepaint(C->Fade, C->SkinData, false, true, 1);
  SkinChanging = false;
  EXPECT_EQ(C->Fade, nullptr);
  C->SkinData->BGChanged = true;  // the cache is not the look on the screen
  FadeOrRepaint(C->Fade, C->SkinData, false, true, 1);
  EXPECT_EQ(C->Fade, nullptr);
}

// Stopping the fade from inside its own frame handler does not free the timer under its feet.
TEST_F(Fade, StopInsideAFrameIsSafe) {
  C->StopInFrame = true;
  FadeOrRepaint(C->Fade, C->SkinData, false, true, 1);
  ASSERT_NE(C->Fade, nullptr);
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(C->Frames.size(), 1u);
}

TEST_F(Fade, StopFadeFreesAtOnce) {
  FadeOrRepaint(C->Fade, C->SkinData, false, true, 1);
  ASSERT_NE(C->Fade, nullptr);
  StopFade(C->Fade);
  EXPECT_EQ(C->Fade, nullptr);
  EXPECT_EQ(TacSelfFreeingTimer::LiveCount(), BaseTimers);
  StopFade(C->Fade);  // nothing to stop
}

// A disabled control ends the fade and is invalidated.
TEST_F(Fade, DisabledControlEndsTheFade) {
  FadeOrRepaint(C->Fade, C->SkinData, false, true, 1);
  C->SetEnabled(false);
  C->SkinData->BGChanged = false;
  EXPECT_TRUE(RunToEnd());
  EXPECT_TRUE(C->Frames.empty());
  EXPECT_TRUE(C->SkinData->BGChanged);
}

// An exception in a window control's frame handler stays at its window procedure: each failing
// frame is reported once and the fade still ends and frees itself.
TEST_F(Fade, ExceptionInAFrameHandlerGoesToTheApplication) {
  TExceptionLog log;
  TExceptionEvent old = Application->OnException;
  Application->OnException = MakeMethod<&TExceptionLog::OnException>(&log);
  C->ThrowInFrame = true;
  FadeOrRepaint(C->Fade, C->SkinData, false, true, 1);
  EXPECT_TRUE(RunToEnd());
  Application->OnException = old;
  EXPECT_EQ(log.Messages.size(), 4u);
  for (const auto& m : log.Messages) EXPECT_EQ(m, "frame handler failed");
}

// A graphic control is asked through Perform: its exception reaches the tick, which ends the fade
// and hands the exception to the application instead of letting it through the timer callback.
class TFadeGraphic : public qvtest::TTestSkinGraphic {
 public:
  QV_CLASS_NAME(TFadeGraphic)
  explicit TFadeGraphic(TComponent* AOwner) : TTestSkinGraphic(AOwner, tcButton) {}
  ~TFadeGraphic() override { StopFade(Fade); }
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_QUORVEXCMD && m.WParamHi() == QC_PREPAREFADE) {
      FillBmpRect(SkinData->CacheBmp, TRect{0, 0, Width(), Height()}, TColor(0xFFFFFF));
      SkinData->BGChanged = false;
      return;
    }
    if (m.Msg == SM_QUORVEXCMD && m.WParamHi() == QC_FADEFRAME) {
      ++FrameCount;
      throw Exception("graphic frame failed");
    }
    TTestSkinGraphic::WndProc(m);
  }
  TsFadeTimer* Fade = nullptr;
  int FrameCount = 0;
};

TEST_F(Fade, ExceptionInATickEndsTheFade) {
  TExceptionLog log;
  TExceptionEvent old = Application->OnException;
  Application->OnException = MakeMethod<&TExceptionLog::OnException>(&log);
  auto* g = Create<TFadeGraphic>(Host->Control());
  g->SetParent(Host->Control());
  g->SetBounds(60, 10, 30, 20);
  g->SkinData->InitCacheBmp();
  g->SkinData->BGChanged = false;
  ASSERT_TRUE(g->SkinData->Skinned());
  FadeOrRepaint(g->Fade, g->SkinData, false, true, 1);
  ASSERT_NE(g->Fade, nullptr);
  EXPECT_TRUE(qvtest::pump_until([&] { return g->Fade == nullptr && TacSelfFreeingTimer::LiveCount() == BaseTimers; }));
  Application->OnException = old;
  EXPECT_EQ(g->FrameCount, 1);
  ASSERT_EQ(log.Messages.size(), 1u);
  EXPECT_EQ(log.Messages[0], "graphic frame failed");
  g->Free();
}

// Freeing the control while its fade runs leaves no timer behind.
TEST_F(Fade, ControlFreedDuringFade) {
  FadeOrRepaint(C->Fade, C->SkinData, false, true, 1);
  C->Free();
  C = nullptr;
  EXPECT_TRUE(qvtest::pump_until([&] { return TacSelfFreeingTimer::LiveCount() == BaseTimers; }));
}

// The state animation: FADINGITERATIONS frames blending the start image into the cache, then the
// timer ends, clears its slot and frees itself.
TEST_F(Fade, AnimTimerStepsAndEnds) {
  TsAnimTimer* anim = Create<TsAnimTimer>(C);
  anim->BindTo(C->SkinData, false, &anim);
  EXPECT_EQ(anim->Iterations, 4);
  EXPECT_EQ(anim->Frame(), nullptr);
  FillBmpRect(C->SkinData->CacheBmp, TRect{0, 0, 40, 30}, TColor(0xFFFFFF));
  anim->AnimStep();
  ASSERT_NE(anim->Frame(), nullptr);
  EXPECT_TRUE(NearMix(Px(anim->Frame(), 5, 5), 0x000000, 0xFFFFFF, qv::FadeAmount(1, 4) / 255.0));
  anim->SetEnabled(true);
  EXPECT_TRUE(qvtest::pump_until([&] { return anim == nullptr && TacSelfFreeingTimer::LiveCount() == BaseTimers; }));
}

TEST_F(Fade, AnimTimerHalvedNeverZero) {
  TsAnimTimer* anim = Create<TsAnimTimer>(C);
  anim->BindTo(C->SkinData, true, &anim);
  EXPECT_EQ(anim->Iterations, 2);
  StopAnimTimer(anim);
  EXPECT_EQ(anim, nullptr);
}

// The show animation: the overlay covers the control, then fades into its picture and goes.
TEST_F(Fade, OverlayShownAndFreed) {
  const TGdiCounts before = GdiLiveCounts();
  ShowOutputOverlay(C);
  HWND overlay = OutputOverlayWindow();
  ASSERT_NE(overlay, nullptr);
  EXPECT_TRUE(IsWindowVisible(overlay));
  RECT r{};
  GetWindowRect(overlay, &r);
  EXPECT_EQ(r.right - r.left, C->Width());
  EXPECT_EQ(r.bottom - r.top, C->Height());
  AnimateControlShow(C, 30);
  // The fade runs on a timer of its own, which takes the overlay away and frees itself.
  EXPECT_TRUE(OutputOverlayFading());
  EXPECT_TRUE(qvtest::pump_until(
      [&] { return OutputOverlayWindow() == nullptr && TacSelfFreeingTimer::LiveCount() == BaseTimers; }));
  EXPECT_FALSE(IsWindow(overlay));
  EXPECT_FALSE(OutputOverlayFading());
  EXPECT_EQ(GdiLiveCounts(), before);
  AnimateControlShow(C, 30);  // no overlay: nothing to do
  EXPECT_FALSE(OutputOverlayFading());
}

// A fade still running ends with its control: the overlay goes and nothing is left.
TEST_F(Fade, OverlayFadeEndsWithItsControl) {
  ShowOutputOverlay(C);
  AnimateControlShow(C, 2000);
  ASSERT_TRUE(OutputOverlayFading());
  FreeAndNil(C);
  EXPECT_EQ(OutputOverlayWindow(), nullptr);
  EXPECT_FALSE(OutputOverlayFading());
  EXPECT_EQ(TacSelfFreeingTimer::LiveCount(), BaseTimers);
}

}  // namespace
