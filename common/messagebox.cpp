#include "common/messagebox.h"

#include <QMessageBox>

namespace velinor::msg {

namespace {
Hook& hook()
{
    static Hook h;
    return h;
}
} // namespace

void setTestHook(Hook h) { hook() = std::move(h); }

void show(QWidget* parent, const QString& text, Icon icon)
{
    if (hook()) {
        hook()(text, icon);
        return;
    }
    const QMessageBox::Icon shown = icon == Icon::Critical      ? QMessageBox::Critical
                                    : icon == Icon::Exclamation ? QMessageBox::Warning
                                                                : QMessageBox::Information;
    QMessageBox box(shown, QStringLiteral("Kestrava"), text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("msgKestrava"));
    box.exec();
}

} // namespace velinor::msg
