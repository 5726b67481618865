#pragma once

class QLineEdit;

namespace velinor {

// Focus the box and select all of its text: caret home, then shift+end.
void selectWholeText(QLineEdit* box);

} // namespace velinor
