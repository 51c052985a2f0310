// The gallery's page of labels, a panel with a drag bar, a status bar and track bars.
#pragma once

class TWinControl;

void AddPanelExamples(TWinControl* Parent);
