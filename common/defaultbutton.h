#pragma once

class QPushButton;
class QWidget;

namespace velinor {

// Gives a plain window a default button: Enter presses the focused button if
// the focus is on one, otherwise `button` when it is enabled and visible.
void setDefaultButton(QWidget* window, QPushButton* button);

// Only the first half: Enter presses the button that has the focus, and
// other Enter keys are left to the window.
void pressFocusedButtonOnEnter(QWidget* window);

} // namespace velinor
