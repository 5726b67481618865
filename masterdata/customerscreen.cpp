#include "masterdata/customerscreen.h"

#include "common/credit.h"
#include "common/logo.h"
#include "common/messagebox.h"
#include "common/recordcode.h"
#include "common/taxcode.h"
#include "data/datagrid.h"
#include "data/datasource.h"
#include "data/fieldbinding.h"
#include "data/sourcetransaction.h"
#include "einvoice/fatturapa.h"
#include "masterdata/checkmark.h"
#include "masterdata/customerdocuments.h"
#include "reports/listreport.h"

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

// The form is a grid of captioned boxes, two to a row: caption, box and a
// place for a warning mark on each side. Rows are added as fields come, and
// Tab walks the boxes in the order they are added.
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
        m_order << box;
    }

    void orderTabs(QWidget* first) const
    {
        QWidget* previous = first;
        for (QWidget* box : m_order) {
            QWidget::setTabOrder(previous, box);
            previous = box;
        }
    }

private:
    QWidget* m_parent;
    QGridLayout* m_grid;
    QList<QWidget*> m_order;
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
        {"txtcoddest", "CodiceDestinatario", "Codice Destinatario", "lblcoddest", 7, 0, 5,
         taxcode::codiceDestinatarioProblem},
        {"txtnazione", "Nazione", "Nazione", "lblnazione", 2, 1, 4, nullptr},
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

MaintenanceScreen::Names CustomerScreen::names()
{
    Names names;
    names.screen = QStringLiteral("frmCustomer");
    names.caption = withCredit(QStringLiteral("Aggiornamento Clienti"));
    names.source = QStringLiteral("Adodc1");
    names.sourceText = QStringLiteral("SELECT * FROM CUSTOMERS ORDER BY Cliente");
    names.record = QStringLiteral("customer");
    names.aRecord = QStringLiteral("a customer");
    names.back = QStringLiteral("frmMenu");
    return names;
}

CustomerScreen::CustomerScreen(QWidget* parent) : MaintenanceScreen(names(), parent)
{
    DataSource* customers = records();
    QGroupBox* frame = this->frame();

    auto makeBox = [customers, frame](const char* name, const char* field, int maxLength) {
        auto* box = new QLineEdit(frame);
        box->setObjectName(QString::fromUtf8(name));
        box->setMaxLength(maxLength);
        bind(box, customers, QString::fromUtf8(field));
        return box;
    };

    m_code = makeBox("TXTCODE", "Customer Code", noLimit);
    m_code->setAccessibleName(QStringLiteral("Codice Cliente"));
    m_code->setMinimumWidth(m_code->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 24);
    m_name = makeBox("txtName", "Cliente", 50);
    m_address = makeBox("txtAddress", "Indirizzo", 100);
    QLineEdit* town = makeBox("txtCittà", "città", 100);
    QLineEdit* postcode = makeBox("txtcap", "cap", 50);
    QLineEdit* vat = makeBox("txtiva", "PartitaIva", noLimit);
    QLineEdit* taxCode = makeBox("txtfiscale", "CodiceFiscale", noLimit);
    m_phone = makeBox("txtNumber", "NumeroTelefonico", 50);
    QLineEdit* priceList = makeBox("txtlistino", "listino", 50);
    for (QLineEdit* box : {m_name, m_address, m_phone})
        lockWhileBrowsing(box);
    setEditFocus(m_name);
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
    addEInvoicingBoxes(frame, form, customers);
    form.orderTabs(m_code);

    auto* list = new DataGrid(customers, frame);
    list->setObjectName(QStringLiteral("DataGrid1"));
    setRecordList(list, true);
    // Every heading whole; name and address are what the user reads the list by.
    QHeaderView* header = list->horizontalHeader();
    for (int c = 0; c < customers->fieldCount(); ++c) {
        const int heading = header->fontMetrics().horizontalAdvance(customers->field(c).name);
        list->setColumnWidth(c, qMax(header->sectionSize(c), heading + 24));
    }
    const int x = list->fontMetrics().horizontalAdvance(QLatin1Char('x'));
    list->setColumnWidth(customers->requireField(QStringLiteral("Cliente")), x * 30);
    list->setColumnWidth(customers->requireField(QStringLiteral("Indirizzo")), x * 28);

    QPushButton* report = makeButton(QStringLiteral("Stampa"), "cmdReport", frame);
    setReportButton(report);
    connect(report, &QPushButton::clicked, this, &CustomerScreen::print);

    auto* top = new QHBoxLayout;
    top->addWidget(makeLogo(frame));
    top->addWidget(m_code, 0, Qt::AlignVCenter);
    top->addStretch();

    auto* panel = new QGridLayout(frame);
    panel->addLayout(top, 0, 0);
    panel->addLayout(form.layout(), 1, 0);
    panel->addWidget(list, 2, 0);
    panel->addLayout(buttonColumn(), 0, 1, 3, 1);
    panel->addWidget(report, 3, 1);
    panel->setRowStretch(2, 1);
    panel->setColumnStretch(0, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    // Room for a dozen customers and most of their columns.
    list->setMinimumHeight(list->verticalHeader()->defaultSectionSize() * 13);
    resize(sizeHint().expandedTo(QSize(1040, 0)));
}

void CustomerScreen::added()
{
    m_code->setText(recordCode(QStringLiteral("CUS"), m_code->text()));
}

// A name of spaces alone is no name.
bool CustomerScreen::checkBeforeWrite()
{
    for (QLineEdit* box : {m_name, m_address, m_phone})
        if (box->text().trimmed().isEmpty()) {
            msg::critical(this, QStringLiteral("Invalid data."));
            m_name->setFocus();
            return false;
        }
    return true;
}

// A customer that documents still name is kept: they would lose their
// customer. Counted and deleted in one write, so that no document can be
// saved for the customer in between.
bool CustomerScreen::deleteRecord()
{
    DataSource* source = records();
    int documents = 0;
    {
        Database& db = *source->database();
        SourceTransaction tx(db, {source});
        documents = customers::documentsNaming(db, source->value(QStringLiteral("Customer Code")),
                                               source->value(QStringLiteral("Cliente")));
        if (documents == 0) {
            source->deleteCurrent();
            tx.commit();
        }
    }
    if (documents > 0) {
        msg::critical(this, customers::inUse(source->value(QStringLiteral("Cliente")), documents));
        return false;
    }
    return true;
}

void CustomerScreen::print()
{
    reports::printList(QStringLiteral("DataReport4"), *records(), this);
}

} // namespace velinor
