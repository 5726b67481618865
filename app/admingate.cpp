#include "app/admingate.h"

#include "app/navigation.h"
#include "common/defaultbutton.h"
#include "common/logo.h"
#include "common/messagebox.h"
#include "common/textselect.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velinor {

AdminGate::AdminGate(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmAdmin"));
    setWindowTitle(QStringLiteral("Password dell'amministratore di sistema"));
    setFont(QFont(QStringLiteral("Verdana")));

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* label = new QLabel(QStringLiteral("Password"), frame);
    label->setObjectName(QStringLiteral("Label1"));
    m_password = new QLineEdit(frame);
    m_password->setObjectName(QStringLiteral("txtPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    label->setBuddy(m_password);
    m_enter = new QPushButton(QStringLiteral("Enter"), frame);
    m_enter->setObjectName(QStringLiteral("cmdEnter"));

    auto* grid = new QGridLayout(frame);
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_password, 0, 1);
    grid->addWidget(m_enter, 1, 1, Qt::AlignRight);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(makeLogo(this), 0, Qt::AlignTop);
    layout->addWidget(frame, 1);

    setTabOrder(m_password, m_enter);
    setDefaultButton(this, m_enter);
    connect(m_enter, &QPushButton::clicked, this, &AdminGate::enter);
    m_password->setFocus();
    resize(420, 140);
}

void AdminGate::enter()
{
    if (m_password->text().isEmpty()) {
        nav::go(this, QStringLiteral("frmUser"));
        return;
    }
    msg::critical(this, QStringLiteral("Invalid password"));
    selectWholeText(m_password);
}

} // namespace velinor
