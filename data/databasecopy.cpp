#include "data/databasecopy.h"

#include "data/database.h"

namespace velinor {

namespace {

QString quoted(const QString& name)
{
    QString q = name;
    q.replace(u'"', QLatin1String("\"\""));
    return u'"' + q + u'"';
}

qint64 count(Database& db, const QString& table)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(quoted(table))).toLongLong();
}

void copyTable(Database& from, Database& to, const QString& table)
{
    const QStringList target = to.engine().fields(table);
    Statement rows(from, QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(quoted(table)));
    QList<int> columns;
    QStringList names;
    for (int c = 0; c < rows.columnCount(); ++c)
        if (target.contains(rows.columnName(c), Qt::CaseInsensitive)) {
            columns << c;
            names << quoted(rows.columnName(c));
        }
    to.exec(QStringLiteral("DELETE FROM %1").arg(quoted(table)));
    if (names.isEmpty())
        return;
    Statement insert(to, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                             .arg(quoted(table), names.join(u','),
                                  QStringList(names.size(), QStringLiteral("?")).join(u',')));
    while (rows.step()) {
        for (int i = 0; i < columns.size(); ++i)
            insert.bind(i + 1, rows.value(columns.at(i)));
        insert.step();
        insert.reset();
    }
}

} // namespace

QList<CopiedTable> copyDatabase(Database& from, Database& to)
{
    const QStringList present = to.engine().tables();
    QList<CopiedTable> copied;
    Transaction tx(to);
    for (const QString& table : from.engine().tables()) {
        if (table.startsWith(QLatin1String("sqlite_")))
            continue;
        if (!present.contains(table, Qt::CaseInsensitive))
            throw DbError(QStringLiteral("the target has no table %1; upgrade the file first "
                                         "(velinor-initdb --upgrade)")
                              .arg(table));
        copyTable(from, to, table);
        const qint64 source = count(from, table);
        const qint64 arrived = count(to, table);
        if (source != arrived)
            throw DbError(QStringLiteral("table %1: %2 rows in the file, %3 arrived")
                              .arg(table)
                              .arg(source)
                              .arg(arrived));
        copied.append({table, arrived});
    }
    tx.commit();
    return copied;
}

} // namespace velinor
