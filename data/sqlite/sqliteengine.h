#pragma once

#include "data/engine.h"

#include <memory>

struct sqlite3;

namespace velinor {

class Database;

// The database file: SQLite, one desk. Throws DbError when the file is
// missing, unreadable or not an SQLite database.
std::unique_ptr<Engine> openSqlite(const QString& path);

// An empty SQLite file (the header is written by the first statement).
// Throws DbError when the file exists (unless overwrite) or cannot be written.
void createSqliteFile(const QString& path, bool overwrite);

// The connection of a database on a file, for SQLite's own tools (backup);
// nullptr on a server.
sqlite3* sqliteHandle(Database& db);

} // namespace velinor
