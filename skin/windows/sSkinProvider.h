// The form skin provider and what it carries for its form: the skinned window menu (TsSystemMenu)
// that replaces the system menu of a form whose title bar the provider draws, the published
// collection of extra title-bar buttons (TsTitleButtons) and the title icon settings (TsTitleIcon).
//
// The provider itself is so far the component that holds these for its form, with its skin data
// and the background of the form's menu line: it does not yet take over the form's window
// procedure, paint the frame or cut the region.
#pragma once

#include "classlib/Win.h"

#include <string>
#include <vector>

#include "classlib/Controls.h"
#include "classlib/Forms.h"
#include "classlib/Graphics.h"
#include "classlib/Menus.h"
#include "classlib/core/Classes.h"
#include "skin/engine/sCommonData.h"

class TsSkinProvider;
class TsSkinManager;

// A title-bar button's painting and hit state: 0 normal, 1 hot, 2 pressed; the mask index of its
// image (-1 none); its place in window coordinates.
struct TsCaptionButton {
  int State = 0;
  int ImageIndex = -1;
  TRect Rect{};
};

// ---- The window menu -------------------------------------------------------------------------------------

// Restore, Move, Size, Minimize, Maximize, a line and Close, each sending its system command to the
// form; with the provider's MakeSkinMenu an "Available skins" submenu on top.
class TsSystemMenu : public TPopupMenu {
 public:
  QV_CLASS_NAME(TsSystemMenu)
  explicit TsSystemMenu(TsSkinProvider* AProvider);

  // Visible and Enabled of every item from the form's border style, border icons, window state
  // and style (nothing without the form).
  void UpdateItems();
  // Puts the "Available skins" submenu and a line on top (a previous one is taken away first):
  // one radio item per available skin, the current one checked, a new column every 20 skins.
  void MakeSkinItems();
  // Takes the "Available skins" submenu and the line after it away.
  void RemoveSkinItems();

  TsSkinProvider* Provider = nullptr;
  TCustomForm* Form = nullptr;
  TMenuItem* ItemRestore = nullptr;
  TMenuItem* ItemMove = nullptr;
  TMenuItem* ItemSize = nullptr;
  TMenuItem* ItemMinimize = nullptr;
  TMenuItem* ItemMaximize = nullptr;
  TMenuItem* ItemClose = nullptr;

 private:
  TMenuItem* AddItem(const std::string& Name, const std::string& Caption, TNotifyEvent OnClick);
  bool HasSysMenu() const;
  void SendCommand(WPARAM Command);
  void RestoreClick(TObject* Sender);
  void MoveClick(TObject* Sender);
  void SizeClick(TObject* Sender);
  void MinimizeClick(TObject* Sender);
  void MaximizeClick(TObject* Sender);
  void CloseClick(TObject* Sender);
  void SkinItemClick(TObject* Sender);
  // The real skin names of the skin items, by their Tag (a name holding "&" is shown as "&&").
  std::vector<std::string> FSkinNames;
};

// The provider of an MDI child whose Maximize item was chosen (read and cleared by the provider).
extern TsSkinProvider* MaximizingMDIChild;

// ---- Extra title-bar buttons -----------------------------------------------------------------------------

class TsTitleButton : public TCollectionItem {
 public:
  QV_CLASS_NAME(TsTitleButton)
  explicit TsTitleButton(TCollection* ACollection);
  ~TsTitleButton() override;
  void Assign(TPersistent* Source) override;
  std::string DisplayName() const override { return FName; }

  // Fire OnMouseDown / OnMouseUp with the button as Sender (Index is not passed on).
  void MouseDown(int Index, TMouseButton Button, TShiftState Shift, int X, int Y);
  void MouseUp(int Index, TMouseButton Button, TShiftState Shift, int X, int Y);

  // ---- published
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  TBitmap* Glyph() const { return FGlyph; }
  void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value);
  bool UseSkinData() const { return FUseSkinData; }
  void SetUseSkinData(bool Value) { FUseSkinData = Value; }
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseEvent GetOnMouseDown() const { return OnMouseDown; }
  void SetOnMouseDown(TMouseEvent Value) { OnMouseDown = Value; }
  TMouseEvent GetOnMouseUp() const { return OnMouseUp; }
  void SetOnMouseUp(TMouseEvent Value) { OnMouseUp = Value; }

  // Painting and hit state, kept by the provider.
  TsCaptionButton BtnData;

 private:
  bool FEnabled = true;
  TBitmap* FGlyph;
  std::string FName;
  bool FUseSkinData = true;
};

class TsTitleButtons : public TCollection {
 public:
  QV_CLASS_NAME(TsTitleButtons)
  explicit TsTitleButtons(TsSkinProvider* AOwner);
  ~TsTitleButtons() override;
  TPersistent* GetOwner() const override;
  TsTitleButton* Items(int Index) const { return static_cast<TsTitleButton*>(TCollection::Items(Index)); }
  TsTitleButton* Add() { return static_cast<TsTitleButton*>(TCollection::Add()); }

  TsSkinProvider* FOwner;
};

// ---- Title icon settings ---------------------------------------------------------------------------------

class TsTitleIcon : public TPersistent {
 public:
  QV_CLASS_NAME(TsTitleIcon)
  TsTitleIcon();
  ~TsTitleIcon() override;
  void Assign(TPersistent* Source) override;

  TBitmap* Glyph() const { return FGlyph; }
  void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
  int Height() const { return FHeight; }
  void SetHeight(int Value) { FHeight = Value; }
  int Width() const { return FWidth; }
  void SetWidth(int Value) { FWidth = Value; }

 private:
  TBitmap* FGlyph;
  int FHeight = 0;
  int FWidth = 0;
};

// ---- The provider ----------------------------------------------------------------------------------------

class TsSkinProvider : public TComponent {
 public:
  QV_CLASS_NAME(TsSkinProvider)
  explicit TsSkinProvider(TComponent* AOwner);
  ~TsSkinProvider() override;

  // The provider a form's answer to skin command 4 names; nil for anything else.
  static TsSkinProvider* FromAnswer(LRESULT Answer);
  // The form had WS_SYSMENU (the provider takes it away while it draws the title bar).
  bool HasSysMenu() const;

  // ---- published
  bool MakeSkinMenu = false;
  TsCommonData* SkinData = nullptr;  // owned; section "FORM"
  TsTitleButtons* TitleButtons = nullptr;
  TsTitleIcon* TitleIcon = nullptr;
  bool GetMakeSkinMenu() const { return MakeSkinMenu; }
  void SetMakeSkinMenu(bool Value) { MakeSkinMenu = Value; }
  TsTitleButtons* GetTitleButtons() const { return TitleButtons; }
  void SetTitleButtons(TsTitleButtons* Value) { TitleButtons->Assign(Value); }
  TsTitleIcon* GetTitleIcon() const { return TitleIcon; }
  void SetTitleIcon(TsTitleIcon* Value) { TitleIcon->Assign(Value); }

  TCustomForm* Form = nullptr;
  TsSystemMenu* SystemMenu = nullptr;
  // The background under the main-menu line's items (24-bit; empty until the line is painted).
  TBitmap* TempBmp = nullptr;
  bool SysMenuStyleRemoved = false;
};
