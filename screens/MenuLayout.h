#pragma once

// Where the main menu's arrow and its two side panels stand, shared by the
// menu and the panels, which hand the menu's cursor to one another.

#include "platform/model/Form.h"

namespace menu_layout {

inline constexpr double kFirstRowTop = 660; // twips, the START row
inline constexpr double kRowStep = 420;
inline constexpr double kPanelLeftOffset = 3540; // both panels, from the menu window
inline constexpr double kRecordsTopOffset = 930;
inline constexpr double kOptionsTopOffset = 1890;

inline double arrowTop(int row)
{
    return kFirstRowTop + kRowStep * row;
}

// One side panel gives way to the other: the menu's arrow moves to the row
// of MenuCursor, `from` unloads, and the panel named `to` opens at its offset
// from the menu window. Without the menu (its window was closed) the new
// panel goes where it would have stood relative to the old one, and no
// hidden menu is loaded just to be touched.
void switchSidePanel(ui::Form& from, double fromTopOffset, const char* to, double toTopOffset);

} // namespace menu_layout
