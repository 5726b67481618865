#include "common/defaultbutton.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace velinor {

namespace {

// Sees the Enter keys that no control of the window took for itself.
class DefaultButtonFilter : public QObject {
public:
    DefaultButtonFilter(QWidget* window, QPushButton* button)
        : QObject(window), m_window(window), m_button(button)
    {
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        if (auto* focused = qobject_cast<QPushButton*>(m_window->focusWidget())) {
            if (focused->isEnabled())
                focused->click();
            return true;
        }
        if (!m_button)
            return false;
        if (m_button->isEnabled() && m_button->isVisible())
            m_button->click();
        return true;
    }

private:
    QWidget* m_window;
    QPushButton* m_button;
};

} // namespace

void setDefaultButton(QWidget* window, QPushButton* button)
{
    window->installEventFilter(new DefaultButtonFilter(window, button));
}

void pressFocusedButtonOnEnter(QWidget* window)
{
    window->installEventFilter(new DefaultButtonFilter(window, nullptr));
}

} // namespace velinor
