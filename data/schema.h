#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace velinor {

class Database;

// The statements that create every table of an empty database, and its one
// print-selection row.
QStringList schemaStatements();

// Runs them as one transaction on an open, empty database.
void createSchema(Database& db);

// Creates a new database file with every table, and what fill writes
// into it. Throws DbError when the file exists (unless overwrite) or cannot
// be written; nothing is then left behind, and a file to be replaced is
// kept.
void createDatabaseFile(const QString& path, bool overwrite,
                        const std::function<void(Database&)>& fill = {});

// Creates every table in an empty database on a server. Throws DbError,
// creating nothing, when one of the tables is there already.
void createServerSchema(Database& db);

} // namespace velinor
