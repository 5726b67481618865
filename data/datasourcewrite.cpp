#include "data/datasource.h"

namespace velinor {

// Writing back: a changed or new row, a deleted one, every row; and the
// snapshot that undoes all of it in memory when the write is rolled back.
void DataSource::update()
{
    if (!hasCurrent() || !isPending())
        return;
    requireEditable();
    Row& row = m_rows[static_cast<size_t>(m_current)];

    // Convert everything first, so that a bad value writes nothing.
    std::vector<QVariant> values(m_fields.size());
    for (int c = 0; c < fieldCount(); ++c)
        values[static_cast<size_t>(c)] = cell(row, c);
    QStringList columns;
    QVariantList params;
    for (const Pending& p : m_pending) {
        const QVariant v = toStored(p.column, p.text);
        values[static_cast<size_t>(p.column)] = v;
        columns << quotedName(field(p.column).column);
        params << v;
    }

    qint64 rowid = row.rowid;
    if (row.rowid == 0) {
        for (const auto& [name, value] : std::as_const(m_rowDefaults)) {
            const int c = fieldIndex(name);
            if (c < 0 || pendingText(c))
                continue;
            values[static_cast<size_t>(c)] = value;
            columns << quotedName(field(c).column);
            params << value;
        }
        QString sql = QStringLiteral("INSERT INTO ") + quotedName(m_table);
        if (columns.isEmpty())
            sql += QStringLiteral(" DEFAULT VALUES");
        else
            sql += QStringLiteral(" (%1) VALUES (%2)")
                       .arg(columns.join(u','),
                            QStringList(columns.size(), QStringLiteral("?")).join(u','));
        writeReturning(sql, params, rowid, values);
        m_beforeNew = -1;
    } else {
        // Optimistic: the changed fields must still hold what was read, so
        // that a change another program made in the meantime is not lost.
        QStringList sets;
        for (const QString& c : columns)
            sets << c + QStringLiteral(" = ?");
        QString where = QStringLiteral("rowid = ?");
        params << row.rowid;
        for (const Pending& p : m_pending) {
            where += QStringLiteral(" AND ") + quotedName(field(p.column).column) + QStringLiteral(" IS ?");
            params << cell(row, p.column);
        }
        if (!writeReturning(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                                .arg(quotedName(m_table), sets.join(QStringLiteral(", ")), where),
                            params, rowid, values))
            throw ConflictError();
    }
    row.rowid = rowid;
    storeRow(row, values);
    m_pending.clear();
    emit rowChanged(m_current);
}

bool DataSource::writeReturning(const QString& sql, const QVariantList& params, qint64& rowid,
                                std::vector<QVariant>& values)
{
    QString returning = QStringLiteral(" RETURNING rowid");
    for (const Field& f : m_fields)
        if (f.stored)
            returning += u',' + quotedName(f.column);
    Statement st(*m_db, sql + returning);
    st.bindAll(params);
    bool written = false;
    while (st.step()) {
        if (written)
            continue;
        written = true;
        rowid = st.value(0).toLongLong();
        int i = 1;
        for (int c = 0; c < fieldCount(); ++c)
            if (field(c).stored)
                values[static_cast<size_t>(c)] = st.value(i++);
    }
    return written;
}

void DataSource::deleteCurrent()
{
    requireCurrent();
    if (currentIsNew()) {
        cancelBatch();
        return;
    }
    requireEditable();
    const int row = m_current;
    // Only the row as it was shown: not one another program changed since.
    const Row& shown = m_rows[static_cast<size_t>(row)];
    QString where = QStringLiteral("rowid = ?");
    QVariantList params{shown.rowid};
    for (int c = 0; c < fieldCount(); ++c)
        if (field(c).stored) {
            where += QStringLiteral(" AND ") + quotedName(field(c).column) + QStringLiteral(" IS ?");
            params << cell(shown, c);
        }
    m_db->exec(QStringLiteral("DELETE FROM %1 WHERE %2").arg(quotedName(m_table), where), params);
    if (m_db->changes() == 0)
        throw ConflictError();
    emit aboutToReset();
    m_pending.clear();
    m_rows.erase(m_rows.begin() + row);
    m_current = row < recordCount() ? row : recordCount() - 1;
    emit didReset();
    emit currentChanged(m_current);
}

void DataSource::deleteAll()
{
    if (recordCount() == 0)
        return;
    if (currentIsNew() && recordCount() == 1) {
        cancelBatch();
        return;
    }
    requireEditable();
    // One statement for every row, however many lines there are.
    QList<qint64> rowids;
    rowids.reserve(recordCount());
    for (const Row& row : m_rows)
        if (row.rowid != 0)
            rowids << row.rowid;
    m_db->engine().deleteRows(m_table, rowids);
    // The cells stay in the arena until the next read, so that a snapshot
    // taken before can still be restored.
    emit aboutToReset();
    m_rows.clear();
    m_pending.clear();
    m_current = -1;
    m_beforeNew = -1;
    emit didReset();
    emit currentChanged(m_current);
}

DataSource::Snapshot DataSource::snapshot() const
{
    return {m_rows, m_arena.size(), m_reads, m_current, m_beforeNew, m_pending};
}

void DataSource::restore(const Snapshot& saved)
{
    if (saved.reads != m_reads) {
        try {
            load();
        } catch (const DbError&) {
            // Left empty; the failure that caused the rollback is reported.
        }
        return;
    }
    emit aboutToReset();
    m_arena.truncate(saved.arenaSize);
    m_rows = saved.rows;
    m_current = saved.current;
    m_beforeNew = saved.beforeNew;
    m_pending = saved.pending;
    emit didReset();
    emit currentChanged(m_current);
}

} // namespace velinor
