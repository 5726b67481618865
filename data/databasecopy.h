#pragma once

#include <QList>
#include <QString>

namespace velinor {

class Database;

struct CopiedTable {
    QString table;
    qint64 rows = 0; // as counted in the target afterwards
};

// Copies every row of every table of `from` into the same tables of `to`,
// which holds the tables and nothing else of its own (its one print
// selection and company rows are replaced), by field name, in one
// transaction; then counts each table on both sides. Throws DbError, and
// nothing is copied, when a table is missing or a count differs.
QList<CopiedTable> copyDatabase(Database& from, Database& to);

} // namespace velinor
