// Skinning of an MDI frame form's client window: the form's provider keeps a TsMDIForm, which puts
// the MDI client adapter (TacMDIWnd) on the client window while the form is skinned, takes it off
// when the skin goes, and passes the client's requests for a new frame image on to the provider.
#pragma once

#include "classlib/Win.h"

#include "classlib/Forms.h"
#include "classlib/core/Classes.h"

class TsSkinProvider;
class TacMDIWnd;

class TsMDIForm : public TPersistent {
 public:
  QV_CLASS_NAME(TsMDIForm)
  // Keeps the provider and its form; the form's window is made at once, so that its client window
  // exists.
  explicit TsMDIForm(TsSkinProvider* AProvider);
  ~TsMDIForm() override;

  // Connect, unless the form is designed or its client has a live adapter already.
  void ConnectToClient();
  // The adapter put on the client window again: the old one goes, a new one comes only while the
  // provider is skinned.
  void Connect();
  // The client window given back; the adapter (and the skin data it made for itself) freed.
  void DestroyAdapter();
  // The provider repaints the form's frame.
  void UpdateFrame();
  // The client's frame painted again from the form's image (after the image changed); a client
  // without an adapter is connected first.
  void RefreshClient();

  TCustomForm* Form = nullptr;
  TacMDIWnd* MDIAdapter = nullptr;  // owned
  TsSkinProvider* Provider = nullptr;
};
