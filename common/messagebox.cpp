#include "common/messagebox.h"

#include <QGridLayout>
#include <QMessageBox>

namespace velinor::msg {

namespace {
Hook& hook()
{
    static Hook h;
    return h;
}
AskHook& askHook()
{
    static AskHook h;
    return h;
}
// A label wraps only where a line may break. A long path or a pasted word
// has no such place and would stretch the box beyond the screen; zero-width
// spaces give it some.
QString breakable(const QString& text)
{
    constexpr int longest = 30;
    QString out;
    out.reserve(text.size() + text.size() / 8);
    int run = 0;
    for (QChar c : text) {
        out += c;
        if (c.isSpace()) {
            run = 0;
        } else if (c == u'/' || c == u'\\' || ++run >= longest) {
            out += QChar(0x200B);
            run = 0;
        }
    }
    return out;
}

} // namespace

void failed(QWidget* parent, const QString& operation, const QString& why)
{
    QString reason = why.trimmed();
    // The reason continues the sentence: "... failed: the database file ...".
    if (reason.size() > 1 && reason.at(0).isUpper() && reason.at(1).isLower())
        reason[0] = reason.at(0).toLower();
    QString text = operation + QStringLiteral(" failed: ") + reason;
    if (!text.endsWith(u'.') && !text.endsWith(u'?') && !text.endsWith(u'!'))
        text += u'.';
    critical(parent, text);
}

void setTestHook(Hook h) { hook() = std::move(h); }

void setAskHook(AskHook h) { askHook() = std::move(h); }

namespace {

int exec(QWidget* parent, const QString& text, QMessageBox::Icon shown,
         QMessageBox::StandardButtons buttons)
{
    QMessageBox box(shown, QStringLiteral("Kestrava"), QString(), buttons, parent);
    box.setObjectName(QStringLiteral("msgKestrava"));
    // Typed values appear in messages: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(breakable(text));
    // A narrow box clips its title in the window manager's title bar, beside
    // the frame's buttons: keep room for the title whole. The box sizes
    // itself, so the room is a spacer across its layout.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int title = box.fontMetrics().horizontalAdvance(box.windowTitle());
        grid->addItem(new QSpacerItem(title * 13 / 10 + 280, 0, QSizePolicy::Minimum,
                                      QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    return box.exec();
}

} // namespace

void show(QWidget* parent, const QString& text, Icon icon)
{
    if (hook()) {
        hook()(text, icon);
        return;
    }
    const QMessageBox::Icon shown = icon == Icon::Critical      ? QMessageBox::Critical
                                    : icon == Icon::Exclamation ? QMessageBox::Warning
                                                                : QMessageBox::Information;
    exec(parent, text, shown, QMessageBox::Ok);
}

bool ask(QWidget* parent, const QString& text)
{
    if (askHook())
        return askHook()(text);
    if (hook()) {
        hook()(text, Icon::Exclamation);
        return false;
    }
    return exec(parent, text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No)
           == QMessageBox::Yes;
}

} // namespace velinor::msg
