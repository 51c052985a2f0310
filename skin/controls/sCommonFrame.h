// The frame every skinned control shares.
//
// A skinned control is a class-library control with one added member, its TsCommonData, through
// which it paints itself in the current skin. TacSkinnedControl<Base> adds that member (with the
// AnimatEvents set, the mouse enter / leave events and the hover fade timer) to any class-library
// base, answers once what every skinned control answers alike, and runs the window procedure in
// the common order. A control class derives from it and overrides only what differs.
//
// ---- The window procedure ---------------------------------------------------------------------
//
//   1. Skin commands answered whether or not the control is skinned: first the control's own
//      (AnswerAnyState), then the frame's (the table below). Each of them ends the message.
//   2. When the control is ready and skinned (ReadyAndSkinned): its own cases (SkinnedMessage),
//      then the common handler (HandleCommonMessage); when that did not answer, the control's
//      cases that come after it (AfterCommonMessage) and the inherited window procedure; then
//      what the control looks at after them (AfterInherited). Any step may end the message.
//   3. Otherwise the plain path (PlainMessage: the mouse enter / leave events), then the
//      inherited window procedure.
//
// ---- Skin commands the frame answers (step 1) -------------------------------------------------
//
//   QC_SKINLOADED, QC_SKINREMOVED, QC_REFRESH
//             Only when LParam is the control's effective manager (QC_SKINREMOVED not while the
//             control is being destroyed): BeforeSkinChange (default: the fade is stopped), the
//             common answer (HandleSkinCommand), AfterSkinChange (default: nothing for
//             QC_SKINLOADED; a repaint for QC_SKINREMOVED; for QC_REFRESH a repaint unless a
//             printing DC is active; nothing while a skin switch runs: its end paints every window
//             once). A container (PassesSkinCommandsOn) also passes them on to what lies inside it
//             (PassSkinCommandOn): QC_SKINLOADED before its own answer, the other two after it,
//             and for any manager.
//   QC_UPDATEDONE       when Updating is set it is cleared and RepaintAfterUpdate runs
//                       (default: Repaint).
//   QC_ISSKINNED, QC_GETAPPLICATION
//                       the answers every skinned window gives (AnswerIdentity,
//                       skin/engine/SkinWalk.h).
//   QC_STOPFADE         StopFading.
//   QC_GETSECTIONINDEX  Result = SkinIndex + 1 (0 when the section is unknown).
// Every other command goes on to step 2 (or 3), where the common handler answers the rest.
//
// ---- Building blocks for a control's own code -------------------------------------------------
//
// The free functions below are the common steps a control's paint and mouse code is built from:
// the start and end of PrepareCache, the paint handler's Updating and partly-hidden tests,
// copying the cache to a window, hover fading, focus dots and the hints held off while a mouse
// button is down. The template's protected members wrap the ones that need the control's fade
// timer or events (FadeOnEnterLeave, ShowFocusChange).
#pragma once

#include "classlib/Win.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "classlib/Controls.h"
#include "classlib/Forms.h"
#include "classlib/Graphics.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sFade.h"
#include "skin/engine/PressedState.h"
#include "skin/engine/SkinWalk.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sSkinManager.h"

// ---- Tests on a control and a message -----------------------------------------------------------

// The control is being designed.
bool IsDesigning(const TControl* Control);
// The control is being destroyed.
bool IsDying(const TControl* Control);
// A QC_SKINLOADED, QC_SKINREMOVED or QC_REFRESH whose LParam names the control's effective manager.
bool IsOwnManagerCommand(const TMessage& Message, const TsCommonData* SkinData);
// CM_MOUSEENTER / CM_MOUSELEAVE reach the parents too, with the child in LParam: true when the
// message is the control's own (LParam 0 or the control).
bool IsOwnEnterLeave(const TMessage& Message, const TControl* Control);
// Ready (ControlIsReady) and skinned.
bool FrameSkinned(const TControl* Control, const TsCommonData* SkinData, bool CheckActive = true);
// The section of the skin data, or nullptr when the control is not skinned.
const TsGeneralData* SectionOf(const TsCommonData* SkinData);

// Fires OnMouseEnter / OnMouseLeave for the control's own CM_MOUSEENTER / CM_MOUSELEAVE when the
// control is enabled and not being designed (the unskinned path of the window procedure).
void FirePlainEnterLeave(TControl* Control, const TMessage& Message, const TNotifyEvent& OnEnter,
                         const TNotifyEvent& OnLeave);

// ---- PrepareCache ---------------------------------------------------------------------------------

// Steps 1 and 2: the parent's cache is asked for, the cache bitmap sized to the control, the shared
// parent colour set (the parent's colour when it keeps no cache, else asked from the parent when
// the control does not repaint on moves). Returns the parent's cache record.
TsCacheInfo BeginPrepareCache(TControl* Control, TsCommonData* SkinData);
// Step 5: the disabled look (when the control or its action is not enabled), over the parent's
// cache at the control's position.
void ApplyDisabledIfNeeded(TControl* Control, TsCommonData* SkinData, TsDisabledKind Kind);
// Step 6: shared parent colour unset, BGChanged cleared.
void EndPrepareCache(TsCommonData* SkinData);
// The control's action is a custom action that is disabled.
bool ActionDisabled(const TControl* Control);

// ---- The paint handler ------------------------------------------------------------------------------

// Updating asked again (the parent may be busy) and stored; true while the control must paint
// nothing.
bool RefreshUpdating(TsCommonData* SkinData);
// BGChanged is forced when the control was partly hidden or its parent says it is (QC_ISPARTLYHIDDEN);
// then PartlyHidden = the control does not lie wholly inside its parent's client area.
void NotePartlyHidden(TControl* Control, TsCommonData* SkinData);
// Copies Width x Height of the cache bitmap to DC (its state saved and restored around the copy);
// when DC is 0 the window's DC is got and released around the copy.
void CopyCacheToWindow(TWinControl* Control, TsCommonData* SkinData, HDC DC);

// Prints the visible child windows of Wnd into DC at their places (WM_PRINT with Flags), bottom of
// the z-order first: for a WM_PRINT with PRF_CHILDREN that a control answers itself.
void PrintChildWindows(HWND Wnd, HDC DC, LPARAM Flags);

// ---- Hover fading ---------------------------------------------------------------------------------

// CM_MOUSEENTER of a skinned control: when enabled, not designed and not yet MouseAbove,
// OnMouseEnter, MouseAbove = true, BGChanged = false, FadeOrRepaint (aeMouseEnter).
void FrameMouseEnter(TControl* Control, TsCommonData* SkinData, TsFadeTimer*& Timer, TacAnimatEvents Events,
                     const TNotifyEvent& OnEnter);
// CM_MOUSELEAVE: the same with aeMouseLeave and MouseAbove = false.
void FrameMouseLeave(TControl* Control, TsCommonData* SkinData, TsFadeTimer*& Timer, TacAnimatEvents Events,
                     const TNotifyEvent& OnLeave);

// ---- Focus dots -------------------------------------------------------------------------------------

// The section asks for focus dots (SHOWFOCUS).
bool SectionShowsFocus(const TsCommonData* SkinData);
// Dots round the caption drawn in R, Margin away from it (and from the outline copies of its
// text), kept on the control, when the control is enabled and focused, the caption is not empty
// and the section shows focus. No dot or its white pixel lies on the caption.
void DrawFrameFocusDots(TCanvas* Canvas, TRect R, int Margin, TWinControl* Control, TsCommonData* SkinData,
                        const std::string& Caption);

// ---- Bound labels -----------------------------------------------------------------------------------

// The caption label bound to an edit-like control follows it: visibility, enabled state and
// reading order are copied on their change notifications, and these, WM_SIZE and
// WM_WINDOWPOSCHANGED place it again. Call after the control handled the message.
void FollowBoundLabel(TsBoundLabel* Label, TControl* Control, const TMessage& Message);

// ---- The template -------------------------------------------------------------------------------------

template <class TBase>
class TacSkinnedControl : public TBase {
 public:
  // TypeCode selects the default section; CacheBmp: the skin data starts with a cache bitmap.
  TacSkinnedControl(TComponent* AOwner, std::uint8_t TypeCode, bool CacheBmp) : TBase(AOwner) {
    FSkinData = new TsCommonData(this, CacheBmp);
    FSkinData->TypeCode = TypeCode;
  }
  ~TacSkinnedControl() override {
    StopFade(FFadeTimer);
    RestoreHints(this);
    delete FSkinData;
    FSkinData = nullptr;
  }

  // ---- published
  TsCommonData* SkinData() const { return FSkinData; }
  TacAnimatEvents AnimatEvents() const { return FAnimatEvents; }
  void SetAnimatEvents(TacAnimatEvents Value) { FAnimatEvents = Value; }
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  // Accessors of the two events for the published-property table.
  TNotifyEvent GetOnMouseEnter() const { return OnMouseEnter; }
  void SetOnMouseEnter(TNotifyEvent Value) { OnMouseEnter = Value; }
  TNotifyEvent GetOnMouseLeave() const { return OnMouseLeave; }
  void SetOnMouseLeave(TNotifyEvent Value) { OnMouseLeave = Value; }

  // The running hover fade (nullptr when none).
  TsFadeTimer* FadeTimer() const { return FFadeTimer; }

  void AfterConstruction() override {
    TBase::AfterConstruction();
    SkinLoaded();
  }
  void BeforeDestruction() override {
    StopFading();
    RestoreHints(this);
    TBase::BeforeDestruction();
  }

  void WndProc(TMessage& Message) override {
    if (!FSkinData) {  // the skin data is gone: only the base class is left
      TBase::WndProc(Message);
      return;
    }
    if (Message.Msg == SM_QUORVEXCMD && (AnswerAnyState(Message) || AnswerFrameCommand(Message))) return;
    if (!ReadyAndSkinned()) {
      PlainMessage(Message);
      TBase::WndProc(Message);
      return;
    }
    auto alive = this->AliveToken();
    // A paint (of the client or of the frame) asks the parent for its image and its colour, and the
    // control whether it has the focus, once, however often its painters need them.
    std::optional<TsParentAnswers> answers;
    if (Message.Msg == WM_PAINT || Message.Msg == WM_NCPAINT) answers.emplace(this);
    if (SkinnedMessage(Message) || !*alive) return;
    if (!HandleCommonMessage(Message, FSkinData)) {
      if (!*alive || AfterCommonMessage(Message) || !*alive) return;
      TBase::WndProc(Message);
    }
    if (*alive) AfterInherited(Message);
  }

 protected:
  void Loaded() override {
    TBase::Loaded();
    SkinLoaded();
  }

  // ---- what a control changes of the frame (each has the common behaviour as its default)

  // AfterConstruction and Loaded: SkinData.Loaded (a control may do its own steps around it).
  virtual void SkinLoaded() { FSkinData->Loaded(); }
  // Which skin test step 2 uses.
  virtual bool ReadyAndSkinned() const { return FrameSkinned(this, FSkinData); }
  // Step 1, the control's own commands, seen before the frame's; true ends the message.
  virtual bool AnswerAnyState(TMessage&) { return false; }
  // Step 2, the control's own cases before the common handler; true ends the message.
  virtual bool SkinnedMessage(TMessage&) { return false; }
  // Step 2, the control's cases that must see what the common handler did (a message it did not
  // answer), before the inherited procedure; true ends the message.
  virtual bool AfterCommonMessage(TMessage&) { return false; }
  // Step 2, after the common handler and the inherited procedure.
  virtual void AfterInherited(TMessage&) {}
  // Step 3, before the inherited procedure.
  virtual void PlainMessage(TMessage& Message) { FirePlainEnterLeave(this, Message, OnMouseEnter, OnMouseLeave); }

  // A running fade or state animation is stopped (QC_STOPFADE, skin changes, destruction).
  virtual void StopFading() { StopFade(FFadeTimer); }
  // QC_SKINLOADED, QC_SKINREMOVED and QC_REFRESH for the control's manager, around the common answer.
  virtual void BeforeSkinChange(int /*Command*/) { StopFading(); }
  // In a skin switch nothing is painted: its end paints every window once.
  virtual void AfterSkinChange(int Command) {
    if (SkinSwitchRunning()) return;
    if (Command == QC_SKINREMOVED || (Command == QC_REFRESH && !PrintDC)) this->Repaint();
  }
  // QC_UPDATEDONE found Updating set and cleared it.
  virtual void RepaintAfterUpdate() { this->Repaint(); }
  // A container passes QC_SKINLOADED, QC_SKINREMOVED and QC_REFRESH on to its children.
  virtual bool PassesSkinCommandsOn() const { return false; }

  // ---- helpers for the control's own cases

  // The control's own CM_MOUSEENTER / CM_MOUSELEAVE: the hover fade (FrameMouseEnter /
  // FrameMouseLeave) with the control's fade timer, animation events and mouse events.
  void FadeOnEnterLeave(const TMessage& Message) {
    if (!IsOwnEnterLeave(Message, this)) return;
    if (Message.Msg == CM_MOUSEENTER)
      FrameMouseEnter(this, FSkinData, FFadeTimer, FAnimatEvents, OnMouseEnter);
    else if (Message.Msg == CM_MOUSELEAVE)
      FrameMouseLeave(this, FSkinData, FFadeTimer, FAnimatEvents, OnMouseLeave);
  }
  // The focus came or went: one step of a running fade (which then shows the new look), else the
  // look rebuilt.
  void ShowFocusChange() {
    if (FFadeTimer && FFadeTimer->Enabled())
      FFadeTimer->FadeStep();
    else
      FSkinData->Invalidate();
  }

  TsCommonData* FSkinData = nullptr;
  TacAnimatEvents FAnimatEvents{aeGlobalDef};
  TsFadeTimer* FFadeTimer = nullptr;

 private:
  bool AnswerFrameCommand(TMessage& Message) {
    switch (Message.WParamHi()) {
      case QC_SKINLOADED:
      case QC_REFRESH:
      case QC_SKINREMOVED: FollowSkinChange(Message); return true;
      case QC_UPDATEDONE:
        if (FSkinData->UpdatingFlag()) {
          FSkinData->SetUpdating(false);
          RepaintAfterUpdate();
        }
        return true;
      case QC_STOPFADE: StopFading(); return true;
      case QC_GETSECTIONINDEX: Message.Result = FSkinData->SkinIndex + 1; return true;
      default: return AnswerIdentity(Message);
    }
  }

  void FollowSkinChange(TMessage& Message) {
    const int command = Message.WParamHi();
    const bool act = IsOwnManagerCommand(Message, FSkinData) && !(command == QC_SKINREMOVED && IsDying(this));
    auto alive = this->AliveToken();
    if (command == QC_SKINLOADED) HandInside(Message);
    if (act && *alive) {
      BeforeSkinChange(command);
      if (*alive && FSkinData) HandleSkinCommand(Message, FSkinData);
    }
    if (command != QC_SKINLOADED && *alive) HandInside(Message);
    if (act && *alive && FSkinData) AfterSkinChange(command);
  }

  // A container hands the command on to what lies inside it (SkinWalk.h).
  void HandInside(const TMessage& Message) {
    if constexpr (std::is_base_of_v<TWinControl, TBase>) {
      if (PassesSkinCommandsOn()) PassSkinCommandOn(static_cast<TWinControl*>(this), Message);
    }
  }
};
