#include "common/messagebox.h"

#include <QMessageBox>

namespace velinor::msg {

namespace {
Hook& hook()
{
    static Hook h;
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
    QString text = operation + QStringLiteral(" failed: ") + why.trimmed();
    if (!text.endsWith(u'.') && !text.endsWith(u'?') && !text.endsWith(u'!'))
        text += u'.';
    critical(parent, text);
}

void setTestHook(Hook h) { hook() = std::move(h); }

void show(QWidget* parent, const QString& text, Icon icon)
{
    if (hook()) {
        hook()(text, icon);
        return;
    }
    QMessageBox box(icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::Warning,
                    QStringLiteral("Kestrava"), QString(), QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("msgKestrava"));
    // Typed values appear in messages: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(breakable(text));
    box.exec();
}

} // namespace velinor::msg
