#include "app/userlogin.h"

#include "app/navigation.h"
#include "app/password.h"
#include "common/defaultbutton.h"
#include "common/logo.h"
#include "common/messagebox.h"
#include "common/textselect.h"
#include "data/copyowner.h"
#include "data/datasource.h"
#include "data/fieldbinding.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velinor {

UserLogin::UserLogin(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmUser"));
    setWindowTitle(QStringLiteral("User Password"));
    setFont(QFont(QStringLiteral("Verdana")));

    m_users = new DataSource(this);
    m_users->setObjectName(QStringLiteral("Adodc1"));
    m_users->setSource(QStringLiteral("Users"));

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* label1 = new QLabel(QStringLiteral("Username"), frame);
    label1->setObjectName(QStringLiteral("Label1"));
    m_username = new QLineEdit(frame);
    m_username->setObjectName(QStringLiteral("txtUsername"));
    m_username->setMaxLength(50);
    auto* label2 = new QLabel(QStringLiteral("Password"), frame);
    label2->setObjectName(QStringLiteral("Label2"));
    m_password = new QLineEdit(frame);
    m_password->setObjectName(QStringLiteral("txtPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setMaxLength(50);
    auto* enter = new QPushButton(QStringLiteral("Enter"), frame);
    enter->setObjectName(QStringLiteral("cmdEnter"));
    auto* newUser = new QPushButton(QStringLiteral("Nuovo Utente"), frame);
    newUser->setObjectName(QStringLiteral("cmdNew"));

    // The account the last search found, as the hidden boxes show it.
    m_storedUsername = new QLineEdit(this);
    m_storedUsername->setObjectName(QStringLiteral("txtUsername2"));
    m_storedUsername->setVisible(false);
    m_storedPassword = new QLineEdit(this);
    m_storedPassword->setObjectName(QStringLiteral("txtPassword2"));
    m_storedPassword->setVisible(false);
    bind(m_storedUsername, m_users, QStringLiteral("Username"));
    bind(m_storedPassword, m_users, QStringLiteral("Password"));

    auto* grid = new QGridLayout(frame);
    grid->addWidget(label1, 0, 0);
    grid->addWidget(m_username, 0, 1);
    grid->addWidget(label2, 1, 0);
    grid->addWidget(m_password, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(enter);
    buttons->addWidget(newUser);
    grid->addLayout(buttons, 2, 0, 1, 2);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(makeLogo(this), 0, Qt::AlignTop);
    layout->addWidget(frame, 1);

    setTabOrder(m_username, m_password);
    setTabOrder(m_password, enter);
    setTabOrder(enter, newUser);
    setDefaultButton(this, enter);
    connect(enter, &QPushButton::clicked, this, &UserLogin::enter);
    connect(newUser, &QPushButton::clicked, this, [this] { nav::go(this, QStringLiteral("frmNew")); });
    m_username->setFocus();
    resize(440, 170);
}

void UserLogin::enter()
{
    bool ok = false;
    try {
        m_users->refresh();
        ok = m_users->find(QStringLiteral("Username"), m_username->text())
            && password::matches(m_password->text(), m_users->value(QStringLiteral("Password")));
    } catch (const DbError& e) {
        msg::failed(this, QStringLiteral("Reading the user accounts"), e.text());
        return;
    }
    if (ok) {
        // The working lines and print selection of this copy are this
        // user's at this desk.
        copyowner::claim(m_users->value(QStringLiteral("Username")), m_users->database()->path());
        nav::go(this, QStringLiteral("frmMenu"));
        return;
    }
    msg::critical(this, QStringLiteral("Invalid username or password."));
    selectWholeText(m_username);
}

} // namespace velinor
