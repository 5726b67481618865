#pragma once

class QAbstractItemView;
class QWidget;

namespace velinor {

// After a delete the focus leaves the button that deleted, so that a second
// Enter cannot delete the next record too: it goes to the record list while
// the list has records, otherwise to `fallback` (the screen's New button).
void focusAfterDelete(QAbstractItemView* list, QWidget* fallback);

} // namespace velinor
