#pragma once

class QAbstractItemView;
class QWidget;

namespace velinor {

// After a delete or a save the focus leaves the button that was pressed, so
// that a second Enter cannot delete the next record too, nor does the focus
// fall to a neighbour such as the back button: it goes to the record list
// while the list has records, otherwise to `fallback` (the screen's New
// button), where the next piece of work starts.
void focusAfterDelete(QAbstractItemView* list, QWidget* fallback);

} // namespace velinor
