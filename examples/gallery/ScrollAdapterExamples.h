// A multi-line edit and a list box with skinned scroll bars, built onto a given parent.
#pragma once

class TWinControl;

// A memo of the class library and a bare list box window, each with enough lines to scroll and
// skinned through an edit adapter, placed from the parent's top-left corner. They follow the
// default skin manager; the parent's owner owns them and their adapters.
void AddScrollAdapterExamples(TWinControl* Parent);
