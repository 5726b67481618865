#include "documents/documentscreen.h"

#include "app/navigation.h"
#include "common/credit.h"
#include "common/defaultbutton.h"
#include "common/messagebox.h"
#include "common/numbertext.h"
#include "common/recordcode.h"
#include "common/textselect.h"
#include "data/connection.h"
#include "data/datagrid.h"
#include "data/datasource.h"
#include "data/fieldbinding.h"
#include "data/sourcetransaction.h"
#include "documents/documentkind.h"
#include "documents/fatturapaexport.h"
#include "documents/documentstore.h"
#include "documents/documenttotals.h"
#include "documents/einvoicepanel.h"
#include "documents/lineexemption.h"
#include "documents/linesgrid.h"
#include "documents/workingtables.h"
#include "reports/documentprint.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

namespace velinor {

namespace {

// The largest whole number a double holds exactly.
constexpr double largestNumber = 9007199254740992.0;
// The largest invoice number every part of the program carries: the
// export, its pick and the print selection take 32-bit whole numbers.
constexpr double largestInvoiceNumber = 2147483647.0;

QPushButton* makeButton(const QString& caption, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QLineEdit* makeBox(const char* name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QLineEdit* makeMirror(const char* name, QWidget* parent)
{
    QLineEdit* box = makeBox(name, parent);
    box->setReadOnly(true);
    box->setVisible(false);
    return box;
}

// The connection the two document screens share; each opens it on load and
// closes it on unload.
Connection& documentConnection()
{
    static Connection connection;
    return connection;
}

} // namespace

DocumentScreen::DocumentScreen(const DocumentKind& kind, QWidget* parent)
    : QWidget(parent), m_kind(kind), m_connection(documentConnection())
{
    setObjectName(QLatin1String(kind.screen));
    setWindowTitle(withCredit(QStringLiteral("Velinor")));

    // Load: the connection, and proof that the lines table can be opened.
    m_connection.open();
    m_connection.probe(QStringLiteral("Select * from dettaglioFatture"));

    // The sources share the connection's database, so that one transaction
    // spans them and its statements.
    m_customers = new DataSource(this);
    m_customers->setObjectName(QStringLiteral("Adodc1"));
    m_customers->setSource(QStringLiteral("SELECT * FROM Customers ORDER BY Cliente"));
    m_articles = new DataSource(this);
    m_articles->setObjectName(QStringLiteral("Adodc2"));
    m_articles->setSource(QStringLiteral("select * from tires ORDER BY Descrizione"));
    m_header = new DataSource(this);
    m_header->setObjectName(QStringLiteral("Adodc4"));
    m_header->setSource(QLatin1String(kind.archiveSource));
    m_lines = new DataSource(this);
    m_lines->setObjectName(QStringLiteral("Adodc5"));
    WorkingTables(m_connection).showLines(*m_lines, QStringLiteral("select * from Odummy"));

    // Header boxes.
    m_code = makeBox("txtCode", this);
    bind(m_code, m_header, QLatin1String(kind.numberField), QLatin1String(kind.numberCaption));
    m_date = makeBox("txtDate", this);
    bind(m_date, m_header, QStringLiteral("Date"), QLatin1String(kind.dateCaption));
    m_customer = makeBox("txtSupplier", this);
    bind(m_customer, m_header, QStringLiteral("Cliente"), QStringLiteral("Denominazione Cliente"));
    m_customerCode = makeBox("txtclicode", this);
    bind(m_customerCode, m_header, QStringLiteral("Codice Cliente"), QStringLiteral("Codice Cliente"));
    m_ddt = makeBox("txtBolla", this);
    m_ddtDate = makeBox("txtdatabolla", this);
    if (kind.invoice) {
        const char* const names[] = {"txtpagamento", "txtaspetto", "txtcolli", "txtvettore"};
        const char* const fields[] = {"Pagamento", "Aspetto", "Numero Colli", "Vettore"};
        const char* const captions[] = {"Pagamento", "Aspetto Esteriore", "N.Colli", "Vettore"};
        for (int i = 0; i < 4; ++i) {
            QLineEdit* box = makeBox(names[i], this);
            bind(box, m_header, QLatin1String(fields[i]), QLatin1String(captions[i]));
            m_invoiceBoxes << box;
        }
    }
    m_taxable = makeBox("txtimponibile", this);
    bind(m_taxable, m_header, QStringLiteral("Totale Imponibile"), QStringLiteral("Tot.Imponibile"))
        ->setDisplay(documents::totalText);
    m_vat = makeBox("txtimposta", this);
    bind(m_vat, m_header, QStringLiteral("Totale Imposta"), QStringLiteral("Tot.Imposta"))
        ->setDisplay(documents::totalText);
    m_total = makeBox("txttotale", this);
    bind(m_total, m_header, QStringLiteral("Totale Fattura"), QLatin1String(kind.totalCaption))
        ->setDisplay(documents::totalText);
    for (QLineEdit* box : {m_code, m_date, m_customer, m_customerCode, m_taxable, m_vat, m_total})
        box->setReadOnly(true);
    for (QLineEdit* box : m_invoiceBoxes)
        box->setReadOnly(true);
    for (QLineEdit* box : {m_taxable, m_vat, m_total})
        box->setAlignment(Qt::AlignRight);

    // Hidden mirrors of the customer under the customer list's cursor.
    m_customerMirror = makeMirror("txtSupplier2", this);
    bind(m_customerMirror, m_customers, QStringLiteral("Cliente"));
    m_customerCodeMirror = makeMirror("txtclicode2", this);
    bind(m_customerCodeMirror, m_customers, QStringLiteral("Customer Code"));
    m_priceList = makeMirror("txtlistino", this);
    bind(m_priceList, m_customers, QStringLiteral("listino"));

    makeLists();

    m_new = makeButton(QStringLiteral("Nuova"), "cmdAdd", this);
    m_save = makeButton(QStringLiteral("Salva"), "cmdSave", this);
    m_cancel = makeButton(QStringLiteral("Cancella"), "cmdCancel", this);
    m_print = makeButton(QStringLiteral("Stampa"), "cmdSlip", this);
    m_back = makeButton(QStringLiteral("<Menu>"), "cmdBack", this);
    m_addLine = makeButton(QStringLiteral("Nuova Riga"), "cmdriga", this);
    m_totals = makeButton(QStringLiteral("valorizza"), "cmdTotali", this);
    if (kind.invoice) {
        m_fatturaPA = makeButton(QStringLiteral("FatturaPA"), "cmdFatturaPA", this);
        m_company = makeButton(QStringLiteral("Dati Azienda"), "cmdAzienda", this);
        m_fatturaPA->setEnabled(false);
        connect(m_fatturaPA, &QPushButton::clicked, this,
                [this] { exportFatturaPA(this, m_pickedInvoice); });
        connect(m_company, &QPushButton::clicked, this, [] { openCompanyData(); });
        m_einvoice = new EInvoicePanel(m_header, m_invoiceBoxes.value(0), this);
    }
    m_save->setEnabled(false);
    m_cancel->setEnabled(false);

    buildLayout();
    pressFocusedButtonOnEnter(this);

    connect(m_new, &QPushButton::clicked, this, &DocumentScreen::startDocument);
    connect(m_save, &QPushButton::clicked, this, &DocumentScreen::save);
    connect(m_cancel, &QPushButton::clicked, this, &DocumentScreen::abandon);
    connect(m_print, &QPushButton::clicked, this, &DocumentScreen::print);
    connect(m_back, &QPushButton::clicked, this, [this] { nav::go(this, QStringLiteral("frmMenu")); });
    connect(m_addLine, &QPushButton::clicked, this, &DocumentScreen::addLine);
    connect(m_totals, &QPushButton::clicked, this, [this] {
        m_linesGrid->endEdit();
        if (m_editing)
            computeTotals();
    });

    // A click picks, also on the row already current; Enter or a double
    // click does the same. Moving through a list with the arrows does not.
    auto picks = [this](DataGrid* grid, void (DocumentScreen::*pick)()) {
        connect(grid, &QAbstractItemView::clicked, this, pick);
        connect(grid, &QAbstractItemView::activated, this, pick);
    };
    picks(m_customerList, &DocumentScreen::pickCustomer);
    picks(m_articleList, &DocumentScreen::pickArticle);
    picks(m_archive, &DocumentScreen::pickArchived);
    connect(m_customerMirror, &QLineEdit::textChanged, this, [this](const QString& name) {
        if (m_editing)
            m_customer->setText(name);
    });
    connect(m_linesGrid, &LinesGrid::lineEdited, this, &DocumentScreen::recomputeLine);
    for (DataGrid* grid : {m_customerList, m_articleList, m_archive,
                           static_cast<DataGrid*>(m_linesGrid)})
        connect(grid, &DataGrid::failed, this, [this](const QString& why) {
            failed(QStringLiteral("Writing the changes of the %1"), why);
        });
    if (kind.invoice) {
        // The focus leaving the lines grid ends an edit still open there.
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
            if (old && m_linesGrid->isAncestorOf(old) && !(now && m_linesGrid->isAncestorOf(now)))
                m_linesGrid->endEdit();
        });
    }
}

// An activation never enables "Stampa": with no document on file there is
// nothing to print.
bool DocumentScreen::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        checkPrintable();
    return QWidget::event(event);
}

void DocumentScreen::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    checkPrintable();
}

void DocumentScreen::checkPrintable()
{
    if (m_header->recordCount() == 0)
        m_print->setEnabled(false);
}

// Unload: an unsaved header and line are dropped; lines already written to
// the working table stay until the next new document.
void DocumentScreen::closeEvent(QCloseEvent* event)
{
    m_linesGrid->setEditable(false);
    m_header->cancelBatch();
    m_lines->cancelBatch();
    m_connection.close();
    QWidget::closeEvent(event);
}

void DocumentScreen::failed(const QString& operation, const QString& why)
{
    msg::failed(this, operation.arg(QLatin1String(m_kind.noun)), why);
}

// A fresh data environment reads the print selection as it is now; the
// report window opens beside this screen, which stays usable.
void DocumentScreen::print()
{
    const auto kind = m_kind.invoice ? reports::DocumentKind::Invoice : reports::DocumentKind::Order;
    try {
        reports::printDocument(kind, m_connection.database());
    } catch (const DbError& e) {
        failed(QStringLiteral("Printing the %1"), e.text());
    }
}

// Empties the working lines; nothing else may start while some are left,
// or they would be saved with the next document.
bool DocumentScreen::clearLines()
{
    try {
        WorkingTables(m_connection).clearLines();
    } catch (const DbError& e) {
        failed(QStringLiteral("Emptying the working lines of the %1"), e.text());
        return false;
    }
    return true;
}

void DocumentScreen::startDocument()
{
    const auto showLines = [this] {
        try {
            WorkingTables(m_connection).showLines(*m_lines, QLatin1String(m_kind.newLinesSource));
        } catch (const DbError& e) {
            failed(QStringLiteral("Reading the working lines of the %1"), e.text());
            return false;
        }
        return true;
    };
    if (!showLines())
        return;
    if (m_lines->recordCount() > 0 && !(clearLines() && showLines()))
        return;
    m_linesGrid->rebuildColumns();
    sizeLineColumns();
    const QString number = m_kind.invoice ? nextInvoiceNumber() : QString();
    try {
        m_header->addNew();
        m_lines->addNew();
    } catch (const DbError& e) {
        failed(QStringLiteral("Starting a new %1"), e.text());
        return;
    }
    setEditMode();
    m_code->setText(m_kind.invoice ? number : newOrderNumber());
    m_code->setFocus();
    m_date->setText(formatDate(QDate::currentDate()));
}

// One more than the invoice the list shows last, which is the highest; a
// last number that is no number counts as 0.
QString DocumentScreen::nextInvoiceNumber()
{
    if (m_header->recordCount() == 0)
        return QStringLiteral("1");
    try {
        m_header->moveLast();
    } catch (const DbError&) {
        // The header has no pending changes while browsing; nothing to tell.
    }
    const double last = std::floor(leadingNumber(m_code->text()));
    const qint64 next = last >= 1 && last < largestNumber ? static_cast<qint64>(last) + 1 : 1;
    return QString::number(next);
}

// A code already on file would mix two orders' lines: draw again.
QString DocumentScreen::newOrderNumber()
{
    QString code;
    for (int attempt = 0; attempt < 100; ++attempt) {
        code = recordCode(QStringLiteral("ORD"), m_code->text());
        try {
            if (!documents::numberOnFile(m_connection.database(), m_kind, code))
                break;
        } catch (const DbError&) {
            break; // saving checks again, and says why
        }
    }
    return code;
}

void DocumentScreen::abandon()
{
    m_linesGrid->setEditable(false);
    clearLines();
    nav::restart(this);
}

void DocumentScreen::pickCustomer()
{
    if (!m_editing)
        return;
    m_customer->setText(m_customerMirror->text());
    m_customerCode->setText(m_customerCodeMirror->text());
}

QVariant DocumentScreen::documentNumber() const
{
    const QString text = m_code->text();
    if (!m_kind.invoice)
        return text.trimmed().isEmpty() ? QVariant() : QVariant(text);
    const auto number = parseNumber(text);
    if (!number || *number < 1 || *number > largestInvoiceNumber || std::floor(*number) != *number)
        return {};
    return QVariant(static_cast<qlonglong>(*number));
}

// The lines, the emptying of the working lines and the header are stored
// together or not at all; a refusal or failure leaves everything typed.
void DocumentScreen::save()
{
    m_linesGrid->endEdit();
    if (!computeTotals())
        return;
    // The line being typed takes the number the document is stored under,
    // whatever it held.
    const QVariant stored = documentNumber();
    if (!stored.isNull() && m_lines->hasChanges())
        setLineCell(m_kind.lineNumberPosition, stored.toString());
    if (!writeCurrentLine())
        return;
    if (m_customer->text().isEmpty()) {
        msg::critical(this, QStringLiteral("Invalid data."));
        return;
    }
    const QVariant number = documentNumber();
    if (number.isNull()) {
        msg::critical(this, QStringLiteral("Invalid data."));
        selectWholeText(m_code);
        return;
    }
    if (m_einvoice && !m_einvoice->acceptSave(number))
        return;
    bool taken = false;
    bool gone = false;
    try {
        Database& db = m_connection.database();
        SourceTransaction tx(db, {m_header, m_lines});
        taken = documents::numberOnFile(db, m_kind, number);
        // Another copy may have deleted the customer since it was picked.
        gone = !taken
               && !documents::customerOnFile(db, m_customerCode->text(), m_customer->text());
        if (!taken && !gone) {
            WorkingTables(m_connection).saveLines(m_kind, number);
            m_header->updateBatch();
            // The saved document is the print selection: one commit for both.
            selectForPrinting();
            tx.commit();
            m_selectionWritten = true;
        }
    } catch (const DuplicateError&) {
        taken = true; // another desk saved the same number a moment before
    } catch (const DbError& e) {
        failed(QStringLiteral("Saving the %1"), e.text());
        return;
    }
    if (gone) {
        msg::critical(this, QStringLiteral("The customer %1 is no longer on file, so the %2 was "
                                           "not saved: pick another customer.")
                                .arg(m_customer->text(), QLatin1String(m_kind.noun)));
        return;
    }
    if (taken) {
        msg::critical(this, QStringLiteral("The %1 number %2 is already on file: give this %1 "
                                           "another number.")
                                .arg(QLatin1String(m_kind.noun), m_code->text()));
        selectWholeText(m_code);
        return;
    }
    keepArchiveOrder();
    setBrowseMode();
    m_print->setEnabled(true);
    // The document just saved is the one shown: "Stampa" prints it.
    pickArchived();
    m_selectionWritten = false;
    m_new->setFocus(); // Enter starts the next document, never leaves the screen
}

// The invoice list is in ascending number, and the next number counts on
// from its last row: an invoice saved under a lower number than the last
// one is put in its place.
void DocumentScreen::keepArchiveOrder()
{
    if (!m_kind.invoice)
        return;
    const int row = m_header->currentRow();
    if (row < 1)
        return;
    const int field = m_header->requireField(QLatin1String(m_kind.numberField));
    const QVariant previous = m_header->stored(row - 1, field);
    const QVariant saved = m_header->stored(row, field);
    if (previous.toDouble() <= saved.toDouble())
        return;
    try {
        m_header->refresh();
        m_header->find(QLatin1String(m_kind.numberField), saved.toString());
    } catch (const DbError& e) {
        failed(QStringLiteral("Reading the saved %1s again"), e.text());
    }
}

// Makes the picked document the print selection and shows its saved lines.
void DocumentScreen::pickArchived()
{
    if (m_editing || !m_header->hasCurrent())
        return;
    const QString key = m_archive->cellText(m_kind.archiveKeyColumn);
    try {
        if (!m_selectionWritten)
            selectForPrinting();
    } catch (const DbError& e) {
        failed(QStringLiteral("Selecting the %1 for printing"), e.text());
    }
    try {
        m_lines->setSource(QLatin1String(m_kind.savedLinesSource), {key});
    } catch (const DbError& e) {
        failed(QStringLiteral("Reading the lines of the %1"), e.text());
    }
    m_linesGrid->rebuildColumns();
    sizeLineColumns();
    if (m_kind.invoice)
        m_pickedInvoice = key;
    if (m_einvoice)
        m_einvoice->showInvoice(key);
    updateFatturaPA();
}

void DocumentScreen::selectForPrinting()
{
    WorkingTables(m_connection)
        .select(m_kind, m_archive->cellText(m_kind.archiveKeyColumn), m_archive->cellText(2),
                m_header->recordCount() - 1);
}

// "FatturaPA" exports only a saved invoice that the user picked and sees.
void DocumentScreen::updateFatturaPA()
{
    if (m_fatturaPA)
        m_fatturaPA->setEnabled(!m_editing && !m_pickedInvoice.isEmpty());
    if (m_einvoice)
        m_einvoice->setEditing(m_editing);
}

void DocumentScreen::setEditMode()
{
    m_editing = true;
    m_pickedInvoice.clear();
    updateFatturaPA();
    m_new->setEnabled(false);
    m_save->setEnabled(true);
    m_cancel->setEnabled(true);
    m_print->setEnabled(false);
    m_customerList->setEnabled(true);
    m_articleList->setEnabled(true);
    m_archive->setEnabled(false);
    m_linesGrid->setEnabled(true);
    m_linesGrid->setEditable(true);
    for (QLineEdit* box : m_invoiceBoxes)
        box->setReadOnly(false);
    m_code->setReadOnly(!m_kind.invoice);
    m_date->setReadOnly(!m_kind.invoice);
}

void DocumentScreen::setBrowseMode()
{
    m_editing = false;
    m_archive->refresh();
    m_new->setEnabled(true);
    m_save->setEnabled(false);
    m_cancel->setEnabled(false);
    m_print->setEnabled(true);
    m_customerList->setEnabled(false);
    m_articleList->setEnabled(false);
    m_archive->setEnabled(true);
    m_linesGrid->setEditable(false);
    for (QLineEdit* box : m_invoiceBoxes)
        box->setReadOnly(true);
    m_code->setReadOnly(true);
    m_date->setReadOnly(true);
    updateFatturaPA();
}

} // namespace velinor
