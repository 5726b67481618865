#pragma once

#include <QString>

namespace velinor::pg {

// The program's SQL as PostgreSQL spells it. Names in [brackets] and in
// "double quotes" become quoted lower-case names (tables and fields are kept
// in lower case, so that names the queries write in any case meet); an
// empty "" is the empty text it means to SQLite; ? and ?N become $N;
// "x IS ?" and "x IS NOT ?" compare NULLs as SQLite does; in CREATE TABLE
// and ALTER TABLE the declared types become PostgreSQL's, and a new table
// gets its own row id: a column rowid that the engine keeps out of sight.
QString translate(const QString& sql);

// "INSERT INTO a SELECT * FROM b ...": the two table names, so that the copy
// can be made by name rather than by position. Empty when sql is not one.
struct StarCopy {
    QString target;
    QString source;
    QString rest;
};
StarCopy starCopy(const QString& translated);

} // namespace velinor::pg
