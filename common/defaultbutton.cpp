#include "common/defaultbutton.h"

#include <QApplication>
#include <QPushButton>
#include <QShortcut>

namespace velinor {

void setDefaultButton(QWidget* window, QPushButton* button)
{
    for (auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), window);
        QObject::connect(shortcut, &QShortcut::activated, button, [window, button] {
            if (auto* focused = qobject_cast<QPushButton*>(window->focusWidget())) {
                if (focused->isEnabled())
                    focused->click();
                return;
            }
            if (button->isEnabled() && button->isVisible())
                button->click();
        });
    }
}

} // namespace velinor
