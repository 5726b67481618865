#include "documents/documentscreen.h"

#include "common/logo.h"
#include "data/datagrid.h"
#include "data/datasource.h"
#include "documents/documentkind.h"
#include "documents/einvoicepanel.h"
#include "documents/linesgrid.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

// How the document screens are laid out: the lists with their columns, the
// header over them and the buttons under them.
namespace velinor {

namespace {

const char* const customerColumns[] = {"Customer Code", "Cliente", "Indirizzo",
                                       "NumeroTelefonico", "città", "PartitaIva",
                                       "CodiceFiscale", "listino"};
const int customerWidths[] = {12, 34, 28, 15, 16, 13, 17, 7};

const char* const articleColumns[] = {"descrizione", "Price", "Pattern", "Tire Code", "Category",
                                      "Size", "Quantity", "Min", "Max", "Iva",
                                      "listino1", "listino2", "listino3", "misura"};
const int articleWidths[] = {36, 8, 7, 12, 13, 7, 8, 6, 6, 5, 9, 9, 9, 8};

const char* const archiveColumns[] = {"Order Code", "Date", "Cliente", "Codice Cliente",
                                      "Totale Imponibile", "Totale Imposta", "Totale Fattura",
                                      "Pagamento", "Scadenze", "Destinazione Diversa", "Causale",
                                      "Vettore", "Aspetto", "Numero Ordine", "Numero DDT",
                                      "Numero Preventivo"};
const int archiveWidths[] = {13, 11, 30, 13, 15, 13, 13, 16, 12, 18, 12, 14, 14, 14, 12, 16};

// Widths of the lines grid by field position; later fields get the last one.
const int lineWidths[] = {5, 34, 9, 10, 11, 6, 11, 9, 9, 11, 11, 13, 13, 13, 9, 11, 6, 9};

QLabel* makeCaption(const QString& text, const QString& name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

void setWidths(DataGrid* grid, const int* widths, int count)
{
    const QFontMetrics metrics = grid->fontMetrics();
    const int ch = metrics.horizontalAdvance(QLatin1Char('x'));
    GridModel* model = grid->gridModel();
    for (int c = 0; c < model->columnCount(); ++c) {
        const QString heading = model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        grid->setColumnWidth(c, std::max(widths[std::min(c, count - 1)] * ch,
                                         metrics.horizontalAdvance(heading) + 2 * ch));
    }
}

std::vector<GridColumn> columnsOf(const char* const* names, int count, const char* firstHeading)
{
    std::vector<GridColumn> columns;
    for (int i = 0; i < count; ++i)
        columns.push_back({QString::fromUtf8(names[i]), QString()});
    if (firstHeading)
        columns.front().heading = QLatin1String(firstHeading);
    return columns;
}

} // namespace

void DocumentScreen::makeLists()
{
    m_customerList = new DataGrid(m_customers, this);
    m_customerList->setObjectName(QStringLiteral("DataGrid1"));
    m_customerList->setColumns(columnsOf(customerColumns, std::size(customerColumns), nullptr));
    setWidths(m_customerList, customerWidths, std::size(customerWidths));
    m_articleList = new DataGrid(m_articles, this);
    m_articleList->setObjectName(QStringLiteral("DataGrid2"));
    m_articleList->setColumns(columnsOf(articleColumns, std::size(articleColumns), nullptr));
    setWidths(m_articleList, articleWidths, std::size(articleWidths));
    m_archive = new DataGrid(m_header, this);
    m_archive->setObjectName(QStringLiteral("DataGrid4"));
    m_archive->setColumns(columnsOf(archiveColumns, m_kind.archiveColumns, m_kind.firstHeading));
    setWidths(m_archive, archiveWidths, m_kind.archiveColumns);
    m_archive->setScrolledToEnd(true); // the newest documents are the last
    m_linesGrid = new LinesGrid(m_lines, this);
    m_linesGrid->setObjectName(QStringLiteral("DataGrid5"));
    std::vector<GridColumn> opening;
    for (int f = 0; f < std::min(m_kind.openingLineColumns, m_lines->fieldCount()); ++f)
        opening.push_back({m_lines->field(f).name, QString()});
    m_linesGrid->setColumns(std::move(opening));
    sizeLineColumns();
}

void DocumentScreen::sizeLineColumns()
{
    setWidths(m_linesGrid, lineWidths, std::size(lineWidths));
}

void DocumentScreen::buildLayout()
{
    const bool invoice = m_kind.invoice;
    auto* header = new QGridLayout;
    header->setHorizontalSpacing(10);
    header->setVerticalSpacing(2);
    // A caption above its box; the caption is named after the box.
    auto place = [this, header](QLineEdit* box, const QString& caption, int row, int column,
                                int span = 1) {
        QLabel* label = makeCaption(caption, QStringLiteral("lbl") + box->objectName().mid(3), this);
        label->setBuddy(box);
        header->addWidget(label, row * 2, column, 1, span);
        header->addWidget(box, row * 2 + 1, column, 1, span);
        return label;
    };
    place(m_code, QString::fromUtf8(m_kind.numberCaption), 0, 0);
    place(m_date, QString::fromUtf8(m_kind.dateCaption), 0, 1);
    place(m_customer, QStringLiteral("Denominazione Cliente"), 0, 2, 2);
    QLabel* codeLabel = place(m_customerCode, QStringLiteral("Codice Cliente"), 0, 4);
    QLabel* ddtLabel = place(m_ddt, QStringLiteral("Rif.DDT n."), 1, 0);
    QLabel* ddtDateLabel = place(m_ddtDate, QStringLiteral("del"), 1, 1);
    if (invoice) {
        const char* const captions[] = {"Pagamento", "Aspetto Esteriore", "N.Colli", "Vettore"};
        const int columns[] = {2, 3, 4, 5};
        for (int i = 0; i < 4; ++i)
            place(m_invoiceBoxes[i], QString::fromUtf8(captions[i]), 1, columns[i]);
        codeLabel->setVisible(false);
        m_customerCode->setVisible(false);
    } else {
        for (QWidget* w : {static_cast<QWidget*>(ddtLabel), static_cast<QWidget*>(ddtDateLabel),
                           static_cast<QWidget*>(m_ddt), static_cast<QWidget*>(m_ddtDate)})
            w->setVisible(false);
    }
    const int ch = fontMetrics().horizontalAdvance(QLatin1Char('x'));
    m_code->setMinimumWidth(ch * 14);
    m_date->setMinimumWidth(ch * 12);
    m_customer->setMinimumWidth(ch * 36);
    for (int c : {2, 3})
        header->setColumnStretch(c, 1);

    auto* totals = new QGridLayout;
    totals->setVerticalSpacing(2);
    const QString totalCaptions[] = {QStringLiteral("Tot.Imponibile"), QStringLiteral("Tot.Imposta"),
                                     QString::fromUtf8(m_kind.totalCaption)};
    QLineEdit* const totalBoxes[] = {m_taxable, m_vat, m_total};
    for (int i = 0; i < 3; ++i) {
        QLabel* label = makeCaption(totalCaptions[i],
                                    QStringLiteral("lbl") + totalBoxes[i]->objectName().mid(3), this);
        label->setBuddy(totalBoxes[i]);
        totalBoxes[i]->setMinimumWidth(ch * 16);
        totals->addWidget(label, i, 0);
        totals->addWidget(totalBoxes[i], i, 1);
    }

    auto* top = new QHBoxLayout;
    top->addWidget(makeLogo(this), 0, Qt::AlignTop);
    top->addLayout(header, 1);
    top->addSpacing(16);
    top->addLayout(totals);
    top->setAlignment(header, Qt::AlignTop);

    // A grid under its caption.
    auto titled = [this](DataGrid* grid, const QString& caption) {
        grid->setAccessibleName(caption);
        auto* box = new QVBoxLayout;
        box->setSpacing(2);
        QLabel* label = makeCaption(caption, QStringLiteral("lbl") + grid->objectName(), this);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        label->setBuddy(grid);
        box->addWidget(label);
        box->addWidget(grid, 1);
        return box;
    };
    auto* picks = new QHBoxLayout;
    picks->addLayout(titled(m_customerList, QStringLiteral("Anagrafica Clienti")), 1);
    picks->addLayout(titled(m_articleList, QStringLiteral("Archivio Articoli")), 1);

    auto* lineButtons = new QVBoxLayout;
    lineButtons->addSpacing(fontMetrics().height() + 2);
    lineButtons->addWidget(m_addLine);
    lineButtons->addWidget(m_totals);
    lineButtons->addStretch();
    auto* lines = new QHBoxLayout;
    lines->addLayout(titled(m_linesGrid, QStringLiteral("Dettaglio Ordine")), 1);
    lines->addLayout(lineButtons);

    m_buttonRow = new QHBoxLayout;
    m_buttonRow->setObjectName(QStringLiteral("buttonRow"));
    for (QPushButton* b : {m_new, m_save, m_cancel, m_print})
        m_buttonRow->addWidget(b);
    if (m_fatturaPA) {
        m_buttonRow->addSpacing(24);
        m_buttonRow->addWidget(m_fatturaPA);
        m_buttonRow->addWidget(m_company);
    }
    m_buttonRow->addStretch();
    m_buttonRow->addWidget(m_back);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    if (m_einvoice)
        layout->addWidget(m_einvoice);
    layout->addLayout(picks, 3);
    layout->addLayout(lines, 3);
    layout->addLayout(titled(m_archive, QString::fromUtf8(m_kind.archiveCaption)), 2);
    layout->addLayout(m_buttonRow);
    resize(1180, 800);
}

} // namespace velinor
