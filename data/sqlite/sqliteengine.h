#pragma once

#include "data/engine.h"

#include <memory>

struct sqlite3;

namespace velinor {

class Database;

// The database file: SQLite, one desk. Throws DbError when the file is
// missing, unreadable or not an SQLite database.
std::unique_ptr<Engine> openSqlite(const QString& path);

// Makes the file at path, absent or empty, an empty SQLite database (the
// header is written by the first statement). Throws DbError when it cannot.
void createSqliteFile(const QString& path);

// The connection of a database on a file, for SQLite's own tools (backup);
// nullptr on a server.
sqlite3* sqliteHandle(Database& db);

} // namespace velinor
