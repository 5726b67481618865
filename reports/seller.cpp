#include "reports/seller.h"

#include "data/database.h"
#include "einvoice/store.h"

namespace velinor::reports {

einvoice::Company printedSeller(Database& db)
{
    const bool onFile = db.engine().tables().contains(QStringLiteral("Azienda"), Qt::CaseInsensitive);
    return onFile ? einvoice::loadCompany(db) : einvoice::Company{};
}

QStringList sellerAddress(const einvoice::Company& c)
{
    QStringList lines;
    const QString street = QStringList{c.indirizzo, c.numeroCivico}.join(QLatin1Char(' ')).trimmed();
    if (!street.isEmpty())
        lines << street;
    QString town = QStringList{c.cap, c.comune}.join(QLatin1Char(' ')).trimmed();
    if (!c.provincia.isEmpty())
        town += (town.isEmpty() ? QStringLiteral("(%1)") : QStringLiteral(" (%1)")).arg(c.provincia);
    if (!town.isEmpty())
        lines << town;
    return lines;
}

} // namespace velinor::reports
