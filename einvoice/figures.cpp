#include "einvoice/figures.h"

#include "einvoice/vattotals.h"

namespace velinor::einvoice {

namespace {

QString lineName(int index, const Line& line)
{
    return line.description.isEmpty()
               ? QStringLiteral("Line %1").arg(index + 1)
               : QStringLiteral("Line %1 (%2)").arg(index + 1).arg(line.description.left(40));
}

// nullopt with a problem for a value that is not a usable number.
std::optional<Amount> read(const QVariant& value, const QString& what, const QString& line,
                           QStringList& problems)
{
    bool ok = false;
    const double d = value.toDouble(&ok);
    const auto amount = ok ? Amount::fromDouble(d) : std::nullopt;
    if (!amount)
        problems << QStringLiteral("%1: the %2 \"%3\" is not a number the file can carry.")
                        .arg(line, what, value.toString());
    return amount;
}

// Exports, intra-EU supplies, San Marino and the like, reverse charge and
// sales taxed abroad bear no stamp duty; the other exemptions do.
bool bearsStampDuty(const QString& natura)
{
    if (natura.startsWith(QLatin1String("N6")) || natura == QLatin1String("N7"))
        return false;
    if (natura.startsWith(QLatin1String("N3.")))
        return natura == QLatin1String("N3.5") || natura == QLatin1String("N3.6");
    return true;
}

void natureProblems(const QString& name, const Line& line, const Amount& rate,
                    QStringList& problems)
{
    if (line.natura.isEmpty()) {
        if (rate.isZero())
            problems << QStringLiteral("%1 is at 0% VAT without a Natura: give it the code of "
                                       "the reason no VAT is due (N1 to N7, such as N3.1 for an "
                                       "export).")
                            .arg(name);
    } else if (!naturaCodes().contains(line.natura)) {
        problems << QStringLiteral("%1 has the Natura \"%2\", which is none of %3.")
                        .arg(name, line.natura, naturaCodes().join(QStringLiteral(", ")));
    } else if (!rate.isZero()) {
        problems << QStringLiteral("%1 has the Natura %2 but VAT at %3%: a line with a Natura "
                                   "is at 0%.")
                        .arg(name, line.natura, rate.text(0, 2));
    }
}

} // namespace

const QStringList& naturaCodes()
{
    static const QStringList codes = {
        "N1",   "N2.1", "N2.2", "N3.1", "N3.2", "N3.3", "N3.4", "N3.5", "N3.6", "N4",
        "N5",   "N6.1", "N6.2", "N6.3", "N6.4", "N6.5", "N6.6", "N6.7", "N6.8", "N6.9", "N7"};
    return codes;
}

Figures computeFigures(const Invoice& invoice, QStringList& problems)
{
    Figures f;
    QList<TaxedLine> taxed;
    for (int i = 0; i < invoice.lines.size(); ++i) {
        const Line& line = invoice.lines.at(i);
        const QString name = lineName(i, line);
        LineFigures lf;
        const int before = problems.size();

        if (line.vatRate.isNull()) {
            problems << QStringLiteral("%1 has no VAT rate.").arg(name);
        } else if (const auto rate = read(line.vatRate, QStringLiteral("VAT rate"), name, problems)) {
            lf.rate = *rate;
            natureProblems(name, line, *rate, problems);
            if (rate->isNegative() || *rate > Amount::fromCents(10000)
                     || rate->rounded(2) != *rate)
                problems << QStringLiteral("%1 has the VAT rate %2, which is not a rate from 0 "
                                           "to 100 with at most two decimals.")
                                .arg(name, rate->text(0, 8));
        }
        if (!line.quantity.isNull()) {
            lf.quantity = read(line.quantity, QStringLiteral("quantity"), name, problems);
            if (lf.quantity && lf.quantity->isNegative())
                problems << QStringLiteral("%1 has a negative quantity; the file takes only "
                                           "positive quantities: make the price negative "
                                           "instead.")
                                .arg(name);
        }
        std::optional<Amount> price, total;
        if (!line.price.isNull())
            price = read(line.price, QStringLiteral("price"), name, problems);
        if (!line.amount.isNull())
            total = read(line.amount, QStringLiteral("amount"), name, problems);
        if (!price && !total && line.price.isNull() && line.amount.isNull())
            price = Amount(); // an article line not priced yet
        if (!price && total && !lf.quantity)
            price = total;
        if (price && !total)
            total = lf.quantity ? price->times(*lf.quantity) : *price;
        if (!price && problems.size() == before)
            problems << QStringLiteral("%1 has an amount but no price.").arg(name);
        if (price && total && lf.quantity && problems.size() == before) {
            // The exchange system checks price x quantity against the total.
            const Amount expected = price->times(*lf.quantity);
            const Amount diff = expected > *total ? expected - *total : *total - expected;
            if (diff > Amount::fromCents(1))
                problems << QStringLiteral("%1: its amount %2 is not price x quantity (%3).")
                                .arg(name, total->text(2, 8), expected.text(2, 8));
        }
        if (line.description.isEmpty())
            problems << QStringLiteral("Line %1 has no description.").arg(i + 1);
        if ((price && !price->fitsDigits(amountDigits)) || (total && !total->fitsDigits(amountDigits))
            || (lf.quantity && !lf.quantity->fitsDigits(12)))
            problems << QStringLiteral("%1 has an amount beyond the largest the file carries "
                                       "(99,999,999,999.99).")
                            .arg(name);
        lf.price = price.value_or(Amount());
        lf.total = total.value_or(Amount());
        f.lines.append(lf);
        taxed.append({lf.total, lf.rate, lf.rate.isZero() ? line.natura : QString()});
    }
    const VatTotals totals = vatTotals(taxed);
    for (const RateTotal& r : totals.rates) {
        f.summaries.append({r.rate, r.natura, r.taxable, r.tax});
        if (!r.natura.isEmpty() && bearsStampDuty(r.natura))
            f.stampDutyBase += r.taxable;
        if (!r.taxable.fitsDigits(amountDigits))
            problems << QStringLiteral("The taxable amount at %1% is %2, beyond the largest the "
                                       "file carries (99,999,999,999.99).")
                            .arg(r.rate.text(0, 2), r.taxable.text(2, 2));
    }
    f.documentTotal = totals.total;
    if (!f.documentTotal.fitsDigits(amountDigits))
        problems << QStringLiteral("The invoice total %1 is beyond the largest amount the file "
                                   "carries (99,999,999,999.99).")
                        .arg(f.documentTotal.text(2, 2));
    return f;
}

} // namespace velinor::einvoice
