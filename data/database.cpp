#include "data/database.h"

#include "common/numbertext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
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

} // namespace

// ---------------------------------------------------------------- Statement

Statement::Statement(Database& db, const QString& sql) : m_db(db)
{
    db.refreshAccess();
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db.handle(), utf8.constData(), static_cast<int>(utf8.size()), &m_stmt,
                           nullptr)
        != SQLITE_OK)
        db.fail();
}

Statement::~Statement() { sqlite3_finalize(m_stmt); }

void Statement::bind(int index, const QVariant& value)
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
            rc = sqlite3_bind_text(m_stmt, index, utf8.constData(), static_cast<int>(utf8.size()),
                                   SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK)
        m_db.fail();
}

void Statement::bindAll(const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values.at(i));
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    m_db.fail();
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int Statement::columnCount() const { return sqlite3_column_count(m_stmt); }

QString Statement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

QString Statement::declaredType(int column) const
{
    return QString::fromUtf8(sqlite3_column_decltype(m_stmt, column));
}

QVariant Statement::value(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(m_stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, column));
    case SQLITE_NULL:
        return QVariant();
    default:
        return QVariant(QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column)),
            sqlite3_column_bytes(m_stmt, column)));
    }
}

// ----------------------------------------------------------------- Database

QString Database::defaultPath() { return QDir::current().absoluteFilePath(QStringLiteral("db1.mdb")); }

Database::Database(const QString& path) : m_path(QFileInfo(path).absoluteFilePath())
{
    checkFile(m_path);
    m_db = openFile(m_path);
}

void Database::refreshAccess()
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

Database::~Database() { sqlite3_close_v2(m_db); }

std::shared_ptr<Database> Database::shared()
{
    static std::weak_ptr<Database> current;
    auto db = current.lock();
    if (!db || db->path() != QFileInfo(defaultPath()).absoluteFilePath()) {
        db = std::make_shared<Database>(defaultPath());
        current = db;
    }
    return db;
}

void Database::exec(const QString& sql, const QVariantList& params)
{
    Statement st(*this, sql);
    st.bindAll(params);
    while (st.step()) {
    }
}

QVariant Database::scalar(const QString& sql, const QVariantList& params)
{
    Statement st(*this, sql);
    st.bindAll(params);
    return st.step() ? st.value(0) : QVariant();
}

qint64 Database::lastInsertRowid() const { return sqlite3_last_insert_rowid(m_db); }

int Database::changes() const { return sqlite3_changes(m_db); }

QString Database::lastError() const { return sqliteText(m_db); }

void Database::fail() const
{
    QString text = lastError();
    switch (sqlite3_extended_errcode(m_db) & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        text = QStringLiteral("the database file is in use by another program (%1)").arg(text);
        break;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        // A change needs a journal beside the file: a folder that cannot
        // take one refuses changes to a file that could take them.
        if (QFileInfo(m_path).isWritable() && !QFileInfo(QFileInfo(m_path).absolutePath()).isWritable())
            text = QStringLiteral("the folder %1 that holds the database file is read-only, and "
                                  "a change needs room for a journal file beside it (%2)")
                       .arg(QDir::toNativeSeparators(QFileInfo(m_path).absolutePath()), text);
        else if ((sqlite3_extended_errcode(m_db) & 0xff) != SQLITE_CANTOPEN)
            text = QStringLiteral("the database file is read-only (%1)").arg(text);
        break;
    case SQLITE_IOERR:
    case SQLITE_FULL:
        // sqlite's "disk I/O error" says nothing a user can act on.
        if (const int system = sqlite3_system_errno(m_db))
            text = QStringLiteral("%1 (%2)").arg(text, QString::fromLocal8Bit(std::strerror(system)));
        break;
    default:
        break;
    }
    throw DbError(text);
}

// -------------------------------------------------------------- Transaction

Transaction::Transaction(Database& db) : m_db(db) { m_db.exec(QStringLiteral("SAVEPOINT velinor")); }

Transaction::~Transaction()
{
    if (m_done)
        return;
    // Never throws: a failed rollback leaves the savepoint for sqlite to undo.
    sqlite3_exec(m_db.handle(), "ROLLBACK TO velinor; RELEASE velinor", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    m_db.exec(QStringLiteral("RELEASE velinor"));
    m_done = true;
}

} // namespace velinor
