#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace velinor {

enum class FieldKind { Text, Number, Date };

// One statement of an engine, prepared for stepping through its rows.
class Cursor {
public:
    virtual ~Cursor() = default;
    virtual void bind(int index, const QVariant& value) = 0; // 1-based
    virtual bool step() = 0;                                  // true while a row is there
    virtual void reset() = 0;                                 // ready to bind and step again
    virtual int columnCount() = 0;
    virtual QString columnName(int column) = 0;
    virtual FieldKind kind(int column) = 0;
    // The table and column a result column reads; empty for an expression.
    virtual QString originTable(int column) = 0;
    virtual QString originColumn(int column) = 0;
    virtual QVariant value(int column) = 0;
    // The current row's cells from `first` on, packed into a snapshot.
    virtual void appendCells(QByteArray& arena, int first) = 0;
};

// A connection to one database, file or server. Database is the face the
// rest of the program sees; an engine says how its database spells things.
class Engine {
public:
    virtual ~Engine() = default;
    virtual std::unique_ptr<Cursor> prepare(const QString& sql) = 0;
    // Rows changed by the last INSERT, UPDATE or DELETE.
    virtual int changes() const = 0;
    // Transactions nest: the outermost one is the write, inner ones can be
    // undone on their own.
    virtual void begin(int depth) = 0;
    virtual void commit(int depth) = 0;
    virtual void rollback(int depth) noexcept = 0;
    // Removes the rows of `table` with these row ids, in one statement.
    virtual void deleteRows(const QString& table, const QList<qint64>& rowids) = 0;
    // The names as the database holds them, for comparing with the schema.
    virtual QStringList tables() = 0;
    virtual QStringList fields(const QString& table) = 0;
    virtual QStringList indexes() = 0;
    // What the engine itself needs in a new database beside the tables
    // (functions the queries call), run once they are made; run again by an
    // upgrade.
    virtual QStringList supportStatements() const = 0;
    virtual bool isServer() const = 0;
    // The connection to a server was lost; a file never is.
    virtual bool isBroken() const { return false; }
    // Forgets what it learnt of the tables, which another program (an
    // upgrade) may have changed since.
    virtual void forgetDefinitions() {}
};

} // namespace velinor
