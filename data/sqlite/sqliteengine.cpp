#include "data/sqlite/sqliteengine.h"

#include "common/numbertext.h"
#include "data/cellarena.h"
#include "data/database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVarLengthArray>

#include <sqlite3.h>

#include <cstring>

namespace velinor {

namespace {

constexpr int busyTimeoutMs = 2000;

QString sqliteText(sqlite3* db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

// val(text): the leading number of a text, as the invoice queries expect.
void valFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        sqlite3_result_null(ctx);
        return;
    case SQLITE_INTEGER:
        sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
        return;
    case SQLITE_FLOAT:
        sqlite3_result_double(ctx, sqlite3_value_double(argv[0]));
        return;
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
        sqlite3_result_double(ctx, leadingNumberC(QString::fromUtf8(text)));
    }
    }
}

void checkFile(const QString& path)
{
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    QFile file(path);
    if (!file.exists())
        throw DbError(QStringLiteral("The database file %1 does not exist. Create it with "
                                     "velinor-initdb (velinor-initdb --demo for sample data).")
                          .arg(shown));
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("The database file %1 cannot be read: %2.")
                          .arg(shown, file.errorString()));
    const QByteArray head = file.read(32);
    if (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB")
        throw DbError(QStringLiteral("The database file %1 is a Microsoft Access database. "
                                     "Convert it to SQLite first, or create a new one with "
                                     "velinor-initdb.")
                          .arg(shown));
    if (!head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        throw DbError(QStringLiteral("The file %1 is not an SQLite database. Create one with "
                                     "velinor-initdb.")
                          .arg(shown));
}

// Opens an existing file for reading and writing, or for reading only when
// it cannot be written.
sqlite3* openFile(const QString& path)
{
    sqlite3* db = nullptr;
    const QByteArray file = QFile::encodeName(path);
    // A connection is only ever used by the thread that opened it, so
    // SQLite's locking around every call (of every cell read) is left out.
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr)
        != SQLITE_OK) {
        const QString why = db ? sqliteText(db) : QStringLiteral("out of memory");
        sqlite3_close(db);
        throw DbError(QStringLiteral("The database file %1 cannot be opened: %2.")
                          .arg(QDir::toNativeSeparators(path), why));
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, busyTimeoutMs);
    sqlite3_create_function_v2(db, "val", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               valFunction, nullptr, nullptr, nullptr);
    return db;
}

FieldKind kindOf(const char* declared)
{
    const QString t = QString::fromUtf8(declared).toUpper();
    if (t.contains(QLatin1String("DATE")) || t.contains(QLatin1String("TIME")))
        return FieldKind::Date;
    for (const char* n : {"INT", "REAL", "FLOA", "DOUB", "NUM", "DEC"})
        if (t.contains(QLatin1String(n)))
            return FieldKind::Number;
    return FieldKind::Text;
}

[[noreturn]] void fail(sqlite3* db)
{
    const QString path = QString::fromUtf8(sqlite3_db_filename(db, "main"));
    QString text = sqliteText(db);
    const int code = sqlite3_extended_errcode(db);
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        text = QStringLiteral("the database file is in use by another program (%1)").arg(text);
        break;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        // A change needs a journal beside the file: a folder that cannot
        // take one refuses changes to a file that could take them.
        if (QFileInfo(path).isWritable() && !QFileInfo(QFileInfo(path).absolutePath()).isWritable())
            text = QStringLiteral("the folder %1 that holds the database file is read-only, and "
                                  "a change needs room for a journal file beside it (%2)")
                       .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()), text);
        else if ((code & 0xff) != SQLITE_CANTOPEN)
            text = QStringLiteral("the database file is read-only (%1)").arg(text);
        break;
    case SQLITE_IOERR:
    case SQLITE_FULL:
        // sqlite's "disk I/O error" says nothing a user can act on.
        if (const int system = sqlite3_system_errno(db))
            text = QStringLiteral("%1 (%2)").arg(text, QString::fromLocal8Bit(std::strerror(system)));
        break;
    default:
        break;
    }
    if (code == SQLITE_CONSTRAINT_UNIQUE || code == SQLITE_CONSTRAINT_PRIMARYKEY)
        throw DuplicateError(text);
    throw DbError(text);
}

class SqliteEngine;

class SqliteCursor final : public Cursor {
public:
    SqliteCursor(sqlite3* db, const QString& sql) : m_db(db)
    {
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &m_stmt, nullptr)
            != SQLITE_OK)
            fail(db);
    }
    ~SqliteCursor() override { sqlite3_finalize(m_stmt); }

    void bind(int index, const QVariant& value) override
    {
        int rc = SQLITE_OK;
        if (value.isNull()) {
            rc = sqlite3_bind_null(m_stmt, index);
        } else {
            switch (value.typeId()) {
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::UInt:
            case QMetaType::ULongLong:
            case QMetaType::Bool:
                rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
                break;
            default: {
                const QByteArray utf8 = value.toString().toUtf8();
                rc = sqlite3_bind_text(m_stmt, index, utf8.constData(),
                                       static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
            }
            }
        }
        if (rc != SQLITE_OK)
            fail(m_db);
    }

    bool step() override
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        fail(m_db);
    }

    void reset() override
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }

    int columnCount() override { return sqlite3_column_count(m_stmt); }
    QString columnName(int c) override { return QString::fromUtf8(sqlite3_column_name(m_stmt, c)); }
    FieldKind kind(int c) override { return kindOf(sqlite3_column_decltype(m_stmt, c)); }
    QString originTable(int c) override
    {
        return QString::fromUtf8(sqlite3_column_table_name(m_stmt, c));
    }
    QString originColumn(int c) override
    {
        return QString::fromUtf8(sqlite3_column_origin_name(m_stmt, c));
    }

    QVariant value(int c) override
    {
        switch (sqlite3_column_type(m_stmt, c)) {
        case SQLITE_INTEGER:
            return QVariant(static_cast<qlonglong>(sqlite3_column_int64(m_stmt, c)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(m_stmt, c));
        case SQLITE_NULL:
            return QVariant();
        default:
            return QVariant(QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, c)),
                sqlite3_column_bytes(m_stmt, c)));
        }
    }

    void appendCells(QByteArray& arena, int first) override
    {
        const int n = sqlite3_column_count(m_stmt);
        QVarLengthArray<int, 64> types(n);
        QVarLengthArray<const char*, 64> texts(n);
        QVarLengthArray<quint32, 64> lengths(n);
        qsizetype size = 0;
        for (int c = first; c < n; ++c) {
            types[c] = sqlite3_column_type(m_stmt, c);
            if (types[c] == SQLITE_NULL) {
                size += cells::nullSize;
            } else if (types[c] == SQLITE_INTEGER || types[c] == SQLITE_FLOAT) {
                size += cells::numberSize;
            } else {
                texts[c] = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, c));
                lengths[c] = static_cast<quint32>(sqlite3_column_bytes(m_stmt, c));
                size += cells::textSize(lengths[c]);
            }
        }
        char* p = cells::extend(arena, size);
        for (int c = first; c < n; ++c) {
            switch (types[c]) {
            case SQLITE_NULL:
                p = cells::putNull(p);
                break;
            case SQLITE_INTEGER:
                p = cells::putInt(p, sqlite3_column_int64(m_stmt, c));
                break;
            case SQLITE_FLOAT:
                p = cells::putReal(p, sqlite3_column_double(m_stmt, c));
                break;
            default:
                p = cells::putText(p, texts[c], lengths[c]);
            }
        }
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

class SqliteEngine final : public Engine {
public:
    explicit SqliteEngine(const QString& path) : m_path(path)
    {
        checkFile(m_path);
        m_db = openFile(m_path);
    }
    ~SqliteEngine() override { sqlite3_close_v2(m_db); }

    sqlite3* handle() const { return m_db; }

    std::unique_ptr<Cursor> prepare(const QString& sql) override
    {
        refreshAccess();
        return std::make_unique<SqliteCursor>(m_db, sql);
    }

    int changes() const override { return sqlite3_changes(m_db); }

    // Savepoints nest, and the outermost one is the transaction.
    void begin(int) override { exec("SAVEPOINT velinor"); }
    void commit(int) override { exec("RELEASE velinor"); }
    void rollback(int) noexcept override
    {
        // Never throws: a failed rollback leaves the savepoint for sqlite to undo.
        sqlite3_exec(m_db, "ROLLBACK TO velinor; RELEASE velinor", nullptr, nullptr, nullptr);
    }

    void deleteRows(const QString& table, const QList<qint64>& rowids) override
    {
        QByteArray list = "[";
        for (qint64 id : rowids) {
            if (list.size() > 1)
                list += ',';
            list += QByteArray::number(id);
        }
        list += ']';
        SqliteCursor st(m_db, QStringLiteral("DELETE FROM \"%1\" WHERE rowid IN (SELECT value FROM "
                                             "json_each(?))")
                                  .arg(QString(table).replace(u'"', QLatin1String("\"\""))));
        st.bind(1, QString::fromLatin1(list));
        st.step();
    }

    QStringList tables() override
    {
        return names("SELECT name FROM sqlite_master WHERE type = 'table'", {});
    }
    QStringList fields(const QString& table) override
    {
        return names("SELECT name FROM pragma_table_info(?)", table);
    }
    QStringList indexes() override
    {
        return names("SELECT name FROM sqlite_master WHERE type = 'index'", {});
    }
    QStringList supportStatements() const override { return {}; }
    bool isServer() const override { return false; }

private:
    void exec(const char* sql)
    {
        refreshAccess();
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(m_db);
    }

    QStringList names(const char* sql, const QString& param)
    {
        SqliteCursor st(m_db, QString::fromLatin1(sql));
        if (!param.isNull())
            st.bind(1, param);
        QStringList list;
        while (st.step())
            list << st.value(0).toString();
        return list;
    }

    // sqlite keeps a file read-only that was read-only when it was opened.
    // When it can be written again, this opens it anew; it does so only
    // between statements and outside a transaction.
    void refreshAccess()
    {
        if (sqlite3_db_readonly(m_db, "main") != 1 || !sqlite3_get_autocommit(m_db)
            || sqlite3_next_stmt(m_db, nullptr) || !QFileInfo(m_path).isWritable())
            return;
        sqlite3* reopened = nullptr;
        try {
            reopened = openFile(m_path);
        } catch (const DbError&) {
            return; // the old handle still reads; a write says why it cannot
        }
        if (sqlite3_db_readonly(reopened, "main") == 1) {
            sqlite3_close_v2(reopened);
            return;
        }
        sqlite3_close_v2(m_db);
        m_db = reopened;
    }

    QString m_path;
    sqlite3* m_db = nullptr;
};

} // namespace

std::unique_ptr<Engine> openSqlite(const QString& path) { return std::make_unique<SqliteEngine>(path); }

void createSqliteFile(const QString& path)
{
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    sqlite3* raw = nullptr;
    const QByteArray file = QFile::encodeName(path);
    int rc = sqlite3_open_v2(file.constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                             nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(raw, "PRAGMA user_version = 1", nullptr, nullptr, nullptr);
    QString why = raw ? QString::fromUtf8(sqlite3_errmsg(raw)) : QString();
    if (const int system = raw ? sqlite3_system_errno(raw) : 0)
        why += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(std::strerror(system)));
    sqlite3_close(raw);
    if (rc != SQLITE_OK)
        throw DbError(QStringLiteral("%1 cannot be created: %2").arg(shown, why));
}

sqlite3* sqliteHandle(Database& db)
{
    auto* engine = dynamic_cast<SqliteEngine*>(&db.engine());
    return engine ? engine->handle() : nullptr;
}

} // namespace velinor
