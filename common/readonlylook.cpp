#include "common/readonlylook.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>

namespace velinor {

namespace {

// The background this look last gave a box. A background that differs
// from it was set by someone else, and is left alone.
constexpr char ownLook[] = "velinorReadOnlyLook";

void apply(QLineEdit* box)
{
    const bool readOnly = box->isReadOnly();
    box->setFocusPolicy(readOnly ? Qt::ClickFocus : Qt::StrongFocus);
    QPalette p = box->palette();
    const QVariant given = box->property(ownLook);
    if (p.isBrushSet(QPalette::Active, QPalette::Base)) {
        if (!given.isValid() || p.color(QPalette::Base) != given.value<QColor>())
            return; // a background of its own, such as the grey of some boxes
    } else if (!readOnly) {
        return;
    }
    const QColor base = readOnly ? p.color(QPalette::Window)
                                 : QApplication::palette(box).color(QPalette::Base);
    p.setColor(QPalette::Base, base);
    box->setPalette(p);
    box->setProperty(ownLook, base);
}

class ReadOnlyWatch : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ReadOnlyChange)
            apply(static_cast<QLineEdit*>(watched));
        return false;
    }
};

} // namespace

void followReadOnly(QLineEdit* box)
{
    if (box->property("velinorFollowsReadOnly").toBool())
        return;
    box->setProperty("velinorFollowsReadOnly", true);
    box->installEventFilter(new ReadOnlyWatch(box));
    apply(box);
}

} // namespace velinor
