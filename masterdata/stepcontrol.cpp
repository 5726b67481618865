#include "masterdata/stepcontrol.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace velinor {

StepControl::StepControl(QWidget* parent) : QWidget(parent)
{
    auto* upButton = new QToolButton(this);
    upButton->setObjectName(QStringLiteral("up"));
    upButton->setArrowType(Qt::UpArrow);
    auto* downButton = new QToolButton(this);
    downButton->setObjectName(QStringLiteral("down"));
    downButton->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {upButton, downButton}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus); // the box gets the focus after a step
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(upButton);
    layout->addWidget(downButton);

    connect(upButton, &QToolButton::clicked, this, &StepControl::up);
    connect(downButton, &QToolButton::clicked, this, &StepControl::down);
}

} // namespace velinor
