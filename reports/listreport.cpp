#include "reports/listreport.h"

#include "app/navigation.h"
#include "data/datasource.h"
#include "reports/reportwindow.h"
#include "reports/seller.h"

#include <QEvent>
#include <QDate>
#include <QPointer>
#include <QWidget>

#include <stdexcept>

namespace velinor::reports {

namespace {

struct Column {
    const char* heading;
    const char* field;
    double width; // cm
    Qt::Alignment align = Qt::AlignLeft;
    double fieldWidth = 0; // cm, when the field runs on under the next headings
};

enum Fonts { Body, Company, Address, Heading };

constexpr double bodyWidth = 18; // A4 less 1.5 cm each side
constexpr double padding = 0.1;

// Company header, framed column headings and one line per row; ruled cells
// for the article list; the page number at the foot of every page.
ReportDefinition listOf(const QString& name, const std::vector<Column>& columns, bool ruledCells,
                        const einvoice::Company& company)
{
    ReportDefinition def;
    def.name = name;
    def.fonts = {{QStringLiteral("Arial"), 9},
                 {QStringLiteral("Verdana"), 14, true},
                 {QStringLiteral("Verdana"), 10},
                 {QStringLiteral("Arial"), 9, true}};
    // The placeholders stand for a company not entered yet.
    const QString address = sellerAddress(company).join(QStringLiteral(", "));
    const bool none = company.denominazione.isEmpty() && address.isEmpty();
    def.reportHeader.height = 1.8;
    def.reportHeader
        .label(0, 0, bodyWidth, none ? QStringLiteral("(COMPANY NAME)") : company.denominazione, Company,
               Qt::AlignLeft, 0.8)
        .label(0, 0.85, bodyWidth, none ? QStringLiteral("(Address)") : address, Address, Qt::AlignLeft, 0.55);
    def.pageFooter.height = 0.8;
    def.pageFooter.pageNumber(0, 0.3, bodyWidth, QStringLiteral("Pagina %1 di %2"), Body, Qt::AlignRight);
    def.pageHeader.height = 0.9;
    def.pageHeader.frame(0, 0, bodyWidth, 0.7);
    def.detail.height = 0.55;
    double left = 0;
    for (const Column& c : columns) {
        def.pageHeader.label(left + padding, 0.1, c.width - 2 * padding, QString::fromUtf8(c.heading), Heading,
                             c.align);
        if (ruledCells) {
            def.pageHeader.rule(left, 0, 0, 0.7);
            def.detail.frame(left, 0, c.width, def.detail.height);
        }
        if (*c.field)
            def.detail.field(left + padding, 0.025, (c.fieldWidth > 0 ? c.fieldWidth : c.width) - 2 * padding,
                             QString::fromUtf8(c.field), Body, FieldFormat::Text, c.align);
        left += c.width;
    }
    return def;
}

// Ties a list report to the screen that printed it.
class ScreenLink : public QObject {
public:
    ScreenLink(ReportWindow* window, QWidget* screen) : QObject(window), m_window(window), m_screen(screen)
    {
        setObjectName(QStringLiteral("screenLink"));
        screen->installEventFilter(this);
    }
    ~ScreenLink() override
    {
        if (m_screen)
            m_screen->removeEventFilter(this);
    }

    void reportClosed()
    {
        if (m_done)
            return;
        m_done = true;
        if (m_screen) {
            m_screen->removeEventFilter(this);
            nav::restart(m_screen);
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The screen is going (the program is ending): take its report along.
        if (watched == m_screen && event->type() == QEvent::Close && !m_done) {
            m_done = true;
            m_window->close();
        }
        return false;
    }

private:
    ReportWindow* m_window;
    QPointer<QWidget> m_screen;
    bool m_done = false;
};

} // namespace

ReportDefinition listReport(const QString& reportName, const einvoice::Company& company)
{
    if (reportName == QLatin1String("DataReport1"))
        return listOf(reportName,
                      {{"Code", "Tire Code", 3.5},
                       {"Category", "Category", 4},
                       {"Size", "Size", 3.5},
                       {"Quantity", "Quantity", 3, Qt::AlignRight},
                       {"Price", "Price", 4, Qt::AlignRight}},
                      true, company);
    if (reportName == QLatin1String("DataReport4"))
        return listOf(reportName,
                      {{"Code", "Customer Code", 3},
                       {"Name", "Cliente", 6},
                       {"Address", "Indirizzo", 5.5},
                       {"Contact No.", "NumeroTelefonico", 3.5}},
                      false, company);
    // The statistics rows carry a customer and a document total, no year
    // or month: the customer runs under the first two headings, the total
    // stands under "Earnings".
    if (reportName == QLatin1String("DataReport5"))
        return listOf(reportName,
                      {{"Year", "cliente", 6, Qt::AlignLeft, 12},
                       {"Month", "", 6},
                       {"Earnings", "totale fattura", 6, Qt::AlignRight}},
                      false, company);
    throw std::invalid_argument("unknown list report " + reportName.toStdString());
}

ReportRows rowsOf(const DataSource& source)
{
    ReportRows rows;
    const int fields = source.fieldCount();
    for (int c = 0; c < fields; ++c)
        rows.fields << source.field(c).name;
    rows.values.reserve(static_cast<size_t>(source.recordCount()));
    for (int r = 0; r < source.recordCount(); ++r) {
        QVariantList values;
        values.reserve(fields);
        for (int c = 0; c < fields; ++c)
            values << source.text(r, c);
        rows.values.push_back(std::move(values));
    }
    return rows;
}

void printList(const QString& reportName, DataSource& source, QWidget* screen)
{
    ReportData data;
    data.rows = rowsOf(source);
    einvoice::Company company;
    try {
        company = printedSeller(*source.database());
    } catch (const DbError&) {
        // The list is printed from the rows the screen holds; a company that
        // cannot be read now leaves the placeholders in its place.
    }
    ReportDocument document = layoutReport(listReport(reportName, company), data);
    // A file of the list is named for what it lists and the day it was made.
    const QString what = reportName == QLatin1String("DataReport1")   ? QStringLiteral("Articoli")
                         : reportName == QLatin1String("DataReport4") ? QStringLiteral("Clienti")
                                                                      : QStringLiteral("Statistiche");
    document.fileTitle = what + u' ' + QDate::currentDate().toString(Qt::ISODate);
    ReportWindow* window = ReportWindow::open(std::move(document));
    // An open window shown again belongs to this screen now.
    qDeleteAll(window->findChildren<QObject*>(QStringLiteral("screenLink"), Qt::FindDirectChildrenOnly));
    auto* link = new ScreenLink(window, screen);
    window->setOnClose([link] { link->reportClosed(); });
    screen->setEnabled(false);
}

} // namespace velinor::reports
