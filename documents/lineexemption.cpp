#include "documents/lineexemption.h"

#include "data/database.h"

namespace velinor::documents {

std::optional<QString> lineExemption(Database& db, const QString& customerCode)
{
    try {
        const QString own = db.scalar(QStringLiteral(R"(SELECT "Natura" FROM "Customers"
                                                        WHERE "Customer Code" = ? LIMIT 1)"),
                                      {customerCode})
                                .toString()
                                .trimmed()
                                .toUpper();
        if (!own.isEmpty())
            return own;
        const QString regime =
            db.scalar(QStringLiteral(R"(SELECT "RegimeFiscale" FROM "Azienda" LIMIT 1)"))
                .toString()
                .trimmed()
                .toUpper();
        if (regime == QLatin1String("RF19"))
            return QStringLiteral("N2.2");
    } catch (const DbError&) {
        // An older file without the fields: every sale is an ordinary one.
    }
    return std::nullopt;
}

} // namespace velinor::documents
