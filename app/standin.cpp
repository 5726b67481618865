#include "app/standin.h"

#include "app/navigation.h"
#include "common/logo.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velinor {

StandIn::StandIn(const QString& name, const QString& caption, QWidget* parent) : QWidget(parent)
{
    setObjectName(name);
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLogo(this));
    layout->addWidget(new QLabel(QStringLiteral("Questa funzione non è ancora disponibile."), this));
    auto* back = new QPushButton(QStringLiteral("<Menu>"), this);
    back->setObjectName(QStringLiteral("cmdBack"));
    layout->addWidget(back);
    connect(back, &QPushButton::clicked, this, [this] { nav::go(this, QStringLiteral("frmMenu")); });
}

} // namespace velinor
