#include "data/postgres/pgengine.h"

#include "data/cellarena.h"
#include "data/dberror.h"
#include "data/postgres/pgsql.h"
#include "data/schema.h"

#include <QHash>
#include <QRegularExpression>

#include <libpq-fe.h>

#include <charconv>

#include <cmath>
#include <optional>
#include <vector>

namespace velinor {

namespace {

// Type OIDs of the server's built-in types (pg_type.dat).
enum : Oid {
    BoolOid = 16, Int8Oid = 20, Int2Oid = 21, Int4Oid = 23, OidOid = 26, Float4Oid = 700,
    Float8Oid = 701, DateOid = 1082, TimestampOid = 1114, TimestampTzOid = 1184, NumericOid = 1700
};

// The row id every table keeps for the program, never shown.
const QString hiddenColumn = QStringLiteral("rowid");

struct ResultDeleter {
    void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

QString lower(const QString& s) { return s.toLower(); }

// The names as the schema spells them, found by their lower-case form: the
// server keeps them in lower case, the program shows them as written.
struct Spelling {
    QHash<QString, QString> tables;
    QHash<QString, QString> fields; // "table\nfield"
};

const Spelling& spelling()
{
    static const Spelling s = [] {
        Spelling sp;
        static const QRegularExpression table(QStringLiteral(R"re(^\s*CREATE\s+TABLE\s+"([^"]+)"\s*\((.*)\)\s*$)re"),
                                              QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression field(QStringLiteral(R"re((?:^|,)\s*"([^"]+)")re"));
        for (const QString& statement : schemaStatements()) {
            const auto m = table.match(statement);
            if (!m.hasMatch())
                continue;
            const QString name = m.captured(1);
            sp.tables.insert(lower(name), name);
            auto it = field.globalMatch(m.captured(2));
            while (it.hasNext()) {
                const QString f = it.next().captured(1);
                sp.fields.insert(lower(name) + u'\n' + lower(f), f);
            }
        }
        return sp;
    }();
    return s;
}

FieldKind kindOfType(Oid type)
{
    switch (type) {
    case BoolOid:
    case Int8Oid:
    case Int2Oid:
    case Int4Oid:
    case OidOid:
    case Float4Oid:
    case Float8Oid:
    case NumericOid:
        return FieldKind::Number;
    case DateOid:
    case TimestampOid:
    case TimestampTzOid:
        return FieldKind::Date;
    default:
        return FieldKind::Text;
    }
}

bool isWhole(Oid type) { return type == Int8Oid || type == Int2Oid || type == Int4Oid || type == OidOid; }
bool isReal(Oid type) { return type == Float4Oid || type == Float8Oid || type == NumericOid; }

// Numbers come as text. from_chars reads them exactly and several times
// faster than strtod, which a 40,000-row list felt; strtod stays for what
// from_chars does not take whole.
qint64 wholeFrom(const char* text, int length)
{
    qint64 v = 0;
    const auto [end, error] = std::from_chars(text, text + length, v);
    return error == std::errc() && end == text + length ? v : strtoll(text, nullptr, 10);
}

double realFrom(const char* text, int length)
{
    double v = 0;
    const auto [end, error] = std::from_chars(text, text + length, v);
    return error == std::errc() && end == text + length ? v : strtod(text, nullptr);
}

// A value as the server reads a parameter in text form.
std::optional<QByteArray> paramText(const QVariant& value)
{
    if (value.isNull())
        return std::nullopt;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return QByteArray::number(value.toLongLong());
    case QMetaType::Bool:
        return QByteArray(value.toBool() ? "1" : "0");
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        // A whole number is written as one, so that a whole-number field takes it.
        if (std::isfinite(d) && std::floor(d) == d && std::fabs(d) < 1e15)
            return QByteArray::number(static_cast<qint64>(d));
        return QByteArray::number(d, 'g', 17);
    }
    default:
        return value.toString().toUtf8();
    }
}

struct Column {
    QString table; // canonical; empty for an expression
    QString field;
};

class PgEngine;

class PgCursor final : public Cursor {
public:
    PgCursor(PgEngine& engine, QString sql) : m_engine(engine), m_sql(std::move(sql)) {}

    void bind(int index, const QVariant& value) override
    {
        if (index > static_cast<int>(m_params.size()))
            m_params.resize(static_cast<size_t>(index));
        m_params[static_cast<size_t>(index - 1)] = paramText(value);
    }
    bool step() override;
    void reset() override
    {
        m_result.reset();
        m_row = -1;
        m_params.clear();
    }
    int columnCount() override
    {
        describe();
        return static_cast<int>(m_visible.size());
    }
    QString columnName(int c) override;
    FieldKind kind(int c) override
    {
        describe();
        return kindOfType(PQftype(meta(), pgColumn(c)));
    }
    QString originTable(int c) override { return origin(c).table; }
    QString originColumn(int c) override { return origin(c).field; }
    QVariant value(int c) override { return valueAt(pgColumn(c)); }
    void appendCells(QByteArray& arena, int first) override;

private:
    void describe();
    void mapColumns(PGresult* r);
    PGresult* meta() const { return m_result ? m_result.get() : m_desc.get(); }
    int pgColumn(int c) const { return m_visible.at(static_cast<size_t>(c)); }
    Column origin(int c);
    QVariant valueAt(int pg) const;

    PgEngine& m_engine;
    QString m_sql;
    std::vector<std::optional<QByteArray>> m_params;
    Result m_desc;
    quint64 m_descGeneration = 0;
    Result m_result;
    int m_row = -1;
    std::vector<int> m_visible;
    std::vector<char> m_kinds; // of the visible columns, for the rows of a result
    bool m_mapped = false;
};

class PgEngine final : public Engine {
public:
    explicit PgEngine(const QString& uri)
    {
        m_conn = PQconnectdb(uri.toUtf8().constData());
        if (PQstatus(m_conn) != CONNECTION_OK) {
            const QString why = QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
            PQfinish(m_conn);
            m_conn = nullptr;
            throw DbError(QStringLiteral("The database server named by %1 cannot be reached: %2")
                              .arg(shownUri(uri), why));
        }
        PQsetClientEncoding(m_conn, "UTF8");
        // A desk waits for another's write as long as a file would, then says so.
        command("SET DateStyle TO ISO; SET client_min_messages TO warning; "
                "SET lock_timeout TO '5s'");
    }
    ~PgEngine() override { PQfinish(m_conn); }

    PGconn* conn() const { return m_conn; }

    std::unique_ptr<Cursor> prepare(const QString& sql) override
    {
        auto it = m_translated.constFind(sql);
        if (it == m_translated.constEnd()) {
            QString text = pg::translate(sql);
            const pg::StarCopy copy = pg::starCopy(text);
            if (!copy.target.isEmpty()) {
                const QStringList from = columns(copy.source);
                QStringList both;
                for (const QString& f : columns(copy.target))
                    if (from.contains(f))
                        both << u'"' + QString(f).replace(u'"', QLatin1String("\"\"")) + u'"';
                const QString list = both.join(QStringLiteral(", "));
                text = QStringLiteral("INSERT INTO \"%1\" (%2) SELECT %2 FROM \"%3\"%4")
                           .arg(copy.target, list, copy.source, copy.rest);
            }
            it = m_translated.insert(sql, text);
        }
        return std::make_unique<PgCursor>(*this, *it);
    }

    int changes() const override { return m_changes; }

    void begin(int depth) override
    {
        command(depth == 0 ? QByteArray("BEGIN") : "SAVEPOINT velinor_" + QByteArray::number(depth));
    }
    void commit(int depth) override
    {
        if (depth > 0) {
            command("RELEASE SAVEPOINT velinor_" + QByteArray::number(depth));
            return;
        }
        // A transaction that failed on the way answers COMMIT with ROLLBACK.
        const Result r = command("COMMIT");
        if (qstrcmp(PQcmdStatus(r.get()), "COMMIT") != 0)
            throw DbError(QStringLiteral("the server undid the write"));
    }
    void rollback(int depth) noexcept override
    {
        const QByteArray sql = depth == 0
                                   ? QByteArray("ROLLBACK")
                                   : "ROLLBACK TO SAVEPOINT velinor_" + QByteArray::number(depth)
                                         + "; RELEASE SAVEPOINT velinor_" + QByteArray::number(depth);
        PQclear(PQexec(m_conn, sql.constData()));
    }

    void deleteRows(const QString& table, const QList<qint64>& rowids) override
    {
        QByteArray list = "{";
        for (qint64 id : rowids) {
            if (list.size() > 1)
                list += ',';
            list += QByteArray::number(id);
        }
        list += '}';
        const QString sql = QStringLiteral("DELETE FROM \"%1\" WHERE rowid = ANY($1::bigint[])")
                                .arg(lower(table).replace(u'"', QLatin1String("\"\"")));
        run(sql, {list}, false);
    }

    QStringList tables() override
    {
        return names("SELECT tablename FROM pg_tables WHERE schemaname = current_schema()", {});
    }
    QStringList fields(const QString& table) override { return columns(lower(table)); }
    QStringList indexes() override
    {
        return names("SELECT indexname FROM pg_indexes WHERE schemaname = current_schema()", {});
    }

    QStringList supportStatements() const override
    {
        // val(): the leading number of a text, as the invoice queries expect.
        // Run after the tables are made.
        return {
            QStringLiteral(
                "CREATE OR REPLACE FUNCTION val(text) RETURNS double precision LANGUAGE sql "
                "IMMUTABLE AS $$ SELECT coalesce(substring(replace($1, ' ', '') from "
                "'^[+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?')::double precision, 0) $$"),
            QStringLiteral("CREATE OR REPLACE FUNCTION val(double precision) RETURNS double "
                           "precision LANGUAGE sql IMMUTABLE AS $$ SELECT $1 $$"),
            // An invoice's lines are read by "[Numero Fattura] = val(?)": a
            // whole number compared with val()'s double, which this serves.
            QStringLiteral("CREATE INDEX IF NOT EXISTS dettagliofatture_numero_fattura_val ON "
                           "dettagliofatture ((\"numero fattura\"::double precision))"),
        };
    }
    bool isServer() const override { return true; }
    bool isBroken() const override { return PQstatus(m_conn) != CONNECTION_OK; }
    void forgetDefinitions() override { forget(); }

    // Runs a statement whose result the caller reads; throws DbError on failure.
    Result run(const QString& sql, const std::vector<std::optional<QByteArray>>& params,
               bool prepared)
    {
        std::vector<const char*> values;
        values.reserve(params.size());
        for (const auto& p : params)
            values.push_back(p ? p->constData() : nullptr);
        PGresult* r;
        if (prepared) {
            r = PQexecPrepared(m_conn, "", static_cast<int>(values.size()), values.data(), nullptr,
                               nullptr, 0);
        } else {
            const QByteArray text = sql.toUtf8();
            r = PQexecParams(m_conn, text.constData(), static_cast<int>(values.size()), nullptr,
                             values.data(), nullptr, nullptr, 0);
        }
        Result result(r);
        ++m_unnamed; // PQexecParams prepares its statement under the unnamed name too
        check(result.get());
        const char* tuples = PQcmdTuples(result.get());
        m_changes = tuples && *tuples ? atoi(tuples) : 0;
        if (sql.startsWith(QLatin1String("CREATE"), Qt::CaseInsensitive)
            || sql.startsWith(QLatin1String("ALTER"), Qt::CaseInsensitive)
            || sql.startsWith(QLatin1String("DROP"), Qt::CaseInsensitive))
            forget();
        return result;
    }

    // Prepares the statement under the unnamed name and describes its result.
    Result describe(const QString& sql, int params, quint64& generation)
    {
        const QByteArray text = sql.toUtf8();
        Result prepared(PQprepare(m_conn, "", text.constData(), params, nullptr));
        check(prepared.get());
        Result desc(PQdescribePrepared(m_conn, ""));
        check(desc.get());
        generation = ++m_unnamed;
        return desc;
    }
    bool unnamedIs(quint64 generation) const { return generation == m_unnamed; }

    // The schema's spelling of a column of a table the server knows by oid.
    Column origin(Oid table, int attnum)
    {
        if (table == InvalidOid || attnum <= 0)
            return {};
        auto it = m_origins.constFind(table);
        if (it == m_origins.constEnd()) {
            QHash<int, Column> cols;
            const QByteArray oid = QByteArray::number(table);
            const Result r = exec("SELECT c.relname, a.attnum, a.attname FROM pg_attribute a JOIN "
                                  "pg_class c ON c.oid = a.attrelid WHERE a.attrelid = $1 AND "
                                  "a.attnum > 0",
                                  {oid});
            const Spelling& sp = spelling();
            for (int i = 0; i < PQntuples(r.get()); ++i) {
                const QString t = QString::fromUtf8(PQgetvalue(r.get(), i, 0));
                const QString f = QString::fromUtf8(PQgetvalue(r.get(), i, 2));
                cols.insert(atoi(PQgetvalue(r.get(), i, 1)),
                            {sp.tables.value(t, t), sp.fields.value(t + u'\n' + f, f)});
            }
            it = m_origins.insert(table, cols);
        }
        return it->value(attnum);
    }

private:
    static QString shownUri(const QString& uri)
    {
        // Never show a password that was written into the URI.
        QString shown = uri;
        static const QRegularExpression password(QStringLiteral(R"((://[^:/@]*):[^@/]*@)"));
        shown.replace(password, QStringLiteral("\\1:***@"));
        return shown;
    }

    void check(PGresult* r)
    {
        const ExecStatusType status = PQresultStatus(r);
        if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
            return;
        QString text = r ? QString::fromUtf8(PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY))
                         : QString();
        if (text.isEmpty())
            text = QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
        const QByteArray state = r ? QByteArray(PQresultErrorField(r, PG_DIAG_SQLSTATE)) : QByteArray();
        if (PQstatus(m_conn) != CONNECTION_OK)
            throw DbError(QStringLiteral("the connection to the database server was lost (%1)").arg(text));
        if (state == "23505")
            throw DuplicateError(text);
        if (state == "40001" || state == "40P01")
            throw DbError(QStringLiteral("another desk was writing the same records; try again (%1)")
                              .arg(text));
        if (state == "55P03")
            throw DbError(QStringLiteral("another desk is holding the records this needs; try "
                                         "again in a moment (%1)")
                              .arg(text));
        if (state == "42501")
            throw DbError(QStringLiteral("the database server refused the access (%1)").arg(text));
        throw DbError(text);
    }

    Result command(const QByteArray& sql)
    {
        Result r(PQexec(m_conn, sql.constData()));
        ++m_unnamed;
        check(r.get());
        return r;
    }

    Result exec(const char* sql, const std::vector<std::optional<QByteArray>>& params)
    {
        return run(QString::fromLatin1(sql), params, false);
    }

    QStringList names(const char* sql, const std::vector<std::optional<QByteArray>>& params)
    {
        const Result r = exec(sql, params);
        QStringList list;
        for (int i = 0; i < PQntuples(r.get()); ++i)
            list << QString::fromUtf8(PQgetvalue(r.get(), i, 0));
        return list;
    }

    // A table's own fields in table order, the hidden row id left out.
    QStringList columns(const QString& table)
    {
        auto it = m_columns.constFind(table);
        if (it == m_columns.constEnd()) {
            const QByteArray quoted = '"' + table.toUtf8().replace('"', "\"\"") + '"';
            QStringList list = names("SELECT attname FROM pg_attribute WHERE attrelid = "
                                     "to_regclass($1) AND attnum > 0 AND NOT attisdropped ORDER BY attnum",
                                     {quoted});
            list.removeAll(hiddenColumn);
            it = m_columns.insert(table, list);
        }
        return *it;
    }

    void forget()
    {
        m_columns.clear();
        m_origins.clear();
        m_translated.clear();
    }

    PGconn* m_conn = nullptr;
    int m_changes = 0;
    quint64 m_unnamed = 0;
    QHash<QString, QString> m_translated;
    QHash<QString, QStringList> m_columns;
    QHash<Oid, QHash<int, Column>> m_origins;
};

void PgCursor::describe()
{
    if (m_result || m_desc)
        return;
    m_desc = m_engine.describe(m_sql, static_cast<int>(m_params.size()), m_descGeneration);
    mapColumns(m_desc.get());
}

void PgCursor::mapColumns(PGresult* r)
{
    if (m_mapped)
        return;
    m_mapped = true;
    m_visible.clear();
    // The row id a SELECT * brings along stays out of sight; a row id asked
    // for by name comes first (RETURNING rowid, ...) or under another name.
    for (int c = 0; c < PQnfields(r); ++c)
        if (c == 0 || !(PQftable(r, c) != InvalidOid && hiddenColumn == QLatin1String(PQfname(r, c))))
            m_visible.push_back(c);
}

bool PgCursor::step()
{
    if (!m_result) {
        const bool prepared = m_desc && m_engine.unnamedIs(m_descGeneration);
        m_result = m_engine.run(m_sql, m_params, prepared);
        m_kinds.clear();
        m_desc.reset();
        m_row = -1;
        mapColumns(m_result.get());
    }
    ++m_row;
    return m_row < PQntuples(m_result.get());
}

QString PgCursor::columnName(int c)
{
    describe();
    const int pg = pgColumn(c);
    const QString name = QString::fromUtf8(PQfname(meta(), pg));
    const Column col = origin(c);
    // A field read by its own name is called as the schema spells it.
    return !col.field.isEmpty() && col.field.compare(name, Qt::CaseInsensitive) == 0 ? col.field : name;
}

Column PgCursor::origin(int c)
{
    describe();
    const int pg = pgColumn(c);
    return m_engine.origin(PQftable(meta(), pg), PQftablecol(meta(), pg));
}

QVariant PgCursor::valueAt(int pg) const
{
    PGresult* r = m_result.get();
    if (!r || m_row < 0 || m_row >= PQntuples(r) || PQgetisnull(r, m_row, pg))
        return QVariant();
    const char* v = PQgetvalue(r, m_row, pg);
    const int length = PQgetlength(r, m_row, pg);
    const Oid type = PQftype(r, pg);
    if (isWhole(type))
        return QVariant(static_cast<qlonglong>(wholeFrom(v, length)));
    if (isReal(type))
        return QVariant(realFrom(v, length));
    if (type == BoolOid)
        return QVariant(static_cast<qlonglong>(*v == 't' ? 1 : 0));
    return QVariant(QString::fromUtf8(v, length));
}

void PgCursor::appendCells(QByteArray& arena, int first)
{
    PGresult* r = m_result.get();
    if (m_kinds.size() != m_visible.size()) {
        m_kinds.clear();
        for (const int pg : m_visible) {
            const Oid type = PQftype(r, pg);
            m_kinds.push_back(isWhole(type) ? 'w' : isReal(type) ? 'r' : type == BoolOid ? 'b' : 't');
        }
    }
    qsizetype size = 0;
    for (size_t i = static_cast<size_t>(first); i < m_visible.size(); ++i) {
        const int pg = m_visible[i];
        size += PQgetisnull(r, m_row, pg) ? cells::nullSize
                : m_kinds[i] == 't'        ? cells::textSize(quint32(PQgetlength(r, m_row, pg)))
                                           : cells::numberSize;
    }
    char* p = cells::extend(arena, size);
    for (size_t i = static_cast<size_t>(first); i < m_visible.size(); ++i) {
        const int pg = m_visible[i];
        if (PQgetisnull(r, m_row, pg)) {
            p = cells::putNull(p);
            continue;
        }
        const char* v = PQgetvalue(r, m_row, pg);
        const int length = PQgetlength(r, m_row, pg);
        switch (m_kinds[i]) {
        case 'w':
            p = cells::putInt(p, wholeFrom(v, length));
            break;
        case 'r':
            p = cells::putReal(p, realFrom(v, length));
            break;
        case 'b':
            p = cells::putInt(p, *v == 't' ? 1 : 0);
            break;
        default:
            p = cells::putText(p, v, quint32(length));
        }
    }
}

} // namespace

std::unique_ptr<Engine> openPostgres(const QString& uri) { return std::make_unique<PgEngine>(uri); }

} // namespace velinor
