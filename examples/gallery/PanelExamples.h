// The gallery's page of labels, a panel with a drag bar, a status bar and track bars.
#pragma once

class TWinControl;
class TsWebLabel;
class TsSkinManager;

// Returns the page's web label.
TsWebLabel* AddPanelExamples(TWinControl* Parent);
// The web label's link colour: a blue that reads on the form colour of the look the manager gives
// (dark blue on a light look or the plain one, light blue on a dark look).
void FollowLookInLinkColour(TsWebLabel* Label, TsSkinManager* Manager);
