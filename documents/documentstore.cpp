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

} // namespace velinor::documents
