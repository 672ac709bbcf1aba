#pragma once
// Text boxes whose whole text is selected when they get the focus, by the keyboard or by a
// click, so that typing replaces the value (the round timer, the movement dialogs' boxes).

class QLineEdit;

namespace quorvel {

// From now on edit selects all of its text on focus. The click that brings the focus selects
// too, rather than placing the cursor; a click into a box that has the focus places it.
void selectAllOnFocus(QLineEdit *edit);

} // namespace quorvel
