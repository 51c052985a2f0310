// The frame every skinned control shares.
//
// A skinned control is a class-library control with one added member, its TsCommonData, through
// which it paints itself in the current skin. TacSkinnedControl<Base> adds that member (and the
// AnimatEvents set and the mouse enter / leave events) to any class-library base and runs the
// window procedure in the common order:
//
//   1. skin commands answered whether or not the control is skinned (AnswerAnyState);
//   2. when the control is ready and skinned: its own cases (SkinnedMessage), then the common
//      handler (HandleCommonMessage) and the inherited window procedure, then what the control
//      looks at after the inherited handling (AfterInherited);
//   3. otherwise only the mouse enter / leave events are fired, then the inherited procedure.
//
// The free functions below are the common steps a control's paint code is built from: the start
// and end of PrepareCache, copying the cache to a window, hover fading and the focus dots. They
// are usable on their own by a control that cannot take the template (e.g. one that must run the
// common handler before its own cases).
#pragma once

#include "classlib/Win.h"

#include <cstdint>
#include <memory>
#include <string>

#include "classlib/Controls.h"
#include "classlib/Forms.h"
#include "classlib/Graphics.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sFade.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sSkinManager.h"

// ---- Tests on a control and a message -----------------------------------------------------------

// The control is being designed.
bool IsDesigning(const TControl* Control);
// The control is being destroyed.
bool IsDying(const TControl* Control);
// A skin command 1, 2 or 3 whose LParam names the control's effective manager.
bool IsOwnManagerCommand(const TMessage& Message, const TsCommonData* SkinData);
// Ready (ControlIsReady) and skinned.
bool FrameSkinned(const TControl* Control, const TsCommonData* SkinData, bool CheckActive = true);
// The section of the skin data, or nullptr when the control is not skinned.
const TsGeneralData* SectionOf(const TsCommonData* SkinData);

// Fires OnMouseEnter / OnMouseLeave for CM_MOUSEENTER / CM_MOUSELEAVE when the control is enabled
// and not being designed (the unskinned path of the window procedure).
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

// ---- Copying the cache ------------------------------------------------------------------------------

// Copies Width x Height of the cache bitmap to DC (SaveDC / RestoreDC around it); when DC is 0
// the window's DC is got and released around the copy.
void CopyCacheToWindow(TWinControl* Control, TsCommonData* SkinData, HDC DC);

// ---- Hover fading ---------------------------------------------------------------------------------

// CM_MOUSEENTER of a skinned window control: when enabled, not designed and not yet MouseAbove,
// OnMouseEnter, MouseAbove := True, BGChanged := False, FadeOrRepaint (aeMouseEnter).
void FrameMouseEnter(TControl* Control, TsCommonData* SkinData, TsFadeTimer*& Timer, TacAnimatEvents Events,
                     const TNotifyEvent& OnEnter);
// CM_MOUSELEAVE: the same with aeMouseLeave and MouseAbove := False.
void FrameMouseLeave(TControl* Control, TsCommonData* SkinData, TsFadeTimer*& Timer, TacAnimatEvents Events,
                     const TNotifyEvent& OnLeave);

// ---- Focus dots -------------------------------------------------------------------------------------

// The section asks for focus dots (SHOWFOCUS).
bool SectionShowsFocus(const TsCommonData* SkinData);
// Dots R grown by Margin on every side when the control is enabled and focused, the caption is
// not empty and the section shows focus.
void DrawFrameFocusDots(TCanvas* Canvas, TRect R, int Margin, TWinControl* Control, TsCommonData* SkinData,
                        const std::string& Caption);

// ---- Hints while a mouse button is held -------------------------------------------------------------

// The application's hints are switched off while a mouse button is held on a button. Only the
// control that switched them off restores them, and it always does (release, capture loss, a
// drop-down menu's return, destruction), so they are never left off.
void HintsOffWhilePressed(TControl* Control);
void RestoreHints(TControl* Control);
// The control that switched the hints off (nil when none).
TControl* HintsSwitchedOffBy();

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

  void AfterConstruction() override {
    TBase::AfterConstruction();
    SkinLoaded();
  }

  void WndProc(TMessage& Message) override {
    if (!FSkinData) {  // the skin data is gone: only the base class is left
      TBase::WndProc(Message);
      return;
    }
    if (Message.Msg == SM_QUORVEXCMD && AnswerAnyState(Message)) return;
    if (ReadyAndSkinned()) {
      if (SkinnedMessage(Message)) return;
      auto alive = this->AliveToken();
      if (!HandleCommonMessage(Message, FSkinData)) TBase::WndProc(Message);
      if (*alive) AfterInherited(Message);
    } else {
      PlainMessage(Message);
      TBase::WndProc(Message);
    }
  }

 protected:
  void Loaded() override {
    TBase::Loaded();
    SkinLoaded();
  }
  // AfterConstruction and Loaded: SkinData.Loaded (a control may do its own steps around it).
  virtual void SkinLoaded() { FSkinData->Loaded(); }
  // Step 1: commands answered in any case; true ends the message.
  virtual bool AnswerAnyState(TMessage& Message) = 0;
  // Which skin test step 2 uses.
  virtual bool ReadyAndSkinned() const { return FrameSkinned(this, FSkinData); }
  // Step 2, the control's own cases; true ends the message.
  virtual bool SkinnedMessage(TMessage&) { return false; }
  // Step 2, after the common handler and the inherited procedure.
  virtual void AfterInherited(TMessage&) {}
  // Step 3, before the inherited procedure.
  virtual void PlainMessage(TMessage& Message) { FirePlainEnterLeave(this, Message, OnMouseEnter, OnMouseLeave); }

  TsCommonData* FSkinData = nullptr;
  TacAnimatEvents FAnimatEvents{aeGlobalDef};
};
