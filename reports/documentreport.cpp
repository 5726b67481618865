#include "reports/documentreport.h"

#include "common/credit.h"
#include "common/numbertext.h"
#include "reports/seller.h"

#include <initializer_list>

namespace velinor::reports {

namespace {

enum Fonts { Body, Title, Heading, Caption, Seller };

constexpr double sectionWidth = 15;
constexpr double gap = 0.1; // cm kept clear before the next column
constexpr double moneyGap = 0.12; // after a right-aligned number, to tell it from the next column

// The columns of one section: a text starts at its column and runs up to
// just short of the next one, wrapping there, so a long value never pushes
// or touches its neighbour; numbers stand at the column's right.
class Columns {
public:
    Columns(Section& section, std::initializer_list<double> lefts) : m_section(section), m_lefts(lefts) {}

    Columns& label(double left, double top, const char* text, int font = Caption, double height = 0.5,
                   Qt::Alignment align = Qt::AlignLeft)
    {
        m_section.label(left, top, widthAt(left, align), QString::fromUtf8(text), font, align, height);
        return *this;
    }
    Columns& field(double left, double top, const char* name, FieldFormat format = FieldFormat::Auto,
                   Qt::Alignment align = Qt::AlignLeft)
    {
        m_section.field(left, top, widthAt(left, align), QString::fromUtf8(name), Body, format, align);
        return *this;
    }

private:
    double widthAt(double left, Qt::Alignment align) const
    {
        const double clear = align & Qt::AlignRight ? moneyGap : gap;
        for (double l : m_lefts)
            if (l > left)
                return l - left - clear;
        return sectionWidth - left;
    }

    Section& m_section;
    std::vector<double> m_lefts;
};

constexpr FieldFormat number = FieldFormat::Number;
constexpr FieldFormat money = FieldFormat::Money;
constexpr Qt::Alignment right = Qt::AlignRight;

// Name, address, Partita IVA and Codice Fiscale, one under the other, in
// the top of the page above the title; nothing for a file without them.
void sellerBlock(Section& header, const einvoice::Company& seller)
{
    double top = 1.5;
    if (!seller.denominazione.isEmpty()) {
        header.label(0, top, 9, seller.denominazione, Seller, Qt::AlignLeft, 0.65);
        top += 0.7;
    }
    QStringList lines = sellerAddress(seller);
    if (!seller.partitaIva.isEmpty())
        lines << QStringLiteral("Partita IVA ") + seller.partitaIva;
    if (!seller.codiceFiscale.isEmpty())
        lines << QStringLiteral("Codice Fiscale ") + seller.codiceFiscale;
    for (const QString& line : lines) {
        header.label(0, top, 9, line, Body, Qt::AlignLeft, 0.45);
        top += 0.45;
    }
}

// One row per VAT rate, in the room above the totals: the rate, the
// taxable amount and the tax, right-aligned on the totals' columns.
void vatSummary(Section& footer, const einvoice::VatTotals& totals, const QLocale& locale)
{
    if (totals.rates.isEmpty())
        return;
    QStringList rates, taxables, taxes;
    for (const einvoice::RateTotal& r : totals.rates) {
        rates << formatNumber(r.rate.text(0, 2).toDouble(), locale) + QLatin1Char('%');
        taxables << einvoice::moneyText(r.taxable, locale);
        taxes << einvoice::moneyText(r.tax, locale);
    }
    const auto rows = [](const QStringList& l) { return l.join(QLatin1Char('\n')); };
    footer.label(0, 0.2, 2, QStringLiteral("Aliquota IVA"), Heading)
        .label(2, 0.2, 4 - moneyGap - 2, QStringLiteral("Imponibile"), Heading, right)
        .label(4, 0.2, 8 - moneyGap - 4, QStringLiteral("Imposta"), Heading, right)
        .label(0, 0.7, 2, rows(rates), Body)
        .label(2, 0.7, 4 - moneyGap - 2, rows(taxables), Body, right)
        .label(4, 0.7, 8 - moneyGap - 4, rows(taxes), Body, right);
}

} // namespace

QString documentReportName(DocumentKind kind)
{
    return kind == DocumentKind::Order ? QStringLiteral("DataReport9") : QStringLiteral("DataReport8");
}

ReportDefinition documentReport(DocumentKind kind, const einvoice::Company& seller,
                                const einvoice::VatTotals& totals, const QLocale& locale)
{
    const bool order = kind == DocumentKind::Order;
    ReportDefinition def;
    def.name = documentReportName(kind);
    // The page header starts at the sheet's top edge: its top 5.5 cm hold
    // the seller, where a letterhead would be.
    def.marginTop = 0;
    def.marginBottom = 1;
    def.marginLeft = def.marginRight = (def.pageWidth - sectionWidth) / 2;
    // Captions a little smaller than values, so that "Numero Fattura" stays
    // clear of the number 2 cm to its right, and "Prezzo" of "Totale".
    def.fonts = {{QStringLiteral("Arial"), 8},
                 {QStringLiteral("Verdana"), 14, true},
                 {QStringLiteral("Arial"), 7.5, true},
                 {QStringLiteral("Arial"), 7.5},
                 {QStringLiteral("Verdana"), 11, true}};
    // A document running over several pages shows whose it is on each.
    def.repeatGroupHeader = true;

    def.pageHeader.height = 7;
    sellerBlock(def.pageHeader, seller);
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
        {6, "Prezzo", "Prezzo", money},
        {7, "Totale", "Imponibile", money},
        {9, "iva", "Iva", number},
        {10, "Totale Riga", "Totale Riga", money},
        {12, "DDT n.", "bolla", FieldFormat::Auto},
        {13, "      del", "databolla", FieldFormat::Text},
    };
    def.detail.height = 0.5;
    Columns headings(def.groupHeader, {4, 5, 6, 7, 9, 10, 12, 13});
    Columns detail(def.detail, {4, 5, 6, 7, 9, 10, 12, 13});
    for (const LineColumn& c : lines) {
        const bool isNumber = c.format == number || c.format == money;
        const Qt::Alignment align = isNumber ? right : Qt::AlignLeft;
        headings.label(c.left, 3, c.heading, Heading, 1, align); // centred between the rules
        detail.field(c.left, 0, c.field, c.format, align);
    }

    // The VAT summary, the totals, and on invoices how the goods travel.
    def.groupFooter.height = order ? 4.5 : 8;
    vatSummary(def.groupFooter, totals, locale);
    def.groupFooter.rule(0, 3, sectionWidth).rule(0, 4, sectionWidth);
    Columns sums(def.groupFooter, {4, 8, 10});
    sums.label(0, 3.5, "Imponibile", Heading, 0.5, right)
        .label(4, 3.5, "Iva", Heading, 0.5, right)
        .field(0, 4, "Totale Imponibile", money, right)
        .field(4, 4, "Totale Imposta", money, right)
        .field(10, 4, "Totale Fattura", money, right);
    if (!order)
        sums.label(0, 7, "Pagamento", Heading)
            .label(4, 7, "Aspetto", Heading)
            .label(8, 7, "N.Colli", Heading)
            .label(10, 7, "Vettore", Heading)
            .field(0, 7.5, "Pagamento")
            .field(4, 7.5, "Aspetto")
            .field(8, 7.5, "Numero Colli")
            .field(10, 7.5, "Vettore");
    // Over the document total, which stands at the right edge.
    def.groupFooter.label(8, 3.5, sectionWidth - 8, order ? QStringLiteral("Totale Ordine") : QStringLiteral("Totale Fattura"),
                          Heading, right);

    def.pageFooter.height = 3;
    def.pageFooter.label(0, 2.5, 11, withCredit(QStringLiteral("Velinor")))
        .pageNumber(11, 2.5, sectionWidth - 11, QStringLiteral("Pagina %1 di %2"), Body, right);
    return def;
}

ReportDocument layoutDocument(const DataEnvironment& environment, const QLocale& locale)
{
    return layoutReport(documentReport(environment.kind(), environment.seller(), environment.vatTotals(), locale),
                        environment.command1(), locale);
}

} // namespace velinor::reports
