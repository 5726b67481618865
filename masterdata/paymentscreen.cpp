#include "masterdata/paymentscreen.h"

#include "app/navigation.h"
#include "common/defaultbutton.h"
#include "common/focusafterdelete.h"
#include "common/logo.h"
#include "common/messagebox.h"
#include "common/textselect.h"
#include "data/database.h"
#include "data/datagrid.h"
#include "data/datasource.h"
#include "data/fieldbinding.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace velinor {

namespace {

enum Box { description, modality, days, endOfMonth };

struct BoxPlace {
    const char* box;
    const char* field;
    const char* caption;
    int maxLength;
    const char* hint;
};

const BoxPlace places[] = {
    {"txtDescrizione", "Descrizione", "Descrizione", 100, "Bonifico 30 gg f.m."},
    {"txtModalita", "Modalita", "Modalità (MP01-MP23)", 4, "MP05"},
    {"txtGiorni", "Giorni", "Giorni", 3, "30"},
    {"txtFineMese", "FineMese", "Fine mese (0 o 1)", 1, "0"},
};

} // namespace

PaymentScreen::PaymentScreen(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmPagamenti"));
    setWindowTitle(QStringLiteral("Pagamenti"));
    m_terms = new DataSource(this);
    m_terms->setObjectName(QStringLiteral("Adodc1"));
    m_terms->setSource(QStringLiteral("SELECT * FROM Pagamenti ORDER BY Descrizione"));

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* form = new QGridLayout;
    const int ch = fontMetrics().horizontalAdvance(QLatin1Char('x'));
    for (const BoxPlace& place : places) {
        auto* box = new QLineEdit(frame);
        box->setObjectName(QLatin1String(place.box));
        box->setMaxLength(place.maxLength);
        box->setPlaceholderText(QString::fromUtf8(place.hint));
        box->setReadOnly(true);
        auto* label = new QLabel(QString::fromUtf8(place.caption), frame);
        label->setObjectName(QStringLiteral("lbl") + QLatin1String(place.box).mid(3));
        label->setBuddy(box);
        bind(box, m_terms, QLatin1String(place.field), label->text());
        form->addWidget(label, form->rowCount(), 0);
        form->addWidget(box, form->rowCount() - 1, 1, Qt::AlignLeft);
        box->setFixedWidth(ch * (place.maxLength > 10 ? 40 : 8));
        m_boxes << box;
    }

    m_list = new DataGrid(m_terms, frame);
    m_list->setObjectName(QStringLiteral("DataGrid1"));
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setColumnWidth(0, ch * 30);

    auto makeButton = [frame](const char* caption, const char* name) {
        auto* b = new QPushButton(QString::fromUtf8(caption), frame);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    m_new = makeButton("Nuovo", "cmdAdd");
    m_modify = makeButton("Aggiorna", "cmdUpdate");
    m_save = makeButton("Salva", "cmdSave");
    m_cancel = makeButton("Cancella", "cmdCancel");
    m_delete = makeButton("Elimina", "cmdDelete");
    m_back = makeButton("<Menu>", "cmdBack");
    m_save->setEnabled(false);
    m_cancel->setEnabled(false);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {m_new, m_modify, m_save, m_cancel, m_delete, m_back})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(makeLogo(frame), 0, Qt::AlignLeft);
    left->addLayout(form);
    left->addWidget(m_list, 1);
    auto* panel = new QHBoxLayout(frame);
    panel->addLayout(left, 1);
    panel->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    resize(640, 460);

    setDefaultButton(this, m_new);
    connect(m_new, &QPushButton::clicked, this, &PaymentScreen::addNew);
    connect(m_modify, &QPushButton::clicked, this, &PaymentScreen::modify);
    connect(m_save, &QPushButton::clicked, this, &PaymentScreen::save);
    connect(m_cancel, &QPushButton::clicked, this, [this] { nav::restart(this); });
    connect(m_delete, &QPushButton::clicked, this, &PaymentScreen::remove);
    connect(m_back, &QPushButton::clicked, this, [this] { nav::go(this, QStringLiteral("frmMenu")); });
    connect(m_list, &DataGrid::failed, this, [this](const QString& why) {
        msg::failed(this, QStringLiteral("Writing the changes of the payment term"), why);
    });
}

bool PaymentScreen::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && !m_editing)
        checkRecords();
    return QWidget::event(event);
}

void PaymentScreen::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_editing)
        checkRecords();
}

void PaymentScreen::closeEvent(QCloseEvent* event)
{
    m_terms->cancelBatch();
    QWidget::closeEvent(event);
}

void PaymentScreen::addNew()
{
    try {
        m_terms->addNew();
    } catch (const DbError& e) {
        msg::failed(this, QStringLiteral("Adding a payment term"), e.text());
        return;
    }
    m_remembered.reset();
    setEditMode();
}

void PaymentScreen::modify()
{
    m_remembered = m_boxes[description]->text();
    setEditMode();
}

QString PaymentScreen::problem()
{
    if (m_boxes[description]->text().isEmpty())
        return QStringLiteral("The payment term needs a description.");
    static const QRegularExpression code(QStringLiteral("^MP(0[1-9]|1[0-9]|2[0-3])$"));
    if (!code.match(m_boxes[modality]->text()).hasMatch())
        return QStringLiteral("The modality must be a code from MP01 to MP23 (MP01 cash, MP05 "
                              "bank transfer, MP12 RiBa).");
    bool ok = false;
    const int n = m_boxes[days]->text().toInt(&ok);
    if (!ok || n < 0 || n > 999)
        return QStringLiteral("The days to the due date must be a whole number from 0 to 999.");
    const QString end = m_boxes[endOfMonth]->text();
    if (end != QLatin1String("0") && end != QLatin1String("1"))
        return QStringLiteral("Fine mese is 1 when the due date moves to the end of its month, "
                              "else 0.");
    return {};
}

// Spaces around a value and a lower-case code are mended; what the file
// cannot carry, or a description already on file, is refused.
void PaymentScreen::save()
{
    for (QLineEdit* box : m_boxes)
        if (box->text() != box->text().trimmed())
            box->setText(box->text().trimmed());
    if (m_boxes[modality]->text() != m_boxes[modality]->text().toUpper())
        m_boxes[modality]->setText(m_boxes[modality]->text().toUpper());
    for (int i : {days, endOfMonth})
        if (m_boxes[i]->text().isEmpty())
            m_boxes[i]->setText(QStringLiteral("0"));
    QString refusal = problem();
    const QString key = m_boxes[description]->text();
    try {
        if (refusal.isEmpty() && key != m_remembered
            && Database::shared()
                   ->scalar(QStringLiteral(R"(SELECT 1 FROM "Pagamenti" WHERE "Descrizione" = ?)"), {key})
                   .isValid())
            refusal = QStringLiteral("The payment term \"%1\" is already on file.").arg(key);
        if (refusal.isEmpty())
            m_terms->updateBatch();
    } catch (const DbError& e) {
        msg::failed(this, QStringLiteral("Saving the payment term"), e.text());
        return;
    }
    if (!refusal.isEmpty()) {
        msg::critical(this, refusal);
        return;
    }
    setBrowseMode();
    checkRecords();
}

void PaymentScreen::remove()
{
    try {
        m_terms->deleteCurrent();
    } catch (const DbError& e) {
        msg::failed(this, QStringLiteral("Deleting the payment term"), e.text());
        return;
    }
    checkRecords();
    focusAfterDelete(m_list, m_new);
}

void PaymentScreen::setEditMode()
{
    m_editing = true;
    for (QPushButton* b : {m_new, m_modify, m_delete})
        b->setEnabled(false);
    m_save->setEnabled(true);
    m_cancel->setEnabled(true);
    for (QLineEdit* box : m_boxes)
        box->setReadOnly(false);
    selectWholeText(m_boxes[description]);
    m_list->setEnabled(false);
}

void PaymentScreen::setBrowseMode()
{
    m_editing = false;
    m_new->setEnabled(true);
    m_save->setEnabled(false);
    m_cancel->setEnabled(false);
    for (QLineEdit* box : m_boxes)
        box->setReadOnly(true);
}

void PaymentScreen::checkRecords()
{
    m_list->refresh();
    const bool any = m_terms->recordCount() != 0;
    m_list->setEnabled(any);
    m_delete->setEnabled(any);
    m_modify->setEnabled(any);
}

} // namespace velinor
