#include "masterdata/customerscreen.h"

#include "app/navigation.h"
#include "common/credit.h"
#include "common/defaultbutton.h"
#include "common/focusafterdelete.h"
#include "common/logo.h"
#include "common/messagebox.h"
#include "common/recordcode.h"
#include "common/taxcode.h"
#include "common/textselect.h"
#include "data/datagrid.h"
#include "data/datasource.h"
#include "data/fieldbinding.h"
#include "einvoice/fatturapa.h"
#include "masterdata/checkmark.h"
#include "reports/listreport.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velinor {

namespace {

// A box whose length the table leaves open keeps the line edit's own limit.
constexpr int noLimit = 32767;

QPushButton* makeButton(const QString& caption, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

void greyBackground(QLineEdit* box)
{
    QPalette p = box->palette();
    p.setColor(QPalette::Base, QColor(224, 224, 224));
    box->setPalette(p);
}

// The form is a grid of captioned boxes, two to a row: caption, box and a
// place for a warning mark on each side. Rows are added as fields come.
class Form {
public:
    explicit Form(QWidget* parent) : m_parent(parent), m_grid(new QGridLayout)
    {
        m_grid->setColumnStretch(1, 1);
        m_grid->setColumnStretch(5, 1);
        m_grid->setColumnMinimumWidth(3, 16);
    }
    QGridLayout* layout() const { return m_grid; }

    // side 0 is the left column, 1 the right one.
    void add(int side, int row, const QString& caption, const char* captionName, QLineEdit* box,
             QWidget* mark = nullptr)
    {
        auto* label = new QLabel(caption, m_parent);
        label->setObjectName(QLatin1String(captionName));
        label->setBuddy(box);
        const int column = side * 4;
        m_grid->addWidget(label, row, column);
        m_grid->addWidget(box, row, column + 1);
        if (mark)
            m_grid->addWidget(mark, row, column + 2);
    }

private:
    QWidget* m_parent;
    QGridLayout* m_grid;
};

// The e-invoicing fields, always writable, under the others. A file made
// by an older version lacks them: the boxes are left out and the screen
// works as before.
void addEInvoicingBoxes(QWidget* frame, Form& form, DataSource* customers)
{
    struct BoxPlace {
        const char* box;
        const char* field;
        const char* caption;
        const char* label;
        int maxLength;
        int side, row;
        QString (*check)(const QString&);
    };
    const BoxPlace places[] = {
        {"txtprovincia", "Provincia", "Provincia", "lblprovincia", 2, 0, 4, nullptr},
        {"txtnazione", "Nazione", "Nazione", "lblnazione", 2, 1, 4, nullptr},
        {"txtcoddest", "CodiceDestinatario", "Codice Destinatario", "lblcoddest", 7, 0, 5,
         taxcode::codiceDestinatarioProblem},
        {"txtpec", "PEC", "PEC", "lblpec", 256, 1, 5, taxcode::pecProblem},
        // Every sale to the customer is exempt for this reason.
        {"txtnatura", "Natura", "Natura IVA", "lblnatura", 4, 0, 6, einvoice::naturaProblem},
        {"txtrifnorm", "RiferimentoNormativo", "Rif. Normativo", "lblrifnorm", 100, 1, 6, nullptr},
    };
    for (const BoxPlace& place : places) {
        if (customers->fieldIndex(QLatin1String(place.field)) < 0)
            continue;
        auto* box = new QLineEdit(frame);
        box->setObjectName(QLatin1String(place.box));
        box->setMaxLength(place.maxLength);
        bind(box, customers, QLatin1String(place.field));
        form.add(place.side, place.row, QString::fromUtf8(place.caption), place.label, box,
                 place.check ? new CheckMark(box, place.check, frame) : nullptr);
    }
}

} // namespace

CustomerScreen::CustomerScreen(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmCustomer"));
    setWindowTitle(withCredit(QStringLiteral("Aggiornamento Clienti")));

    m_customers = new DataSource(this);
    m_customers->setObjectName(QStringLiteral("Adodc1"));
    m_customers->setSource(QStringLiteral("SELECT * FROM CUSTOMERS ORDER BY Cliente"));

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));

    auto makeBox = [this, frame](const char* name, const char* field, int maxLength) {
        auto* box = new QLineEdit(frame);
        box->setObjectName(QString::fromUtf8(name));
        box->setMaxLength(maxLength);
        bind(box, m_customers, QString::fromUtf8(field));
        return box;
    };

    m_code = makeBox("TXTCODE", "Customer Code", noLimit);
    m_code->setAccessibleName(QStringLiteral("Codice Cliente"));
    m_code->setMinimumWidth(m_code->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 24);
    // Made in the order Tab walks them: down the left column, then the right.
    m_name = makeBox("txtName", "Cliente", 50);
    m_address = makeBox("txtAddress", "Indirizzo", 100);
    QLineEdit* town = makeBox("txtCittà", "città", 100);
    QLineEdit* postcode = makeBox("txtcap", "cap", 50);
    QLineEdit* vat = makeBox("txtiva", "PartitaIva", noLimit);
    QLineEdit* taxCode = makeBox("txtfiscale", "CodiceFiscale", noLimit);
    m_phone = makeBox("txtNumber", "NumeroTelefonico", 50);
    QLineEdit* priceList = makeBox("txtlistino", "listino", 50);
    for (QLineEdit* box : {m_name, m_address, m_phone})
        box->setReadOnly(true);
    greyBackground(vat);
    greyBackground(taxCode);
    for (QLineEdit* box : {m_name, m_address, town})
        box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 36);
    for (QLineEdit* box : {vat, taxCode, m_phone})
        box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 24);

    Form form(frame);
    form.add(0, 0, QStringLiteral("Ragione Sociale"), "lblName", m_name);
    form.add(0, 1, QStringLiteral("Indirizzo"), "lblAddress", m_address);
    form.add(0, 2, QStringLiteral("Città"), "lblCittà", town);
    form.add(0, 3, QStringLiteral("CAP"), "lblcap", postcode);
    form.add(1, 0, QStringLiteral("Partita Iva"), "lbliva", vat,
             new CheckMark(vat, taxcode::partitaIvaProblem, frame));
    form.add(1, 1, QStringLiteral("Codice Fiscale"), "lblfiscale", taxCode,
             new CheckMark(taxCode, taxcode::codiceFiscaleProblem, frame));
    form.add(1, 2, QStringLiteral("Numero Telefonico"), "lblNumber", m_phone);
    form.add(1, 3, QStringLiteral("listino"), "lbllistino", priceList);
    addEInvoicingBoxes(frame, form, m_customers);

    m_list = new DataGrid(m_customers, frame);
    m_list->setObjectName(QStringLiteral("DataGrid1"));
    // Every heading whole; name and address are what the user reads the list by.
    QHeaderView* header = m_list->horizontalHeader();
    for (int c = 0; c < m_customers->fieldCount(); ++c) {
        const int heading = header->fontMetrics().horizontalAdvance(m_customers->field(c).name);
        m_list->setColumnWidth(c, qMax(header->sectionSize(c), heading + 24));
    }
    const int x = m_list->fontMetrics().horizontalAdvance(QLatin1Char('x'));
    m_list->setColumnWidth(m_customers->requireField(QStringLiteral("Cliente")), x * 30);
    m_list->setColumnWidth(m_customers->requireField(QStringLiteral("Indirizzo")), x * 28);

    m_new = makeButton(QStringLiteral("Nuovo"), "cmdAdd", frame);
    m_modify = makeButton(QStringLiteral("Aggiorna"), "cmdUpdate", frame);
    m_save = makeButton(QStringLiteral("Salva"), "cmdSave", frame);
    m_cancel = makeButton(QStringLiteral("Cancella"), "cmdCancel", frame);
    m_delete = makeButton(QStringLiteral("Elimina"), "cmdDelete", frame);
    m_back = makeButton(QStringLiteral("<Menu>"), "cmdBack", frame);
    m_report = makeButton(QStringLiteral("Stampa"), "cmdReport", frame);
    m_save->setEnabled(false);
    m_cancel->setEnabled(false);

    auto* top = new QHBoxLayout;
    top->addWidget(makeLogo(frame));
    top->addWidget(m_code, 0, Qt::AlignVCenter);
    top->addStretch();

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {m_new, m_modify, m_save, m_cancel, m_delete, m_back})
        buttons->addWidget(b);
    buttons->addStretch();

    auto* panel = new QGridLayout(frame);
    panel->addLayout(top, 0, 0);
    panel->addLayout(form.layout(), 1, 0);
    panel->addWidget(m_list, 2, 0);
    panel->addLayout(buttons, 0, 1, 3, 1);
    panel->addWidget(m_report, 3, 1);
    panel->setRowStretch(2, 1);
    panel->setColumnStretch(0, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    // Room for a dozen customers and most of their columns.
    m_list->setMinimumHeight(m_list->verticalHeader()->defaultSectionSize() * 13);
    resize(sizeHint().expandedTo(QSize(1040, 0)));

    setDefaultButton(this, m_new);
    connect(m_new, &QPushButton::clicked, this, &CustomerScreen::addNew);
    connect(m_modify, &QPushButton::clicked, this, &CustomerScreen::modify);
    connect(m_save, &QPushButton::clicked, this, &CustomerScreen::save);
    connect(m_cancel, &QPushButton::clicked, this, [this] { nav::restart(this); });
    connect(m_delete, &QPushButton::clicked, this, &CustomerScreen::remove);
    connect(m_back, &QPushButton::clicked, this, [this] { nav::go(this, QStringLiteral("frmMenu")); });
    connect(m_report, &QPushButton::clicked, this, &CustomerScreen::print);
    connect(m_list, &DataGrid::failed, this, [this](const QString& why) {
        failed(QStringLiteral("Writing the changes of the customer"), why);
    });
}

// An activation while a customer is being edited (for instance when a
// message box closes) must not bring back the browse-state buttons.
bool CustomerScreen::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && !m_editing)
        checkRecords();
    return QWidget::event(event);
}

void CustomerScreen::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_editing)
        checkRecords();
}

void CustomerScreen::closeEvent(QCloseEvent* event)
{
    m_customers->cancelBatch();
    QWidget::closeEvent(event);
}

void CustomerScreen::failed(const QString& operation, const QString& why)
{
    msg::failed(this, operation, why);
}

void CustomerScreen::addNew()
{
    try {
        m_customers->addNew();
    } catch (const DbError& e) {
        failed(QStringLiteral("Adding a customer"), e.text());
        return;
    }
    setEditMode();
    m_code->setText(recordCode(QStringLiteral("CUS"), m_code->text()));
}

void CustomerScreen::modify() { setEditMode(); }

void CustomerScreen::save()
{
    // A name of spaces alone is no name.
    for (QLineEdit* box : {m_name, m_address, m_phone})
        if (box->text().trimmed().isEmpty()) {
            msg::critical(this, QStringLiteral("Invalid data."));
            m_name->setFocus();
            return;
        }
    try {
        m_customers->updateBatch();
    } catch (const DbError& e) {
        failed(QStringLiteral("Saving the customer"), e.text());
        return;
    }
    setBrowseMode();
    checkRecords();
}

void CustomerScreen::remove()
{
    try {
        m_customers->deleteCurrent();
    } catch (const DbError& e) {
        failed(QStringLiteral("Deleting the customer"), e.text());
        return;
    }
    checkRecords();
    focusAfterDelete(m_list, m_new);
}

void CustomerScreen::print()
{
    reports::printList(QStringLiteral("DataReport4"), *m_customers, this);
}

void CustomerScreen::setEditMode()
{
    m_editing = true;
    m_new->setEnabled(false);
    m_modify->setEnabled(false);
    m_save->setEnabled(true);
    m_cancel->setEnabled(true);
    m_delete->setEnabled(false);
    m_report->setEnabled(false);
    for (QLineEdit* box : {m_name, m_address, m_phone})
        box->setReadOnly(false);
    selectWholeText(m_name);
    m_list->setEnabled(false);
}

void CustomerScreen::setBrowseMode()
{
    m_editing = false;
    m_list->refresh();
    m_new->setEnabled(true);
    m_save->setEnabled(false);
    m_cancel->setEnabled(false);
    for (QLineEdit* box : {m_name, m_address, m_phone})
        box->setReadOnly(true);
}

void CustomerScreen::checkRecords()
{
    m_list->refresh();
    const bool any = m_customers->recordCount() != 0;
    m_list->setEnabled(any);
    m_delete->setEnabled(any);
    m_modify->setEnabled(any);
    m_report->setEnabled(any);
}

} // namespace velinor
