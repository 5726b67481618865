#pragma once

#include <QString>

namespace velinor {

class Database;

namespace customers {

// How many saved documents name the customer: by its code, or by its name
// where a document carries no code. A customer they name is not deleted,
// or they would print without it.
int documentsNaming(Database& db, const QString& code, const QString& name);

// The refusal for a customer that documents name.
QString inUse(const QString& name, int documents);

} // namespace customers
} // namespace velinor
