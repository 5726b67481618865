#include "einvoice/vattotals.h"

#include <QMap>

namespace velinor::einvoice {

std::optional<TaxedLine> taxedLine(double taxable, double rate)
{
    const auto t = Amount::fromDouble(taxable);
    const auto r = Amount::fromDouble(rate);
    if (!t || !r)
        return std::nullopt;
    return TaxedLine{*t, *r, {}};
}

VatTotals vatTotals(const QList<TaxedLine>& lines)
{
    // rate and Natura -> sum of the taxable amounts, unrounded
    QMap<std::pair<Amount, QString>, Amount> byRate;
    for (const TaxedLine& line : lines)
        byRate[{line.rate, line.rate.isZero() ? line.natura : QString()}] += line.taxable;
    VatTotals totals;
    for (auto it = byRate.cbegin(); it != byRate.cend(); ++it) {
        const auto& [rate, natura] = it.key();
        const Amount taxable = it.value().rounded(2);
        const Amount tax = taxable.times(rate).times(Amount::fromCents(1)).rounded(2);
        totals.rates.append({rate, natura, taxable, tax});
        totals.taxable += taxable;
        totals.tax += tax;
    }
    totals.total = totals.taxable + totals.tax;
    return totals;
}

QString moneyText(const Amount& amount, const QLocale& locale)
{
    QString text = amount.text(2, 2);
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    if (text.startsWith(QLatin1Char('-')))
        text.replace(0, 1, locale.negativeSign());
    return text;
}

} // namespace velinor::einvoice
