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

constexpr char overlayMark[] = "velinorOverlay";

bool isOverlay(const QObject* screen) { return screen->property(overlayMark).toBool(); }

// Forgets a screen as soon as it is closed, so that the next visit creates
// it afresh even before the old instance has been deleted. Remembers how
// large the user left it, for the next visit.
class Registry : public QObject {
public:
    struct Shape {
        QSize size;
        bool maximized = false;
    };
    QHash<QString, QPointer<QWidget>> open;
    QHash<QString, Shape> shapes;
    int restarting = 0;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close) {
            const QString name = watched->objectName();
            if (open.value(name) == watched) {
                open.remove(name);
                auto* w = static_cast<QWidget*>(watched);
                shapes.insert(name, {w->normalGeometry().size(), w->isMaximized()});
                if (!isOverlay(w) && !restarting && !screenLeft())
                    closeStrays(w);
            }
        }
        return false;
    }

private:
    bool screenLeft() const
    {
        for (const QPointer<QWidget>& w : open)
            if (w && !isOverlay(w))
                return true;
        return false;
    }

    // With the last screen gone, what opened over it goes too: the program
    // ends with its last screen, as the user expects.
    static void closeStrays(QWidget* closing)
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != closing && w->isVisible() && !w->isModal())
                w->close();
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
    QSize size = screen->testAttribute(Qt::WA_Resized) ? screen->size() : screen->sizeHint();
    // The window manager's frame is not known before the first show: take
    // it to be the replaced screen's, and at least a title bar's worth (a
    // window manager may not have told the replaced screen's either).
    const QSize decoration = replaced ? replaced->frameGeometry().size() - replaced->size() : QSize();
    const QSize titleBar(0, screen->fontMetrics().height() * 2);
    QScreen* desktop = QGuiApplication::primaryScreen();
    if (replaced)
        if (QScreen* under = QGuiApplication::screenAt(replaced->frameGeometry().center()))
            desktop = under;
    // Larger than the desktop, it shrinks to it, as far as its layout lets it.
    if (desktop) {
        const QSize room = desktop->availableGeometry().size() - decoration.expandedTo(titleBar);
        const QSize fitted = size.boundedTo(room).expandedTo(screen->minimumSizeHint());
        if (fitted != size) {
            size = fitted.boundedTo(screen->maximumSize());
            screen->resize(size);
        }
    }
    QRect frame(QPoint(), size);
    if (replaced) {
        frame.setSize(size + decoration);
        frame.moveCenter(replaced->frameGeometry().center());
    } else if (desktop) {
        frame.moveCenter(desktop->availableGeometry().center());
    }
    if (desktop) {
        const QRect area = desktop->availableGeometry();
        frame.setSize(size + decoration.expandedTo(titleBar)); // whole, title bar included
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
        const auto shape = registry().shapes.constFind(name);
        const bool known = shape != registry().shapes.cend();
        if (known)
            screen->resize(shape->size);
        place(screen, replaced);
        if (known && shape->maximized)
            screen->setWindowState(screen->windowState() | Qt::WindowMaximized);
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
    ++registry().restarting;
    unload(screen); // deleted later: its place can still be read
    --registry().restarting;
    return open(name, screen);
}

void unload(QWidget* screen) { screen->close(); }

void markOverlay(QWidget* screen) { screen->setProperty(overlayMark, true); }

} // namespace velinor::nav
