#include "documents/documenttotals.h"

#include "common/numbertext.h"
#include "data/datasource.h"
#include "einvoice/vattotals.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace velinor::documents {

namespace {

// A line's amount as its cell text reads, without writing and parsing the
// text of every stored number: a 1,000-line invoice is summed twice on save.
std::optional<double> cellNumber(const DataSource& lines, int row, int field)
{
    if (row == lines.currentRow())
        return parseNumber(lines.text(row, field)); // may hold what is being typed
    const QVariant stored = lines.stored(row, field);
    if (stored.isNull())
        return std::nullopt;
    switch (stored.typeId()) {
    case QMetaType::LongLong:
        return static_cast<double>(stored.toLongLong());
    case QMetaType::Double: {
        // The text shows 15 significant digits: the sum counts what is shown.
        const double d = stored.toDouble();
        if (!std::isfinite(d))
            return std::nullopt;
        if (einvoice::Amount::fromShortDecimal(d))
            return d; // its text reads back as itself
        char text[32];
        std::snprintf(text, sizeof text, "%.15g", d);
        return std::strtod(text, nullptr);
    }
    default:
        return parseNumber(lines.text(row, field));
    }
}

} // namespace

HeaderTotals headerTotals(const DataSource& lines, int taxableField, int rateField)
{
    QList<einvoice::TaxedLine> taxed;
    for (int row = 0; row < lines.recordCount(); ++row) {
        const auto taxable = cellNumber(lines, row, taxableField);
        const auto rate = cellNumber(lines, row, rateField);
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
        const auto lineTaxable = cellNumber(lines, row, taxableField);
        const auto rate = cellNumber(lines, row, rateField);
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
