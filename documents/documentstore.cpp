#include "documents/documentstore.h"

#include "data/database.h"
#include "documents/documentkind.h"

namespace velinor::documents {

bool numberOnFile(Database& db, const DocumentKind& kind, const QVariant& number)
{
    return db
        .scalar(QStringLiteral(R"(SELECT 1 FROM "Fatture" WHERE "%1" = ? LIMIT 1)")
                    .arg(QLatin1String(kind.numberField)),
                {number})
        .isValid();
}

bool customerOnFile(Database& db, const QString& code, const QString& name)
{
    return code.isEmpty()
               ? db.scalar(QStringLiteral(R"(SELECT 1 FROM "Customers" WHERE "Cliente" = ? LIMIT 1)"),
                           {name})
                     .isValid()
               : db.scalar(QStringLiteral(
                               R"(SELECT 1 FROM "Customers" WHERE "Customer Code" = ? LIMIT 1)"),
                           {code})
                     .isValid();
}

} // namespace velinor::documents
