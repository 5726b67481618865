#include "data/datasource.h"

#include "common/numbertext.h"

#include <QLocale>
#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <cstring>
#include <stdexcept>

namespace velinor {

namespace {

enum Tag : char { TagNull = 0, TagInt = 1, TagReal = 2, TagText = 3 };

QString quoted(const QString& name)
{
    QString q = name;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

FieldKind kindOf(const QString& declared)
{
    const QString t = declared.toUpper();
    if (t.contains(QLatin1String("DATE")) || t.contains(QLatin1String("TIME")))
        return FieldKind::Date;
    for (const char* n : {"INT", "REAL", "FLOA", "DOUB", "NUM", "DEC"})
        if (t.contains(QLatin1String(n)))
            return FieldKind::Number;
    return FieldKind::Text;
}

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

void appendRaw(QByteArray& arena, const void* data, qsizetype size)
{
    arena.append(static_cast<const char*>(data), size);
}

template <class T> T readRaw(const char* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// A typed value as a message quotes it: a long paste would fill the box.
QString shortened(const QString& text)
{
    constexpr int most = 40;
    return text.size() <= most ? text : text.left(most - 1) + QChar(0x2026);
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
                                             + quoted(*table)
                                       : withRowid(m_source);
    std::unique_ptr<Statement> st;
    if (sql) {
        try {
            st = std::make_unique<Statement>(*m_db, *sql);
        } catch (const DbError&) {
            if (table)
                throw;
            // Joins and views have no single rowid: such a list is read-only.
            sql.reset();
        }
    }
    if (!st)
        st = std::make_unique<Statement>(*m_db, m_source);
    st->bindAll(m_params);

    sqlite3_stmt* h = st->handle();
    const int first = sql ? 1 : 0;
    const int n = st->columnCount();
    QString origin;
    bool single = sql.has_value();
    for (int c = first; c < n; ++c) {
        Field f;
        f.name = st->columnName(c);
        const char* col = sqlite3_column_origin_name(h, c);
        const char* tab = sqlite3_column_table_name(h, c);
        f.column = col ? QString::fromUtf8(col) : f.name;
        f.stored = col != nullptr;
        f.kind = kindOf(st->declaredType(c));
        m_fields.push_back(f);
        const QString t = tab ? QString::fromUtf8(tab) : QString();
        if (t.isEmpty() || (!origin.isEmpty() && t.compare(origin, Qt::CaseInsensitive) != 0))
            single = false;
        origin = t;
    }
    if (single && !origin.isEmpty())
        m_table = origin;

    while (st->step()) {
        Row row;
        // A read-only list has no rowids; any value but 0, which marks an
        // appended row, so that its rows are never taken for new ones.
        row.rowid = first ? sqlite3_column_int64(h, 0) : -1;
        row.offset = static_cast<quint32>(m_arena.size());
        for (int c = first; c < n; ++c) {
            switch (sqlite3_column_type(h, c)) {
            case SQLITE_NULL:
                m_arena.append(TagNull);
                break;
            case SQLITE_INTEGER: {
                const qint64 v = sqlite3_column_int64(h, c);
                m_arena.append(TagInt);
                appendRaw(m_arena, &v, sizeof v);
                break;
            }
            case SQLITE_FLOAT: {
                const double v = sqlite3_column_double(h, c);
                m_arena.append(TagReal);
                appendRaw(m_arena, &v, sizeof v);
                break;
            }
            default: {
                const auto* text = sqlite3_column_text(h, c);
                const quint32 len = static_cast<quint32>(sqlite3_column_bytes(h, c));
                m_arena.append(TagText);
                appendRaw(m_arena, &len, sizeof len);
                appendRaw(m_arena, text, len);
            }
            }
        }
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
    const char* p = m_arena.constData() + row.offset;
    for (int c = 0;; ++c) {
        const char tag = *p++;
        const bool wanted = c == column;
        switch (tag) {
        case TagNull:
            if (wanted)
                return QVariant();
            break;
        case TagInt:
            if (wanted)
                return QVariant(static_cast<qlonglong>(readRaw<qint64>(p)));
            p += sizeof(qint64);
            break;
        case TagReal:
            if (wanted)
                return QVariant(readRaw<double>(p));
            p += sizeof(double);
            break;
        default: {
            const auto len = readRaw<quint32>(p);
            p += sizeof len;
            if (wanted)
                return QVariant(QString::fromUtf8(p, len));
            p += len;
        }
        }
    }
}

void DataSource::storeRow(Row& row, const std::vector<QVariant>& values)
{
    row.offset = static_cast<quint32>(m_arena.size());
    for (const QVariant& v : values) {
        if (v.isNull()) {
            m_arena.append(TagNull);
        } else if (v.typeId() == QMetaType::LongLong) {
            const qint64 x = v.toLongLong();
            m_arena.append(TagInt);
            appendRaw(m_arena, &x, sizeof x);
        } else if (v.typeId() == QMetaType::Double) {
            const double x = v.toDouble();
            m_arena.append(TagReal);
            appendRaw(m_arena, &x, sizeof x);
        } else {
            const QByteArray utf8 = v.toString().toUtf8();
            const quint32 len = static_cast<quint32>(utf8.size());
            m_arena.append(TagText);
            appendRaw(m_arena, &len, sizeof len);
            m_arena.append(utf8);
        }
    }
    row.length = static_cast<quint32>(m_arena.size()) - row.offset;
}

const QString* DataSource::pendingText(int column) const
{
    for (const Pending& p : m_pending)
        if (p.column == column)
            return &p.text;
    return nullptr;
}

QString DataSource::toText(int column, const QVariant& value) const
{
    if (value.isNull())
        return QString();
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    switch (value.typeId()) {
    case QMetaType::LongLong:
        return locale.toString(value.toLongLong());
    case QMetaType::Double:
        return formatNumber(value.toDouble(), locale);
    default:
        break;
    }
    const QString text = value.toString();
    if (field(column).kind == FieldKind::Date) {
        const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
        if (date.isValid())
            return formatDate(date, locale);
    }
    return text;
}

QVariant DataSource::toStored(int column, const QString& text) const
{
    const Field& f = field(column);
    switch (f.kind) {
    case FieldKind::Text:
        return text;
    case FieldKind::Number: {
        if (text.trimmed().isEmpty())
            return QVariant();
        const auto number = parseNumber(text);
        if (!number)
            throw DbError(QStringLiteral("\"%1\" holds numbers only, and \"%2\" is not a number")
                              .arg(caption(column), shortened(text)));
        return *number;
    }
    case FieldKind::Date: {
        if (text.trimmed().isEmpty())
            return QVariant();
        const auto date = parseDate(text);
        if (!date)
            throw DbError(QStringLiteral("\"%1\" holds dates only, written as %2, and \"%3\" is "
                                         "not a date")
                              .arg(caption(column), dateFormatInWords(), shortened(text)));
        return date->toString(Qt::ISODate);
    }
    }
    return text;
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
        columns << quoted(field(p.column).column);
        params << v;
    }

    qint64 rowid = row.rowid;
    if (row.rowid == 0) {
        for (const auto& [name, value] : std::as_const(m_rowDefaults)) {
            const int c = fieldIndex(name);
            if (c < 0 || pendingText(c))
                continue;
            values[static_cast<size_t>(c)] = value;
            columns << quoted(field(c).column);
            params << value;
        }
        QString sql = QStringLiteral("INSERT INTO ") + quoted(m_table);
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
            where += QStringLiteral(" AND ") + quoted(field(p.column).column) + QStringLiteral(" IS ?");
            params << cell(row, p.column);
        }
        if (!writeReturning(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                                .arg(quoted(m_table), sets.join(QStringLiteral(", ")), where),
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
            returning += u',' + quoted(f.column);
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
            where += QStringLiteral(" AND ") + quoted(field(c).column) + QStringLiteral(" IS ?");
            params << cell(shown, c);
        }
    m_db->exec(QStringLiteral("DELETE FROM %1 WHERE %2").arg(quoted(m_table), where), params);
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
    // One statement, prepared once: thousands of lines go in milliseconds.
    Statement st(*m_db, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoted(m_table)));
    for (const Row& row : m_rows) {
        if (row.rowid == 0)
            continue;
        st.bind(1, row.rowid);
        st.step();
        st.reset();
    }
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
