#include "data/schemaupgrade.h"

#include "data/database.h"
#include "data/schema.h"

#include <QDir>
#include <QTemporaryDir>

namespace velinor {

namespace {

const QString refSchema = QStringLiteral("velinor_ref");

QString quoted(const QString& name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

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

QStringList names(Database& db, const QString& sql, const QVariantList& params = {})
{
    Statement st(db, sql);
    st.bindAll(params);
    QStringList list;
    while (st.step())
        list << st.value(0).toString();
    return list;
}

bool containsName(const QStringList& list, const QString& name)
{
    return list.contains(name, Qt::CaseInsensitive); // as SQLite compares names
}

// A new, complete file beside the one being compared, attached to its
// connection for as long as this lives.
class Reference {
public:
    explicit Reference(Database& db) : m_db(db)
    {
        if (!m_dir.isValid())
            throw DbError(QStringLiteral("no temporary folder for a reference database"));
        const QString path = QDir(m_dir.path()).absoluteFilePath(QStringLiteral("reference.db"));
        createDatabaseFile(path, false);
        m_db.exec(QStringLiteral("ATTACH DATABASE ? AS %1").arg(refSchema), {path});
    }
    ~Reference()
    {
        try {
            m_db.exec(QStringLiteral("DETACH DATABASE %1").arg(refSchema));
        } catch (const DbError&) {
            // Only a statement still running can keep it attached; the
            // connection lets it go when it closes.
        }
    }
    Reference(const Reference&) = delete;
    Reference& operator=(const Reference&) = delete;

private:
    Database& m_db;
    QTemporaryDir m_dir;
};

QList<Addition> additions(Database& db)
{
    QList<Addition> list;
    const QStringList haveTables = names(
        db, QStringLiteral("SELECT name FROM main.sqlite_master WHERE type = 'table'"));
    Statement tables(db, QStringLiteral("SELECT name, sql FROM %1.sqlite_master WHERE type = "
                                        "'table' AND name NOT LIKE 'sqlite%' ORDER BY rowid")
                             .arg(refSchema));
    while (tables.step()) {
        const QString table = tables.value(0).toString();
        if (!containsName(haveTables, table)) {
            list.append({Addition::Table, table, table, tables.value(1).toString()});
            continue;
        }
        const QStringList haveFields =
            names(db, QStringLiteral("SELECT name FROM pragma_table_info(?, 'main')"), {table});
        Statement fields(db, QStringLiteral("SELECT name, type, \"notnull\", dflt_value FROM "
                                            "pragma_table_info(?, '%1') ORDER BY cid")
                                 .arg(refSchema));
        fields.bind(1, table);
        while (fields.step()) {
            const QString field = fields.value(0).toString();
            if (containsName(haveFields, field))
                continue;
            QString sql = QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                              .arg(quoted(table), quoted(field), fields.value(1).toString());
            if (fields.value(2).toInt())
                sql += QStringLiteral(" NOT NULL");
            if (!fields.value(3).isNull())
                sql += QStringLiteral(" DEFAULT ") + fields.value(3).toString();
            list.append({Addition::Field, table, field, sql});
        }
    }
    const QStringList haveIndexes = names(
        db, QStringLiteral("SELECT name FROM main.sqlite_master WHERE type = 'index'"));
    Statement indexes(db, QStringLiteral("SELECT name, tbl_name, sql FROM %1.sqlite_master WHERE "
                                         "type = 'index' AND sql IS NOT NULL ORDER BY rowid")
                              .arg(refSchema));
    while (indexes.step())
        if (!containsName(haveIndexes, indexes.value(0).toString()))
            list.append({Addition::Index, indexes.value(1).toString(),
                         indexes.value(0).toString(), indexes.value(2).toString()});
    return list;
}

} // namespace

QStringList missingSchema(Database& db)
{
    Reference ref(db);
    QStringList missing;
    for (const Addition& a : additions(db))
        missing << a.describe();
    return missing;
}

QStringList upgradeSchema(Database& db)
{
    Reference ref(db);
    const QList<Addition> todo = additions(db);
    QStringList added;
    Transaction tx(db);
    for (const Addition& a : todo) {
        db.exec(a.sql);
        // A new table starts as it would in a new file (the one company row).
        if (a.kind == Addition::Table)
            db.exec(QStringLiteral("INSERT INTO main.%1 SELECT * FROM %2.%1")
                        .arg(quoted(a.table), refSchema));
        added << a.describe();
    }
    tx.commit();
    return added;
}

} // namespace velinor
