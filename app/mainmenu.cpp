#include "app/mainmenu.h"

#include "app/navigation.h"
#include "common/logo.h"

#include <QGroupBox>
#include <QLabel>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace velinor {

MainMenu::MainMenu(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMenu"));
    setWindowTitle(QStringLiteral("Velinor"));

    struct Entry {
        const char* name;
        const char* caption;
        const char* opens;
    };
    static const Entry entries[] = {
        {"cmdTire", "Aggiornamento Articoli", "frmTire"},
        {"cmdCustomer", "Aggiornamento Clienti", "frmCustomer"},
        {"cmdInvoice", "Fattura di Vendita", "frmFatture"},
        {"cmdMonthly", "Statistiche", "frmMonthly"},
        {"cmdOrder", "Stampe Ordini / Preventivi", "frmordini"},
    };

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* column = new QVBoxLayout(frame);
    const QFont verdana(QStringLiteral("Verdana"));
    for (const Entry& e : entries) {
        auto* button = new QPushButton(QString::fromUtf8(e.caption), frame);
        button->setObjectName(QLatin1String(e.name));
        button->setFont(verdana);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        button->setFixedHeight(button->sizeHint().height() * 2);
        column->addWidget(button);
        const QString target = QLatin1String(e.opens);
        connect(button, &QPushButton::clicked, this, [this, target] { nav::go(this, target); });
    }

    column->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(makeLogo(this, 96), 0, Qt::AlignTop);
    layout->addWidget(frame, 1);
    resize(460, 300);
}

} // namespace velinor
