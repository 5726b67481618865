#include "data/schemaupgrade.h"

#include "data/database.h"
#include "data/schema.h"

#include <QDir>
#include <QTemporaryDir>

namespace velinor {

namespace {

struct Addition {
    enum Kind { Table, Field, Index } kind;
    QString table;
    QString name; // the field or index; the table for a table
    QString sql;  // what adds it

    QString describe() const
    {
        switch (kind) {
        case Table:
            return QStringLiteral("table %1").arg(table);
        case Field:
            return QStringLiteral("field %1.%2").arg(table, name);
        case Index:
            return QStringLiteral("index %1 on %2").arg(name, table);
        }
        return {};
    }
};

bool containsName(const QStringList& list, const QString& name)
{
    return list.contains(name, Qt::CaseInsensitive); // as the queries compare names
}

// A new, complete file in a temporary folder: what the database is
// compared with, whatever engine it runs on.
class Reference {
public:
    Reference()
    {
        if (!m_dir.isValid())
            throw DbError(QStringLiteral("no temporary folder for a reference database"));
        const QString path = QDir(m_dir.path()).absoluteFilePath(QStringLiteral("reference.db"));
        createDatabaseFile(path, false);
        m_db = std::make_unique<Database>(path);
    }
    Database& db() { return *m_db; }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
};

QList<Addition> additions(Database& db, Database& ref)
{
    QList<Addition> list;
    const QStringList haveTables = db.engine().tables();
    Statement tables(ref, QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = "
                                         "'table' AND name NOT LIKE 'sqlite%' ORDER BY rowid"));
    while (tables.step()) {
        const QString table = tables.value(0).toString();
        if (!containsName(haveTables, table)) {
            list.append({Addition::Table, table, table, tables.value(1).toString()});
            continue;
        }
        const QStringList haveFields = db.engine().fields(table);
        Statement fields(ref, QStringLiteral("SELECT name, type, \"notnull\", dflt_value FROM "
                                             "pragma_table_info(?) ORDER BY cid"));
        fields.bind(1, table);
        while (fields.step()) {
            const QString field = fields.value(0).toString();
            if (containsName(haveFields, field))
                continue;
            QString sql = QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                              .arg(quotedName(table), quotedName(field), fields.value(1).toString());
            if (fields.value(2).toInt())
                sql += QStringLiteral(" NOT NULL");
            if (!fields.value(3).isNull())
                sql += QStringLiteral(" DEFAULT ") + fields.value(3).toString();
            list.append({Addition::Field, table, field, sql});
        }
    }
    const QStringList haveIndexes = db.engine().indexes();
    Statement indexes(ref, QStringLiteral("SELECT name, tbl_name, sql FROM sqlite_master WHERE "
                                          "type = 'index' AND sql IS NOT NULL ORDER BY rowid"));
    while (indexes.step())
        if (!containsName(haveIndexes, indexes.value(0).toString()))
            list.append({Addition::Index, indexes.value(1).toString(),
                         indexes.value(0).toString(), indexes.value(2).toString()});
    return list;
}

// A new table starts as it would in a new database (the one company row).
void copyRows(Database& ref, Database& db, const QString& table)
{
    Statement rows(ref, QStringLiteral("SELECT * FROM %1").arg(quotedName(table)));
    QStringList columns;
    for (int c = 0; c < rows.columnCount(); ++c)
        columns << quotedName(rows.columnName(c));
    if (columns.isEmpty())
        return;
    Statement insert(db, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                             .arg(quotedName(table), columns.join(u','),
                                  QStringList(columns.size(), QStringLiteral("?")).join(u',')));
    while (rows.step()) {
        for (int c = 0; c < columns.size(); ++c)
            insert.bind(c + 1, rows.value(c));
        insert.step();
        insert.reset();
    }
}

} // namespace

QStringList missingSchema(Database& db)
{
    Reference ref;
    QStringList missing;
    for (const Addition& a : additions(db, ref.db()))
        missing << a.describe();
    return missing;
}

QStringList upgradeSchema(Database& db)
{
    Reference ref;
    const QList<Addition> todo = additions(db, ref.db());
    QStringList added;
    Transaction tx(db);
    for (const Addition& a : todo) {
        if (a.kind == Addition::Index) {
            // A unique index cannot be laid over rows that already share a
            // value; the rest of the upgrade goes on without it.
            Transaction one(db);
            try {
                db.exec(a.sql);
                one.commit();
            } catch (const DuplicateError&) {
                added << QStringLiteral("(not added: %1, as some rows already share its value)")
                             .arg(a.describe());
                continue;
            }
        } else {
            db.exec(a.sql);
        }
        if (a.kind == Addition::Table)
            copyRows(ref.db(), db, a.table);
        added << a.describe();
    }
    for (const QString& sql : db.engine().supportStatements())
        db.exec(sql);
    tx.commit();
    return added;
}

} // namespace velinor
