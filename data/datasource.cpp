#include "data/datasource.h"

#include "common/numbertext.h"
#include "data/cellarena.h"

#include <QRegularExpression>

#include <algorithm>
#include <functional>
#include <stdexcept>

namespace velinor {

namespace {

// A bare table name, possibly quoted or bracketed.
std::optional<QString> tableNameOf(const QString& source)
{
    static const QRegularExpression re(
        QStringLiteral(R"re(^\s*(?:\[([^\]]+)\]|"([^"]+)"|(\w+))\s*$)re"),
        QRegularExpression::UseUnicodePropertiesOption);
    const auto m = re.match(source);
    if (!m.hasMatch())
        return std::nullopt;
    for (int i = 1; i <= 3; ++i)
        if (m.capturedLength(i) > 0)
            return m.captured(i);
    return std::nullopt;
}

// The same query with the rowid in front, so that its rows can be written.
std::optional<QString> withRowid(const QString& select)
{
    static const QRegularExpression re(QStringLiteral(R"(^\s*select\s+(?!distinct\b|all\b))"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(select);
    if (!m.hasMatch())
        return std::nullopt;
    return QStringLiteral("SELECT rowid AS velinor_rowid, ") + select.mid(m.capturedEnd());
}

// Ends a reset that an exception interrupted, so views are never left waiting.
struct ResetGuard {
    std::function<void()> done;
    ~ResetGuard() { done(); }
};

} // namespace

DataSource::DataSource(QObject* parent) : DataSource(Database::shared(), parent) {}

DataSource::DataSource(std::shared_ptr<Database> db, QObject* parent)
    : QObject(parent), m_db(std::move(db))
{
}

DataSource::~DataSource() = default;

void DataSource::setSource(const QString& source, const QVariantList& params)
{
    m_source = source;
    m_params = params;
    m_pending.clear();
    load();
}

void DataSource::refresh()
{
    if (hasCurrent())
        commitPending();
    load();
}

void DataSource::refreshKeepingCurrent()
{
    if (hasCurrent())
        commitPending();
    const qint64 rowid = hasCurrent() ? m_rows[static_cast<size_t>(m_current)].rowid : 0;
    load();
    if (rowid == 0 || rowid == -1)
        return;
    for (int r = 0; r < recordCount(); ++r)
        if (m_rows[static_cast<size_t>(r)].rowid == rowid) {
            changeCurrent(r);
            return;
        }
}

void DataSource::load()
{
    emit aboutToReset();
    ResetGuard guard{[this] {
                         emit didReset();
                         emit currentChanged(m_current);
                     }};
    m_rows.clear();
    m_arena.clear();
    ++m_reads;
    m_pending.clear();
    m_fields.clear();
    m_table.clear();
    m_current = -1;
    m_beforeNew = -1;

    std::optional<QString> table = tableNameOf(m_source);
    std::optional<QString> sql = table ? QStringLiteral("SELECT rowid AS velinor_rowid, * FROM ")
                                             + quotedName(*table)
                                       : withRowid(m_source);
    // A server keeps no stored order: rows come in the order they were added,
    // as in the file, unless the query orders them.
    static const QRegularExpression ordered(QStringLiteral(R"(\border\s+by\b)"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (sql && m_db->isServer() && !ordered.match(*sql).hasMatch())
        *sql += QStringLiteral(" ORDER BY velinor_rowid");
    std::unique_ptr<Statement> st;
    // Run at once: a server then sends the columns with the rows, in one
    // round trip rather than a description first.
    bool more = false;
    if (sql) {
        // A failed statement spoils a server's transaction: try it apart.
        std::optional<Transaction> trial;
        if (m_db->isServer() && m_db->inTransaction())
            trial.emplace(*m_db);
        try {
            st = std::make_unique<Statement>(*m_db, *sql);
            st->bindAll(m_params);
            more = st->step();
            if (trial)
                trial->commit();
        } catch (const DbError&) {
            if (table)
                throw;
            // Joins and views have no single rowid: such a list is read-only.
            st.reset();
            sql.reset();
        }
    }
    if (!st) {
        st = std::make_unique<Statement>(*m_db, m_source);
        st->bindAll(m_params);
        more = st->step();
    }

    const int first = sql ? 1 : 0;
    const int n = st->columnCount();
    QString origin;
    bool single = sql.has_value();
    for (int c = first; c < n; ++c) {
        Field f;
        f.name = st->columnName(c);
        const QString col = st->originColumn(c);
        const QString t = st->originTable(c);
        f.column = col.isEmpty() ? f.name : col;
        f.stored = !col.isEmpty();
        f.kind = st->kind(c);
        m_fields.push_back(f);
        if (t.isEmpty() || (!origin.isEmpty() && t.compare(origin, Qt::CaseInsensitive) != 0))
            single = false;
        origin = t;
    }
    if (single && !origin.isEmpty())
        m_table = origin;

    Cursor& cursor = st->cursor();
    for (; more; more = cursor.step()) {
        Row row;
        // A read-only list has no rowids; any value but 0, which marks an
        // appended row, so that its rows are never taken for new ones.
        row.rowid = first ? cursor.value(0).toLongLong() : -1;
        row.offset = static_cast<quint32>(m_arena.size());
        cursor.appendCells(m_arena, first);
        row.length = static_cast<quint32>(m_arena.size()) - row.offset;
        m_rows.push_back(row);
    }
    m_current = m_rows.empty() ? -1 : 0;
}

int DataSource::fieldIndex(const QString& name) const
{
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

int DataSource::requireField(const QString& name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw std::invalid_argument(
            QStringLiteral("no field \"%1\" in \"%2\"").arg(name, m_source).toStdString());
    return i;
}

void DataSource::setCaption(const QString& fieldName, const QString& caption)
{
    m_captions.insert(fieldName.toLower(), caption.trimmed());
}

bool DataSource::hasCaption(const QString& fieldName) const
{
    return m_captions.contains(fieldName.toLower());
}

QString DataSource::caption(int column) const
{
    const QString& name = field(column).name;
    return m_captions.value(name.toLower(), name);
}

QVariant DataSource::cell(const Row& row, int column) const
{
    return cells::read(m_arena.constData() + row.offset, column);
}

void DataSource::storeRow(Row& row, const std::vector<QVariant>& values)
{
    row.offset = static_cast<quint32>(m_arena.size());
    for (const QVariant& v : values)
        cells::appendValue(m_arena, v);
    row.length = static_cast<quint32>(m_arena.size()) - row.offset;
}

const QString* DataSource::pendingText(int column) const
{
    for (const Pending& p : m_pending)
        if (p.column == column)
            return &p.text;
    return nullptr;
}

QString DataSource::text(int row, int column) const
{
    if (row == m_current)
        if (const QString* p = pendingText(column))
            return *p;
    return toText(column, stored(row, column));
}

QVariant DataSource::stored(int row, int column) const
{
    return cell(m_rows.at(static_cast<size_t>(row)), column);
}

QString DataSource::value(const QString& fieldName) const { return value(requireField(fieldName)); }

QString DataSource::value(int column) const
{
    return hasCurrent() ? text(m_current, column) : QString();
}

void DataSource::setValue(const QString& fieldName, const QString& text)
{
    setValue(requireField(fieldName), text);
}

void DataSource::setValue(int column, const QString& text)
{
    requireCurrent();
    auto it = std::find_if(m_pending.begin(), m_pending.end(),
                           [column](const Pending& p) { return p.column == column; });
    if (it != m_pending.end()) {
        if (it->text == text)
            return;
        it->text = text;
    } else {
        if (!currentIsNew() && toText(column, stored(m_current, column)) == text)
            return;
        m_pending.push_back({column, text});
    }
    emit rowChanged(m_current);
}

bool DataSource::currentIsNew() const
{
    return hasCurrent() && m_rows[static_cast<size_t>(m_current)].rowid == 0;
}

void DataSource::requireCurrent() const
{
    if (!hasCurrent())
        throw DbError(QStringLiteral("there is no current record"));
}

void DataSource::requireEditable() const
{
    if (!isEditable())
        throw DbError(QStringLiteral("this list cannot be changed"));
}

void DataSource::commitPending()
{
    if (currentIsNew() && m_pending.empty())
        dropAppended(); // an untouched new row is never written
    else if (!m_pending.empty())
        update();
}

void DataSource::dropAppended()
{
    emit aboutToReset();
    m_rows.pop_back();
    m_pending.clear();
    const int restore = m_beforeNew < recordCount() ? m_beforeNew : recordCount() - 1;
    m_current = restore;
    m_beforeNew = -1;
    emit didReset();
}

void DataSource::changeCurrent(int row)
{
    if (row == m_current)
        return;
    m_current = row;
    emit currentChanged(row);
}

void DataSource::setCurrentRow(int row)
{
    if (row < -1 || row >= recordCount())
        throw std::out_of_range("row out of range");
    if (row == m_current)
        return;
    if (hasCurrent())
        commitPending(); // may drop an appended row, which is always the last
    changeCurrent(row);
}

void DataSource::moveFirst() { setCurrentRow(recordCount() > 0 ? 0 : -1); }

void DataSource::moveLast() { setCurrentRow(recordCount() - 1); }

void DataSource::moveNext()
{
    if (!hasCurrent())
        return;
    setCurrentRow(m_current + 1 < recordCount() ? m_current + 1 : -1);
}

bool DataSource::find(const QString& fieldName, const QString& value)
{
    const int column = requireField(fieldName);
    if (hasCurrent())
        commitPending();
    const bool numeric = field(column).kind == FieldKind::Number;
    const auto number = numeric ? parseNumber(value) : std::nullopt;
    for (int r = std::max(m_current, 0); r < recordCount(); ++r) {
        bool match;
        if (number) {
            const QVariant v = stored(r, column);
            bool ok = false;
            const double d = v.isNull() ? 0.0 : v.toDouble(&ok);
            match = ok && d == *number;
        } else {
            match = text(r, column).compare(value, Qt::CaseInsensitive) == 0;
        }
        if (match) {
            changeCurrent(r);
            return true;
        }
    }
    changeCurrent(-1);
    return false;
}

void DataSource::addNew()
{
    requireEditable();
    if (hasCurrent())
        commitPending();
    const int before = m_current;
    emit aboutToReset();
    Row row;
    storeRow(row, std::vector<QVariant>(m_fields.size()));
    m_rows.push_back(row);
    m_current = recordCount() - 1;
    m_beforeNew = before;
    emit didReset();
    emit currentChanged(m_current);
}

void DataSource::setRowDefault(const QString& fieldName, const QVariant& value)
{
    for (auto& d : m_rowDefaults)
        if (d.first.compare(fieldName, Qt::CaseInsensitive) == 0) {
            d.second = value;
            return;
        }
    m_rowDefaults.append({fieldName, value});
}

void DataSource::cancelBatch()
{
    if (currentIsNew()) {
        dropAppended();
        emit currentChanged(m_current);
        return;
    }
    if (m_pending.empty())
        return;
    m_pending.clear();
    emit rowChanged(m_current);
}

} // namespace velinor
