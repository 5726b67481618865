#include "common/focusafterdelete.h"

#include <QAbstractItemView>

namespace velinor {

void focusAfterDelete(QAbstractItemView* list, QWidget* fallback)
{
    const bool rows = list->model() && list->model()->rowCount() > 0;
    if (rows && list->isEnabled() && list->isVisible())
        list->setFocus();
    else
        fallback->setFocus();
}

} // namespace velinor
