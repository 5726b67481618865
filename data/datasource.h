#pragma once

#include "data/database.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

namespace velinor {



struct Field {
    QString name;   // as the source names it
    QString column; // the table's own column, for writes
    FieldKind kind = FieldKind::Text;
    bool stored = true; // a column of the source's table, not an expression
};

// A bound data source: a client-side snapshot of a table or query with a
// current row that may be none. Values cross it as text in the user's
// locale. Changes to the current row are held as pending text and written
// when the row is saved or as soon as another row becomes current; a move is
// refused (DbError) when that write fails. Rows are told apart by rowid.
// Writes are optimistic: an update or delete goes through only while the
// row still holds what was read (ConflictError otherwise).
class DataSource : public QObject {
    Q_OBJECT
public:
    // Uses the program's shared connection to db1.mdb.
    explicit DataSource(QObject* parent = nullptr);
    explicit DataSource(std::shared_ptr<Database> db, QObject* parent = nullptr);
    ~DataSource() override;

    std::shared_ptr<Database> database() const { return m_db; }

    // A table name or a SELECT; values for its ? placeholders. Reads at once.
    void setSource(const QString& source, const QVariantList& params = {});
    QString source() const { return m_source; }
    // Re-reads the source; the first row becomes current, none if empty.
    void refresh();
    // Re-reads the source in its order; the row that was current stays
    // current wherever the order puts it now (the first row if it is gone).
    void refreshKeepingCurrent();

    int fieldCount() const { return static_cast<int>(m_fields.size()); }
    const Field& field(int column) const { return m_fields.at(static_cast<size_t>(column)); }
    // Names compare without regard to case; -1 when unknown.
    int fieldIndex(const QString& name) const;
    // As fieldIndex, but an unknown name is a programming error and throws.
    int requireField(const QString& name) const;

    // What the user calls a field (a box's caption, a column's heading), for
    // messages; the field's name until one is given. Kept across reloads.
    void setCaption(const QString& fieldName, const QString& caption);
    bool hasCaption(const QString& fieldName) const;
    QString caption(int column) const;

    int recordCount() const { return static_cast<int>(m_rows.size()); }
    int currentRow() const { return m_current; }
    bool hasCurrent() const { return m_current >= 0; }
    void setCurrentRow(int row);
    void moveFirst();
    void moveLast();
    void moveNext();
    // First row from the current one on (from the first when there is none)
    // whose field equals value; letter case is ignored. No match: no current row.
    bool find(const QString& fieldName, const QString& value);

    // Display text of a cell, pending changes included.
    QString text(int row, int column) const;
    // The stored value of a cell, as the database holds it.
    QVariant stored(int row, int column) const;
    // Current row; empty when there is none.
    QString value(const QString& fieldName) const;
    QString value(int column) const;
    // Pending change of the current row. Throws DbError without a current row.
    void setValue(const QString& fieldName, const QString& text);
    void setValue(int column, const QString& text);

    void addNew();
    // Every row appended from now on is written with this value in the
    // field, while the source has that field; the user never types it.
    void setRowDefault(const QString& fieldName, const QVariant& value);
    bool isPending() const { return !m_pending.empty() || currentIsNew(); }
    bool currentIsNew() const;
    // Writes the pending changes of the current row.
    void update();
    void updateBatch() { update(); }
    // Discards them; an appended row disappears.
    void cancelBatch();
    void deleteCurrent();
    // Removes every row of the snapshot from its table, as one reset of the
    // views; an appended row that was never written just disappears.
    void deleteAll();
    // Changed fields of the current row not yet written.
    bool hasChanges() const { return !m_pending.empty(); }

    // What the source holds in memory, so that a rolled-back transaction can
    // bring it back in line with the file (see SourceTransaction). Cheap:
    // cells are only ever appended, so the snapshot keeps their extent. A
    // source read again since is read again from the file instead.
    struct Snapshot;
    Snapshot snapshot() const;
    void restore(const Snapshot& saved);

    bool isEditable() const { return !m_table.isEmpty(); }

signals:
    void aboutToReset();
    void didReset();
    void currentChanged(int row);
    void rowChanged(int row);

private:
    struct Row {
        qint64 rowid = 0; // 0: appended, not yet written
        quint32 offset = 0;
        quint32 length = 0;
    };
    struct Pending {
        int column;
        QString text;
    };

    void load();
    void commitPending();
    bool writeReturning(const QString& sql, const QVariantList& params, qint64& rowid,
                        std::vector<QVariant>& values);
    void dropAppended();
    void requireCurrent() const;
    void requireEditable() const;
    QVariant cell(const Row& row, int column) const;
    const QString* pendingText(int column) const;
    void storeRow(Row& row, const std::vector<QVariant>& values);
    QVariant toStored(int column, const QString& text) const;
    QString toText(int column, const QVariant& value) const;
    void changeCurrent(int row);

    std::shared_ptr<Database> m_db;
    QString m_source;
    QVariantList m_params;
    QString m_table;
    std::vector<Field> m_fields;
    std::vector<Row> m_rows;
    QByteArray m_arena; // every row's cells, packed one after another
    int m_current = -1;
    int m_beforeNew = -1;
    std::vector<Pending> m_pending;
    quint64 m_reads = 0; // counts load(), which replaces every cell
    QHash<QString, QString> m_captions; // by field name in lower case
    QList<QPair<QString, QVariant>> m_rowDefaults;
};

struct DataSource::Snapshot {
    std::vector<Row> rows;
    qsizetype arenaSize = 0;
    quint64 reads = 0;
    int current = -1;
    int beforeNew = -1;
    std::vector<Pending> pending;
};

} // namespace velinor
