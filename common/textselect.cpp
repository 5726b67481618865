#include "common/textselect.h"

#include <QLineEdit>

namespace velinor {

void selectWholeText(QLineEdit* box)
{
    box->setFocus(Qt::OtherFocusReason);
    box->home(false);
    box->end(true);
}

} // namespace velinor
