#include "reports/monthlyscreen.h"

#include "app/navigation.h"
#include "common/logo.h"
#include "data/datagrid.h"
#include "data/datasource.h"
#include "reports/listreport.h"

#include <QEvent>
#include <QLabel>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>

namespace velinor {

MonthlyScreen::MonthlyScreen(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMonthly"));
    setWindowTitle(QStringLiteral("Monthly Earnings"));
    setFont(QFont(QStringLiteral("Verdana")));

    m_documents = new DataSource(this);
    m_documents->setObjectName(QStringLiteral("Adodc1"));
    m_documents->setSource(QStringLiteral("SELECT cliente,[totale fattura] FROM Fatture ORDER BY Cliente"));

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    m_list = new DataGrid(m_documents, frame);
    m_list->setObjectName(QStringLiteral("DataGrid1"));
    m_list->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->setColumnWidth(1, m_list->fontMetrics().horizontalAdvance(QStringLiteral("totale fattura")) + 40);

    m_report = new QPushButton(QStringLiteral("Report"), frame);
    m_report->setObjectName(QStringLiteral("cmdReport"));
    auto* back = new QPushButton(QStringLiteral("<Menu>"), frame);
    back->setObjectName(QStringLiteral("cmdBack"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_report);
    buttons->addWidget(back);
    auto* inFrame = new QVBoxLayout(frame);
    inFrame->addWidget(m_list, 1);
    inFrame->addLayout(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(makeLogo(this), 0, Qt::AlignTop);
    layout->addWidget(frame, 1);
    resize(560, 420);

    connect(m_report, &QPushButton::clicked, this,
            [this] { reports::printList(QStringLiteral("DataReport5"), *m_documents, this); });
    connect(back, &QPushButton::clicked, this, [this] { nav::go(this, QStringLiteral("frmMenu")); });
}

// Disabled for an empty list; once disabled it stays so until the screen is
// created again.
bool MonthlyScreen::event(QEvent* event)
{
    if ((event->type() == QEvent::WindowActivate || event->type() == QEvent::Show) &&
        m_documents->recordCount() == 0)
        m_report->setEnabled(false);
    return QWidget::event(event);
}

} // namespace velinor
