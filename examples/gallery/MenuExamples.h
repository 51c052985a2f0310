// The gallery's menus: a main menu for the form and a popup menu that opens on a right click
// anywhere on the form, both with images, checks, radio items, a column break, a disabled item, a
// caption item and submenus. They are skinned while a skin is loaded.
#pragma once

class TCustomForm;
class TPopupMenu;

// Makes both menus (the form owns them); returns the popup menu.
TPopupMenu* AddMenuExamples(TCustomForm* Form);
