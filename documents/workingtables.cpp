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

QString quoted(const QString& name)
{
    QString q = name;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

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
    const QStringList saved = fieldNames(db, QStringLiteral("DettaglioFatture"));
    QStringList targets;
    QStringList values;
    QVariantList params;
    for (const QString& name : fieldNames(db, linesTable)) {
        if (!saved.contains(name, Qt::CaseInsensitive)
            || name.compare(copyowner::field(), Qt::CaseInsensitive) == 0)
            continue;
        targets << quoted(name);
        if (name.compare(numberField, Qt::CaseInsensitive) == 0) {
            values << QStringLiteral("COALESCE(?, %1)").arg(quoted(name));
            params << number;
        } else {
            values << quoted(name);
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
    const auto own = copyowner::rowsOf(m_connection.database(), selectionTable);
    const auto selection = m_connection.openRecordset(
        QStringLiteral("SELECT * FROM Ydummy WHERE ") + own.sql, own.params);
    if (!selection->hasCurrent()) {
        if (own.params.isEmpty())
            throw DbError(QStringLiteral("the table Ydummy has no row"));
        selection->addNew(); // this copy's first pick on this file
        selection->setValue(copyowner::field(), own.params.first().toString());
    }
    selection->setValue(QLatin1String(kind.numberField), key);
    selection->setValue(QStringLiteral("cliente"), customer);
    selection->setValue(QStringLiteral("numerorighe"), formatNumber(listRows));
    selection->update();
}

} // namespace velinor
