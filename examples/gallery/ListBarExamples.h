// The gallery's page of adapted list views, trees, grids and bars: a report list of 10,000 rows
// whose columns sort, a tree of 1,000 nodes, a string grid, a tool bar, a tab control and a status
// bar, each a control of the class library with a window adapter that follows the skin.
#pragma once

class TWinControl;

void AddListBarExamples(TWinControl* Parent);
