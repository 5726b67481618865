#include "masterdata/articlescreen.h"

#include "app/navigation.h"
#include "common/credit.h"
#include "common/logo.h"
#include "common/messagebox.h"
#include "common/numbertext.h"
#include "common/recordcode.h"
#include "data/datagrid.h"
#include "reports/listreport.h"
#include "data/datasource.h"
#include "data/fieldbinding.h"
#include "masterdata/stepcontrol.h"

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

struct PickRow {
    const char* source;
    const char* table;
    const char* keyField;
    const char* list;
    const char* heading;
    const char* mirror;
    const char* box;
    const char* articleField;
    const char* caption;
    const char* captionName;
    const char* add;
    const char* opens;
};

const PickRow pickRows[3] = {
    {"Adodc1", "Categories", "Category", "DataGrid1", "Settore", "txtCategory2", "txtCategory",
     "Category", "Settore ", "lblCategory", "cmdCategory", "frmCategory"},
    {"Adodc2", "Sizes", "Size", "DataGrid2", "aliquote", "txtSize2", "txtSize", "Iva", "Aliquota",
     "lblSize", "cmdSize", "frmSize"},
    {"Adodc3", "Patterns", "Pattern", "DataGrid3", "Unità di misura", "txtPattern2", "txtPattern",
     "Pattern", "Unità di Misura", "lblPattern", "cmdPattern", "frmPattern"},
};

const char* const articleColumns[] = {"descrizione", "Price", "Pattern", "Tire Code", "Category",
                                      "Size", "Quantity", "Min", "Max", "Iva",
                                      "listino1", "listino2", "listino3", "misura"};

} // namespace

MaintenanceScreen::Names ArticleScreen::names()
{
    Names names;
    names.screen = QStringLiteral("frmTire");
    names.caption = withCredit(QStringLiteral("Aggiornamento Articoli"));
    names.source = QStringLiteral("Adodc4");
    names.sourceText = QStringLiteral("SELECT * FROM Tires ORDER BY Descrizione");
    names.record = QStringLiteral("article");
    names.aRecord = QStringLiteral("an article");
    names.back = QStringLiteral("frmMenu");
    return names;
}

ArticleScreen::ArticleScreen(QWidget* parent)
    : MaintenanceScreen(names(), parent), m_articles(records())
{
    QGroupBox* frame = this->frame();

    // Messages name a field by the caption the user reads above its box.
    auto articleBox = [this](QWidget* parent, const char* name, const char* field,
                             const char* caption) {
        auto* box = new QLineEdit(parent);
        box->setObjectName(QLatin1String(name));
        bind(box, m_articles, QLatin1String(field), QString::fromUtf8(caption));
        return box;
    };
    m_code = articleBox(frame, "txtCode", "Tire Code", "Codice Articolo");
    m_code->setReadOnly(true);
    m_description = articleBox(frame, "Text1", "descrizione", "Descrizione Articolo");
    m_prices[0] = articleBox(frame, "txtPrice1", "listino1", "Prezzo di Vendita 1");
    m_prices[1] = articleBox(frame, "txtprice2", "listino2", "Prezzo di Vendita 2");
    m_prices[2] = articleBox(frame, "txtprice3", "listino3", "Prezzo di Vendita 3");
    for (QLineEdit* box : m_prices)
        lockWhileBrowsing(box);
    for (int i = 0; i < 3; ++i)
        m_picks[i] = makePick(i, frame);

    // The stock block: hidden in the delivered layout, still bound, so Save
    // writes and checks the stored values.
    auto* stock = new QWidget(frame);
    stock->setObjectName(QStringLiteral("fraStock"));
    auto* stockLayout = new QGridLayout(stock);
    stockLayout->setContentsMargins(0, 0, 0, 0);
    stockLayout->addWidget(makeCaption(QStringLiteral("Quantità"), "lblQuantity", stock), 0, 0, 1, 2);
    m_quantity = articleBox(stock, "txtQuantity", "Quantity", "Quantità");
    m_min = articleBox(stock, "txtMin", "Min", "Min");
    m_max = articleBox(stock, "txtMax", "Max", "Max");
    const char* const stepNames[] = {"updQuantity", "updMin", "updMax"};
    QLineEdit* const stockBoxes[] = {m_quantity, m_min, m_max};
    for (int i = 0; i < 3; ++i) {
        QLineEdit* box = stockBoxes[i];
        box->setReadOnly(true);
        m_steps[i] = new StepControl(stock);
        m_steps[i]->setObjectName(QLatin1String(stepNames[i]));
        enableWhileEditing(m_steps[i]);
        stockLayout->addWidget(box, i + 1, 0);
        stockLayout->addWidget(m_steps[i], i + 1, 1);
        connect(m_steps[i], &StepControl::up, this, [this, box] { stepUp(box); });
        connect(m_steps[i], &StepControl::down, this, [this, box] { stepDown(box); });
    }
    stock->setVisible(false);

    for (QLineEdit* box : {m_code, m_description, m_picks[0].box, m_picks[1].box,
                           m_picks[2].box, m_quantity, m_min, m_max})
        greyBackground(box);

    m_list = new DataGrid(m_articles, frame);
    m_list->setObjectName(QStringLiteral("DataGrid4"));
    setRecordList(m_list, false);
    std::vector<GridColumn> columns;
    for (const char* c : articleColumns)
        columns.push_back({QLatin1String(c), QString()});
    m_list->setColumns(std::move(columns));
    // The description is what the user reads the list by.
    m_list->setColumnWidth(0, m_list->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 32);

    m_report = makeButton(QStringLiteral("Stampe"), "cmdReport", this);
    m_report->setVisible(false); // as delivered: the user cannot reach the article list report
    setReportButton(m_report);
    connect(m_report, &QPushButton::clicked, this, &ArticleScreen::print);

    // Top: logo, code and description, then the three prices.
    auto* top = new QHBoxLayout;
    top->addWidget(makeLogo(frame), 0, Qt::AlignTop);
    auto* identity = new QVBoxLayout;
    identity->addWidget(makeCaption(QStringLiteral("Codice Articolo"), "lblCode", frame));
    identity->addWidget(m_code);
    identity->addWidget(makeCaption(QStringLiteral("Descrizione Articolo"), "lblDescription", frame));
    identity->addWidget(m_description);
    top->addLayout(identity, 3);
    const char* const priceCaptions[] = {"Prezzo di Vendita 1", "Prezzo di Vendita 2",
                                         "Prezzo di Vendita 3"};
    const char* const priceCaptionNames[] = {"lblPrice1", "lblPrice2", "lblPrice3"};
    for (int i = 0; i < 3; ++i) {
        auto* price = new QVBoxLayout;
        price->addWidget(makeCaption(QLatin1String(priceCaptions[i]), priceCaptionNames[i], frame));
        price->addWidget(m_prices[i]);
        price->addStretch();
        top->addLayout(price, 1);
    }

    // Middle: group, VAT rate and unit side by side.
    auto* lookups = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        const PickRow& row = pickRows[i];
        auto* column = new QVBoxLayout;
        column->addWidget(makeCaption(QString::fromUtf8(row.caption), row.captionName, frame));
        column->addWidget(m_picks[i].box);
        column->addWidget(m_picks[i].list, 1);
        column->addWidget(m_picks[i].add);
        lookups->addLayout(column, 1);
    }

    // Bottom: the article list, in the place the stock block would share.
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(stock);
    bottom->addWidget(m_list, 1);

    auto* panel = new QGridLayout(frame);
    panel->addLayout(top, 0, 0);
    panel->addLayout(lookups, 1, 0);
    panel->addLayout(bottom, 2, 0);
    panel->addLayout(buttonColumn(), 0, 1, 3, 1);
    panel->setRowStretch(1, 1);
    panel->setRowStretch(2, 2);
    panel->setColumnStretch(0, 1);

    auto* footer = new QHBoxLayout;
    footer->addStretch();
    footer->addWidget(m_report);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(footer);

    resize(900, 640);
}

ArticleScreen::Pick ArticleScreen::makePick(int index, QWidget* parent)
{
    const PickRow& row = pickRows[index];
    auto* source = new DataSource(this);
    source->setObjectName(QLatin1String(row.source));
    source->setSource(QLatin1String(row.table));
    m_lookups[index] = source;

    Pick pick;
    pick.box = new QLineEdit(parent);
    pick.box->setObjectName(QLatin1String(row.box));
    pick.box->setReadOnly(true);
    bind(pick.box, m_articles, QLatin1String(row.articleField), QString::fromUtf8(row.caption));

    pick.mirror = new QLineEdit(this);
    pick.mirror->setObjectName(QLatin1String(row.mirror));
    pick.mirror->setReadOnly(true);
    pick.mirror->setVisible(false);
    bind(pick.mirror, source, QLatin1String(row.keyField));

    pick.list = new DataGrid(source, parent);
    pick.list->setObjectName(QLatin1String(row.list));
    pick.list->setColumns({{QLatin1String(row.keyField), QString::fromUtf8(row.heading)}});
    pick.list->horizontalHeader()->setStretchLastSection(true);
    pick.list->setHighlightOnlyPicked(true);
    enableWhileEditing(pick.list);

    pick.add = makeButton(QStringLiteral("Aggiungi"), row.add, parent);
    enableWhileBrowsing(pick.add);

    // Only the user's moves fill the article: loading the lists leaves the
    // stored values alone. A click fills it again, so that picking the row
    // that is already current works too.
    QLineEdit* box = pick.box;
    QLineEdit* mirror = pick.mirror;
    connect(pick.list, &DataGrid::rowSelected, this, [box, mirror] { box->setText(mirror->text()); });
    connect(pick.list, &DataGrid::clicked, this, [box, mirror] {
        box->setText(mirror->text());
        box->setFocus();
    });
    const QString target = QLatin1String(row.opens);
    connect(pick.add, &QPushButton::clicked, this, [this, target] { nav::go(this, target); });
    return pick;
}

void ArticleScreen::added()
{
    m_code->setText(recordCode(QStringLiteral("TIR"), m_code->text()));
}

bool ArticleScreen::checkBeforeWrite()
{
    for (const Pick& pick : m_picks)
        if (pick.box->text().isEmpty()) {
            msg::critical(this, QStringLiteral("Invalid data."));
            return false;
        }
    return true;
}

void ArticleScreen::written() { remindStock(); }

// Read from the boxes, which show the written values in the user's locale.
void ArticleScreen::remindStock()
{
    const double max = leadingNumber(m_max->text());
    const double quantity = leadingNumber(m_quantity->text());
    const double min = leadingNumber(m_min->text());
    if (max < quantity)
        msg::exclamation(this, QStringLiteral("Reminder: This tire is above its maximum quantity."));
    else if (min > quantity)
        msg::exclamation(this, QStringLiteral("Reminder: This tire is below its minimum quantity."));
}

void ArticleScreen::print()
{
    reports::printList(QStringLiteral("DataReport1"), *m_articles, this);
}

void ArticleScreen::stepUp(QLineEdit* box)
{
    box->setText(formatNumber(leadingNumber(box->text()) + 1));
    box->setFocus();
}

void ArticleScreen::stepDown(QLineEdit* box)
{
    box->setText(formatNumber(leadingNumber(box->text()) - 1));
    if (leadingNumber(box->text()) < 0)
        box->setText(QStringLiteral("0"));
    box->setFocus();
}

} // namespace velinor
