#pragma once

#include "data/dberror.h"

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace velinor {

class Database;

// One prepared statement; finalized when it goes out of scope.
class Statement {
public:
    Statement(Database& db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const QVariant& value); // 1-based, as sqlite counts
    void bindAll(const QVariantList& values);
    bool step(); // true while a row is available
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    QString declaredType(int column) const; // empty for expressions
    QVariant value(int column) const;
    sqlite3_stmt* handle() const { return m_stmt; }

private:
    Database& m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// The open database file. Opens an existing file only and never creates one.
class Database {
public:
    // The file the program works on: db1.mdb in the working directory.
    static QString defaultPath();

    // Throws DbError when the file is missing or is not an SQLite database.
    explicit Database(const QString& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // The connection shared by the screens for the file at defaultPath(),
    // opened on first use and closed when its last user lets it go.
    static std::shared_ptr<Database> shared();

    QString path() const { return m_path; }
    sqlite3* handle() const { return m_db; }

    void exec(const QString& sql, const QVariantList& params = {});
    QVariant scalar(const QString& sql, const QVariantList& params = {});
    qint64 lastInsertRowid() const;
    int changes() const;
    QString lastError() const;
    // Throws the last error in words a user can act on.
    [[noreturn]] void fail() const;

    // sqlite keeps a file read-only that was read-only when it was opened.
    // When it can be written again, this opens it anew; it does so only
    // between statements and outside a transaction. Every statement calls it.
    void refreshAccess();

private:
    QString m_path;
    sqlite3* m_db = nullptr;
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
