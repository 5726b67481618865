#include "documents/workingtables.h"

#include "common/numbertext.h"
#include "data/connection.h"
#include "data/copyowner.h"
#include "data/schema.h"
#include "documents/documentkind.h"

namespace velinor {

namespace {

const QString linesTable = QStringLiteral("Odummy");
const QString selectionTable = QStringLiteral("Ydummy");

} // namespace

void WorkingTables::showLines(DataSource& lines, const QString& source)
{
    const auto own = copyowner::rowsOf(m_connection.database(), linesTable);
    if (own.params.isEmpty()) {
        lines.setSource(source);
        return;
    }
    lines.setRowDefault(copyowner::field(), own.params.first());
    lines.setSource(source + QStringLiteral(" WHERE ") + own.sql, own.params);
}

void WorkingTables::clearLines()
{
    clearLines(copyowner::rowsOf(m_connection.database(), linesTable));
}

void WorkingTables::clearLines(const copyowner::Condition& own)
{
    m_connection.execute(QStringLiteral("DELETE FROM Odummy WHERE ") + own.sql, own.params);
}

void WorkingTables::saveLines(const DocumentKind& kind, const QVariant& number)
{
    Database& db = m_connection.database();
    const auto own = copyowner::rowsOf(db, linesTable);
    // By name: a file whose fields were added in another order still keeps
    // every value in its own field. The document's number is given in the
    // copy itself rather than written on every working line first, which
    // are emptied right after; COALESCE lets a server type it as the field.
    const QString numberField = QLatin1String(kind.lineNumberField);
    const QStringList saved = db.engine().fields(QStringLiteral("DettaglioFatture"));
    QStringList targets;
    QStringList values;
    QVariantList params;
    for (const QString& name : db.engine().fields(linesTable)) {
        if (!saved.contains(name, Qt::CaseInsensitive)
            || name.compare(copyowner::field(), Qt::CaseInsensitive) == 0)
            continue;
        targets << quotedName(name);
        if (name.compare(numberField, Qt::CaseInsensitive) == 0) {
            values << QStringLiteral("COALESCE(?, %1)").arg(quotedName(name));
            params << number;
        } else {
            values << quotedName(name);
        }
    }
    m_connection.execute(QStringLiteral("INSERT INTO DettaglioFatture (%1) SELECT %2 FROM Odummy "
                                        "WHERE %3")
                             .arg(targets.join(QStringLiteral(", ")),
                                  values.join(QStringLiteral(", ")), own.sql),
                         params + own.params);
    clearLines(own);
}

void WorkingTables::select(const DocumentKind& kind, const QString& key, const QString& customer,
                           int listRows)
{
    // Written as the row's fields take text: the database turns it into
    // the field's number, as a typed value would be. The first row of
    // this copy's, as the selection was read before; one statement when
    // it is there.
    Database& db = m_connection.database();
    const auto own = copyowner::rowsOf(db, selectionTable);
    const QVariantList values{key, customer, formatNumber(listRows)};
    m_connection.execute(QStringLiteral("UPDATE Ydummy SET %1 = ?, \"cliente\" = ?, "
                                        "\"numerorighe\" = ? WHERE rowid = (SELECT min(rowid) "
                                        "FROM Ydummy WHERE %2)")
                             .arg(quotedName(QLatin1String(kind.numberField)), own.sql),
                         values + own.params);
    if (db.changes() == 0) {
        if (own.params.isEmpty())
            throw DbError(QStringLiteral("the table Ydummy has no row"));
        // this copy's first pick on this file
        m_connection.execute(QStringLiteral("INSERT INTO Ydummy (%1, \"cliente\", \"numerorighe\", "
                                            "%2) VALUES (?, ?, ?, ?)")
                                 .arg(quotedName(QLatin1String(kind.numberField)),
                                      quotedName(copyowner::field())),
                             values + own.params);
    }
}

} // namespace velinor
