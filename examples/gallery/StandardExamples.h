// The class library's standard and common controls in their plain look, built onto a given
// parent: one of each class that the skinned controls and window adapters build on.
#pragma once

class TWinControl;

// Push, bitmap and speed buttons, a group box with a masked edit, a panel with a popup menu, a
// combo box, a track bar, an edit with an up-down, a page control, a tab control, a list view, a
// tool bar with a drop-down button, a tree view, a string grid and a status bar, laid out from the
// parent's top-left corner in about 670 x 330 pixels (the status bar along the parent's bottom
// edge); the parent's owner owns them.
void AddStandardExamples(TWinControl* Parent);
