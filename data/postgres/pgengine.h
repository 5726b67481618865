#pragma once

#include "data/engine.h"

#include <memory>

namespace velinor {

// A database on a PostgreSQL server, named by a postgresql:// URI; libpq's
// own conventions give the rest (PGSERVICE, ~/.pgpass, sslmode). Throws
// DbError when the server cannot be reached.
std::unique_ptr<Engine> openPostgres(const QString& uri);

} // namespace velinor
