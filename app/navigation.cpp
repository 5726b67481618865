#include "app/navigation.h"

#include "app/screens.h"
#include "common/messagebox.h"
#include "data/dberror.h"

#include <QEvent>
#include <QEventLoopLocker>
#include <QHash>
#include <QPointer>
#include <QWidget>

namespace velinor::nav {

namespace {

// Forgets a screen as soon as it is closed, so that the next visit creates
// it afresh even before the old instance has been deleted.
class Registry : public QObject {
public:
    QHash<QString, QPointer<QWidget>> open;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close) {
            const QString name = watched->objectName();
            if (open.value(name) == watched)
                open.remove(name);
        }
        return false;
    }
};

Registry& registry()
{
    static Registry r;
    return r;
}

} // namespace

QWidget* find(const QString& name)
{
    QWidget* w = registry().open.value(name);
    return w;
}

QWidget* show(const QString& name)
{
    QWidget* screen = find(name);
    if (!screen) {
        try {
            screen = createScreen(name);
        } catch (const DbError& e) {
            msg::critical(nullptr, QStringLiteral("The screen \"%1\" cannot be opened: %2")
                                       .arg(name, e.text()));
            return nullptr;
        }
        screen->setObjectName(name);
        screen->setAttribute(Qt::WA_DeleteOnClose);
        screen->installEventFilter(&registry());
        registry().open.insert(name, screen);
    }
    screen->show();
    screen->raise();
    screen->activateWindow();
    return screen;
}

QWidget* go(QWidget* from, const QString& name)
{
    QWidget* target = show(name);
    if (target && from && from != target)
        unload(from);
    return target;
}

QWidget* restart(QWidget* screen)
{
    // Between the unload and the new instance no window is open; the lock
    // keeps the program from ending there.
    QEventLoopLocker keepRunning;
    const QString name = screen->objectName();
    unload(screen);
    return show(name);
}

void unload(QWidget* screen) { screen->close(); }

} // namespace velinor::nav
