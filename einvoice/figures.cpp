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

} // namespace

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
            if (rate->isZero())
                problems << QStringLiteral("%1 is at 0% VAT, which needs a Natura code (the "
                                           "reason for no VAT) that the program does not keep "
                                           "yet.")
                                .arg(name);
            else if (rate->isNegative() || *rate > Amount::fromCents(10000)
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
        lf.price = price.value_or(Amount());
        lf.total = total.value_or(Amount());
        f.lines.append(lf);
        taxed.append({lf.total, lf.rate});
    }
    const VatTotals totals = vatTotals(taxed);
    for (const RateTotal& r : totals.rates)
        f.summaries.append({r.rate, r.taxable, r.tax});
    f.documentTotal = totals.total;
    return f;
}

} // namespace velinor::einvoice
