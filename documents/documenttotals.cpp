#include "documents/documenttotals.h"

#include "common/numbertext.h"
#include "data/datasource.h"
#include "einvoice/vattotals.h"

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

QString totalText(const QString& stored)
{
    const auto number = parseNumber(stored);
    return number ? formatMoney(*number) : stored;
}

} // namespace velinor::documents
