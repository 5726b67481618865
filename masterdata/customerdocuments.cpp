#include "masterdata/customerdocuments.h"

#include "data/database.h"

namespace velinor::customers {

int documentsNaming(Database& db, const QString& code, const QString& name)
{
    return db
        .scalar(QStringLiteral(R"(SELECT count(*) FROM "Fatture" WHERE "Codice Cliente" = ?1
               OR (coalesce("Codice Cliente", '') = '' AND "Cliente" = ?2))"),
                {code, name})
        .toInt();
}

QString inUse(const QString& name, int documents)
{
    return documents == 1
               ? QStringLiteral("%1 cannot be deleted: 1 saved document names this customer.")
                     .arg(name)
               : QStringLiteral("%1 cannot be deleted: %2 saved documents name this customer.")
                     .arg(name)
                     .arg(documents);
}

} // namespace velinor::customers
