#include "app/navigation.h"

#include "app/screens.h"
#include "common/credit.h"
#include "common/messagebox.h"
#include "data/dberror.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoopLocker>
#include <QHash>
#include <QLayout>
#include <QPointer>
#include <QScreen>
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

// A new screen takes the place of the one it replaces, centred on it; the
// first one is centred on the desktop. Either way it lies whole on the
// desktop when it fits there.
void place(QWidget* screen, QWidget* replaced)
{
    // The layout may still enlarge the screen to its minimum: let it first.
    if (screen->layout())
        screen->layout()->activate();
    const QSize size = screen->testAttribute(Qt::WA_Resized) ? screen->size() : screen->sizeHint();
    QRect frame(QPoint(), size);
    QScreen* desktop = QGuiApplication::primaryScreen();
    if (replaced) {
        // The window manager's frame is not known before the first show:
        // take it to be the replaced screen's.
        frame.setSize(size + replaced->frameGeometry().size() - replaced->size());
        frame.moveCenter(replaced->frameGeometry().center());
        if (QScreen* under = QGuiApplication::screenAt(frame.center()))
            desktop = under;
    } else if (desktop) {
        frame.moveCenter(desktop->availableGeometry().center());
    }
    if (desktop) {
        const QRect area = desktop->availableGeometry();
        frame.moveLeft(std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width())));
        frame.moveTop(std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height())));
    }
    screen->move(frame.topLeft());
}

QWidget* open(const QString& name, QWidget* replaced)
{
    QWidget* screen = find(name);
    if (!screen) {
        CaptionWatch watch;
        try {
            screen = createScreen(name);
        } catch (const DbError& e) {
            QString caption = screenTitle(name);
            if (caption.isEmpty())
                caption = withoutCredit(watch.caption());
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
        place(screen, replaced);
    }
    screen->show();
    screen->raise();
    screen->activateWindow();
    return screen;
}

} // namespace

QWidget* find(const QString& name)
{
    QWidget* w = registry().open.value(name);
    return w;
}

QWidget* show(const QString& name) { return open(name, QApplication::activeWindow()); }

QWidget* go(QWidget* from, const QString& name)
{
    QWidget* target = open(name, from);
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
    unload(screen); // deleted later: its place can still be read
    return open(name, screen);
}

void unload(QWidget* screen) { screen->close(); }

} // namespace velinor::nav
