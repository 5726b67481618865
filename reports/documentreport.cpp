#include "reports/documentreport.h"

#include "common/credit.h"

#include <initializer_list>

namespace velinor::reports {

namespace {

enum Fonts { Body, Title, Heading, Caption };

constexpr double sectionWidth = 15;
constexpr double gap = 0.1; // cm kept clear before the next column

// The columns of one section: a text starts at its column and may run up to
// just short of the next one, where it is cut, so a long value never pushes
// or touches its neighbour.
class Columns {
public:
    Columns(Section& section, std::initializer_list<double> lefts) : m_section(section), m_lefts(lefts) {}

    Columns& label(double left, double top, const char* text, int font = Caption, double height = 0.5)
    {
        m_section.label(left, top, widthAt(left), QString::fromUtf8(text), font, Qt::AlignLeft, height);
        return *this;
    }
    Columns& field(double left, double top, const char* name, FieldFormat format = FieldFormat::Auto)
    {
        m_section.field(left, top, widthAt(left), QString::fromUtf8(name), Body, format);
        return *this;
    }

private:
    double widthAt(double left) const
    {
        for (double l : m_lefts)
            if (l > left)
                return l - left - gap;
        return sectionWidth - left;
    }

    Section& m_section;
    std::vector<double> m_lefts;
};

constexpr FieldFormat number = FieldFormat::Number;

} // namespace

QString documentReportName(DocumentKind kind)
{
    return kind == DocumentKind::Order ? QStringLiteral("DataReport9") : QStringLiteral("DataReport8");
}

ReportDefinition documentReport(DocumentKind kind)
{
    const bool order = kind == DocumentKind::Order;
    ReportDefinition def;
    def.name = documentReportName(kind);
    // Letterhead paper: the sheet's own top 5.5 cm are left to the letterhead.
    def.marginTop = 0;
    def.marginBottom = 1;
    def.marginLeft = def.marginRight = (def.pageWidth - sectionWidth) / 2;
    // Captions a little smaller than values, so that "Numero Fattura" stays
    // clear of the number 2 cm to its right, and "Prezzo" of "Totale".
    def.fonts = {{QStringLiteral("Arial"), 8},
                 {QStringLiteral("Verdana"), 14, true},
                 {QStringLiteral("Arial"), 7.5, true},
                 {QStringLiteral("Arial"), 7.5}};
    // A document running over several pages shows whose it is on each.
    def.repeatGroupHeader = true;

    def.pageHeader.height = 7;
    def.pageHeader.label(6, 5.5, 9, order ? QStringLiteral("ORDINE / PREVENTIVO") : QStringLiteral("FATTURA DI VENDITA"),
                         Title, Qt::AlignLeft, 0.8);
    def.pageHeader.rule(0, 6.5, sectionWidth);

    // Number, date and the customer block, then the line headings.
    def.groupHeader.height = 4.1;
    Columns header(def.groupHeader, {2, 7, 10});
    header.label(0, 0, order ? "Numero Ordine" : "Numero Fattura")
        .label(7, 0, "Cliente")
        .label(0, 1, order ? "Data Ordine" : "Data Fattura")
        .label(7, 2, "Partita IVA")
        .label(7, 2.5, "Codice Fiscale");
    if (order)
        header.field(2, 0, "Ydummy.Numero Ordine", FieldFormat::Text);
    else
        header.field(2, 0, "Fatture.Order Code", number);
    header.field(10, 0, "Customers.Cliente")
        .field(10, 0.5, "Indirizzo")
        .field(2, 1, "Fatture.Date", FieldFormat::Date)
        .field(10, 1, "città")
        .field(10, 1.5, "cap")
        .field(10, 2, "PartitaIva")
        .field(10, 2.5, "CodiceFiscale");
    def.groupHeader.rule(0, 3, sectionWidth).rule(0, 4, sectionWidth);

    struct LineColumn {
        double left;
        const char* heading;
        const char* field;
        FieldFormat format;
    };
    const LineColumn lines[] = {
        {0, "Descrizione", "Descrizione Articolo", FieldFormat::Auto},
        {4, "Q.tà", "Quantità", number},
        {5, "UM", "UM", FieldFormat::Auto},
        {6, "Prezzo", "Prezzo", number},
        {7, "Totale", "Imponibile", number},
        {9, "iva", "Iva", number},
        {10, "Totale Riga", "Totale Riga", number},
        {12, "DDT n.", "bolla", FieldFormat::Auto},
        {13, "      del", "databolla", FieldFormat::Text},
    };
    def.detail.height = 0.5;
    Columns headings(def.groupHeader, {4, 5, 6, 7, 9, 10, 12, 13});
    Columns detail(def.detail, {4, 5, 6, 7, 9, 10, 12, 13});
    for (const LineColumn& c : lines) {
        headings.label(c.left, 3, c.heading, Heading, 1); // centred between the rules
        detail.field(c.left, 0, c.field, c.format);
    }

    // The totals, and on invoices how the goods travel.
    def.groupFooter.height = order ? 4.5 : 8;
    def.groupFooter.rule(0, 3, sectionWidth).rule(0, 4, sectionWidth);
    Columns totals(def.groupFooter, {4, 8, 10});
    totals.label(0, 3.5, "Imponibile", Heading)
        .label(4, 3.5, "Iva", Heading)
        .label(8, 3.5, order ? "Totale Ordine" : "Totale Fattura", Heading)
        .field(0, 4, "Totale Imponibile", number)
        .field(4, 4, "Totale Imposta", number)
        .field(10, 4, "Totale Fattura", number);
    if (!order)
        totals.label(0, 7, "Pagamento", Heading)
            .label(4, 7, "Aspetto", Heading)
            .label(8, 7, "N.Colli", Heading)
            .label(10, 7, "Vettore", Heading)
            .field(0, 7.5, "Pagamento")
            .field(4, 7.5, "Aspetto")
            .field(8, 7.5, "Numero Colli")
            .field(10, 7.5, "Vettore");

    def.pageFooter.height = 3;
    def.pageFooter.label(0, 2.5, sectionWidth, withCredit(QStringLiteral("Velinor")));
    return def;
}

ReportDocument layoutDocument(const DataEnvironment& environment, const QLocale& locale)
{
    return layoutReport(documentReport(environment.kind()), environment.command1(), locale);
}

} // namespace velinor::reports
