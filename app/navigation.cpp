#include "app/navigation.h"

#include "app/screens.h"
#include "common/credit.h"
#include "common/messagebox.h"
#include "data/dberror.h"

#include <QApplication>
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

// A screen sets its caption before it reads its data. While one is being
// created this remembers that caption, so that a failure to read names the
// window the user asked for rather than its internal name.
class CaptionWatch : public QObject {
public:
    CaptionWatch() { qApp->installEventFilter(this); }
    ~CaptionWatch() override { qApp->removeEventFilter(this); }
    QString caption() const { return m_caption; }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::WindowTitleChange)
            if (auto* w = qobject_cast<QWidget*>(watched); w && w->isWindow())
                m_caption = w->windowTitle();
        return false;
    }

private:
    QString m_caption;
};

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
        CaptionWatch watch;
        try {
            screen = createScreen(name);
        } catch (const DbError& e) {
            const QString caption = withoutCredit(watch.caption());
            msg::failed(nullptr,
                        caption.isEmpty() ? QStringLiteral("Opening the window")
                                          : QStringLiteral("Opening \"%1\"").arg(caption),
                        e.text());
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
