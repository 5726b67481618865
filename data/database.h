#pragma once

#include "data/dberror.h"
#include "data/engine.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <memory>

namespace velinor {

class Database;

// A table or field name as an SQL identifier, in double quotes.
QString quotedName(const QString& name);

// One prepared statement; released when it goes out of scope.
class Statement {
public:
    Statement(Database& db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const QVariant& value) { m_cursor->bind(index, value); } // 1-based
    void bindAll(const QVariantList& values);
    bool step() { return m_cursor->step(); } // true while a row is available
    void reset() { m_cursor->reset(); }

    int columnCount() const { return m_cursor->columnCount(); }
    QString columnName(int column) const { return m_cursor->columnName(column); }
    FieldKind kind(int column) const { return m_cursor->kind(column); }
    QString originTable(int column) const { return m_cursor->originTable(column); }
    QString originColumn(int column) const { return m_cursor->originColumn(column); }
    QVariant value(int column) const { return m_cursor->value(column); }
    Cursor& cursor() { return *m_cursor; }

private:
    std::unique_ptr<Cursor> m_cursor;
};

// The open database: a file, or a database on a server named by a
// postgresql:// URI. Opens an existing database only and never creates one.
class Database {
public:
    // db1.mdb in the working directory.
    static QString defaultPath();
    // Where the program finds its database: $VELINOR_DATABASE, else url= in
    // the [database] section of velinor.conf in the working directory, else
    // db1.mdb there. A file path or a postgresql:// URI.
    static QString location();
    static bool isServerLocation(const QString& location);

    // Throws DbError when the database is missing or cannot be opened.
    explicit Database(const QString& location);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // The connection shared by the screens for location(), opened on first
    // use. A file's is closed when its last user lets it go, so that a file
    // put in its place meanwhile is the one worked on; a server's is kept
    // for the session, as each one costs the server a process and its
    // caches. What it learnt of the tables is forgotten whenever no screen
    // uses it, since an upgrade may have run meanwhile. A lost server
    // connection is opened anew.
    static std::shared_ptr<Database> shared();

    // The file's absolute path, or the server URI as given.
    QString path() const { return m_location; }
    bool isServer() const { return m_engine->isServer(); }
    Engine& engine() { return *m_engine; }

    void exec(const QString& sql, const QVariantList& params = {});
    QVariant scalar(const QString& sql, const QVariantList& params = {});
    int changes() const { return m_engine->changes(); }

    // What a server's engine learnt of the tables (their fields, kept per
    // connection) is read again after this.
    void forgetDefinitions() { m_engine->forgetDefinitions(); }

    void begin()
    {
        m_engine->begin(m_depth);
        ++m_depth;
    }
    void commit();
    void rollback() noexcept;
    bool inTransaction() const { return m_depth > 0; }

private:
    QString m_location;
    std::unique_ptr<Engine> m_engine;
    int m_depth = 0;
};

// Everything between construction and commit() is one write; leaving the
// scope without commit() rolls it back.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& m_db;
    bool m_done = false;
};

} // namespace velinor
