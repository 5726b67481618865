#include "app/newaccount.h"

#include "app/navigation.h"
#include "app/password.h"
#include "common/defaultbutton.h"
#include "common/logo.h"
#include "common/messagebox.h"
#include "data/datasource.h"
#include "data/fieldbinding.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velinor {

namespace {

QLineEdit* entryBox(QWidget* parent, const char* name, bool masked)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setMaxLength(50);
    if (masked)
        box->setEchoMode(QLineEdit::Password);
    return box;
}

} // namespace

NewAccount::NewAccount(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmNew"));
    setWindowTitle(QStringLiteral("New User Account"));
    setFont(QFont(QStringLiteral("Verdana")));

    m_entry = new DataSource(this);
    m_entry->setObjectName(QStringLiteral("Adodc1"));
    m_entry->setSource(QStringLiteral("Users"));
    m_check = new DataSource(m_entry->database(), this);
    m_check->setObjectName(QStringLiteral("Adodc2"));
    m_check->setSource(QStringLiteral("Users"));

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    m_username = entryBox(frame, "txtUsername", false);
    m_password = entryBox(frame, "txtPassword", true);
    m_confirm = entryBox(frame, "txtConfirm", true);
    m_existing = new QLineEdit(this);
    m_existing->setObjectName(QStringLiteral("txtUsername2"));
    m_existing->setVisible(false);
    bind(m_username, m_entry, QStringLiteral("Username"));
    bind(m_password, m_entry, QStringLiteral("Password"));
    bind(m_existing, m_check, QStringLiteral("Username"));

    auto* enter = new QPushButton(QStringLiteral("Enter"), frame);
    enter->setObjectName(QStringLiteral("cmdEnter"));
    auto* cancel = new QPushButton(QStringLiteral("Cancella"), frame);
    cancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* grid = new QGridLayout(frame);
    const char* labels[][2] = {{"Label1", "Username"}, {"Label2", "Password"},
                               {"Label3", "Conferma Password"}};
    QLineEdit* boxes[] = {m_username, m_password, m_confirm};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(QLatin1String(labels[i][1]), frame);
        label->setObjectName(QLatin1String(labels[i][0]));
        label->setBuddy(boxes[i]);
        grid->addWidget(label, i, 0);
        grid->addWidget(boxes[i], i, 1);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(enter);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 3, 0, 1, 2);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(makeLogo(this), 0, Qt::AlignTop);
    layout->addWidget(frame, 1);

    setTabOrder(m_username, m_password);
    setTabOrder(m_password, m_confirm);
    setTabOrder(m_confirm, enter);
    setTabOrder(enter, cancel);
    setDefaultButton(this, enter);
    connect(enter, &QPushButton::clicked, this, &NewAccount::enter);
    connect(cancel, &QPushButton::clicked, this, &NewAccount::cancel);
    m_username->setFocus();
    resize(460, 200);
}

bool NewAccount::event(QEvent* event)
{
    if (event->type() == QEvent::Show || event->type() == QEvent::WindowActivate)
        appendPendingRow();
    return QWidget::event(event);
}

// Activated again (after a message, say), the screen keeps the row being typed.
void NewAccount::appendPendingRow()
{
    if (m_entry->currentIsNew())
        return;
    try {
        m_entry->addNew();
    } catch (const DbError& e) {
        msg::failed(this, QStringLiteral("Starting a new account"), e.text());
    }
}

void NewAccount::enter()
{
    const QString name = m_username->text();
    const QString typed = m_password->text();
    try {
        m_check->refresh();
        m_check->find(QStringLiteral("Username"), name);
    } catch (const DbError& e) {
        msg::failed(this, QStringLiteral("Reading the user accounts"), e.text());
        return;
    }
    if (m_confirm->text() != typed || typed.isEmpty() || name.isEmpty()) {
        msg::critical(this, QStringLiteral("Invalid data."));
        return;
    }
    if (!m_existing->text().isEmpty()) {
        msg::critical(this, QStringLiteral("Username already in used."));
        return;
    }
    try {
        // Only the hash is ever written; the typed text comes back into the
        // box should the write fail.
        m_entry->setValue(QStringLiteral("Password"), password::hash(typed));
        m_entry->updateBatch();
    } catch (const std::exception& e) {
        m_entry->setValue(QStringLiteral("Password"), typed);
        msg::failed(this, QStringLiteral("Saving the new account"), QString::fromStdString(e.what()));
        return;
    }
    nav::go(this, QStringLiteral("frmUser"));
}

void NewAccount::cancel()
{
    m_entry->cancelBatch();
    nav::go(this, QStringLiteral("frmUser"));
}

void NewAccount::closeEvent(QCloseEvent* event)
{
    m_entry->cancelBatch();
    QWidget::closeEvent(event);
}

} // namespace velinor
