#pragma once

#include <QStringList>

namespace velinor {

class Database;

// Files made by an older velinor-initdb lack tables, fields and indexes that
// a new file has. Each item reads like "field Customers.PEC".
QStringList missingSchema(Database& db);

// Adds what is missing, in one transaction, without touching a row of the
// tables already there; a table it creates gets the rows a new file starts
// with. Returns what was added (empty when nothing was missing). Throws
// DbError, and then nothing is added.
QStringList upgradeSchema(Database& db);

} // namespace velinor
