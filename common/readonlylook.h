#pragma once

class QLineEdit;

namespace velinor {

// A box the user cannot type in looks it and is left out of the Tab order:
// while read-only it takes the window's background (unless it was given a
// background of its own) and the focus only from a click, so its text can
// still be selected and copied. The box follows every later change of its
// read-only state.
void followReadOnly(QLineEdit* box);

} // namespace velinor
