#include "documents/documenttotals.h"

#include "common/numbertext.h"
#include "data/datasource.h"
#include "einvoice/vattotals.h"

#include <cmath>

namespace velinor::documents {

HeaderTotals headerTotals(const DataSource& lines, int taxableField, int rateField)
{
    QList<einvoice::TaxedLine> taxed;
    for (int row = 0; row < lines.recordCount(); ++row) {
        const auto taxable = parseNumber(lines.text(row, taxableField));
        const auto rate = parseNumber(lines.text(row, rateField));
        if (!taxable || !rate)
            continue;
        if (const auto line = einvoice::taxedLine(*taxable, *rate))
            taxed.append(*line);
    }
    const einvoice::VatTotals totals = einvoice::vatTotals(taxed);
    return {einvoice::moneyText(totals.taxable), einvoice::moneyText(totals.tax),
            einvoice::moneyText(totals.total)};
}

std::optional<int> lineBeyondTotals(const DataSource& lines, int taxableField, int rateField)
{
    // An amount holds some 92 billion at most (eight decimals in 64 bits);
    // past that a sum would wrap round into a wrong total.
    constexpr double largest = 9e10;
    double taxable = 0, total = 0;
    for (int row = 0; row < lines.recordCount(); ++row) {
        const auto lineTaxable = parseNumber(lines.text(row, taxableField));
        const auto rate = parseNumber(lines.text(row, rateField));
        if (!lineTaxable || !rate)
            continue;
        taxable += *lineTaxable;
        total += *lineTaxable + *lineTaxable * (*rate / 100);
        if (!(std::abs(taxable) < largest && std::abs(total) < largest))
            return row;
    }
    return std::nullopt;
}

QString totalText(const QString& stored)
{
    const auto number = parseNumber(stored);
    return number ? formatMoney(*number) : stored;
}

} // namespace velinor::documents
