#include "data/backup.h"

#include "data/database.h"
#include "data/postgres/pgdump.h"
#include "data/sqlite/sqliteengine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace velinor {

namespace {

// Pages copied per step: between steps progress is told and a stop is
// heard. The source stays in one read transaction from the first step to
// the last, so a writer committing meanwhile never makes the copy start
// again: it ends in a time bounded by the file's size.
constexpr int pagesPerStep = 256;
constexpr int busyPauseMs = 100;
constexpr int busyRetries = 100;
constexpr int readAttempts = 10;

struct CloseConnection {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Connection = std::unique_ptr<sqlite3, CloseConnection>;

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString errorText(sqlite3* db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

bool sameFile(const QString& a, const QString& b)
{
    std::error_code ec;
    return std::filesystem::equivalent(QFile::encodeName(a).toStdString(),
                                       QFile::encodeName(b).toStdString(), ec);
}

// Holds the source in a read transaction while it lives.
class ReadTransaction {
public:
    // A writer committing every few milliseconds leaves a reader only short
    // gaps: a few more tries than the busy timeout gives.
    explicit ReadTransaction(Database& db) : m_db(db)
    {
        for (int attempt = 1;; ++attempt) {
            m_db.exec(QStringLiteral("BEGIN"));
            try {
                m_db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master")); // the read lock
                return;
            } catch (const DbError&) {
                end();
                if (attempt == readAttempts)
                    throw;
            }
        }
    }
    ~ReadTransaction() { end(); }
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

private:
    void end() { sqlite3_exec(sqliteHandle(m_db), "ROLLBACK", nullptr, nullptr, nullptr); }
    Database& m_db;
};

void copyPages(Database& source, sqlite3* dest, const BackupProgress& progress)
{
    const ReadTransaction reading(source);
    sqlite3_backup* backup = sqlite3_backup_init(dest, "main", sqliteHandle(source), "main");
    if (!backup)
        throw DbError(QStringLiteral("the copy cannot be started: %1").arg(errorText(dest)));
    int rc = SQLITE_OK;
    int busy = 0;
    bool stopped = false;
    while (true) {
        rc = sqlite3_backup_step(backup, pagesPerStep);
        if (rc == SQLITE_OK || rc == SQLITE_DONE) {
            busy = 0;
            const int total = sqlite3_backup_pagecount(backup);
            if (progress && !progress(total - sqlite3_backup_remaining(backup), total)) {
                stopped = true;
                break;
            }
            if (rc == SQLITE_DONE)
                break;
        } else if ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && ++busy <= busyRetries) {
            sqlite3_sleep(busyPauseMs);
        } else {
            break;
        }
    }
    sqlite3_backup_finish(backup);
    if (stopped)
        throw BackupStopped();
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
        throw DbError(QStringLiteral("the database file stayed locked by another program; "
                                     "try again in a moment"));
    if (rc != SQLITE_DONE) {
        QString why = QString::fromUtf8(sqlite3_errstr(rc));
        if (const int system = sqlite3_system_errno(dest))
            why += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(std::strerror(system)));
        throw DbError(QStringLiteral("the copy could not be written: %1").arg(why));
    }
}

// SQLite keeps files of these names beside a database and deletes or
// replays them when it opens it: a copy there would be lost, or worse.
bool sideFileName(const QString& name)
{
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        if (name.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return true;
    return false;
}

void checkCopy(sqlite3* copy)
{
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(copy, "PRAGMA integrity_check", -1, &raw, nullptr) != SQLITE_OK)
        throw DbError(QStringLiteral("the copy cannot be checked: %1").arg(errorText(copy)));
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> st(raw, sqlite3_finalize);
    QStringList problems;
    int rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW)
        problems << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(raw, 0)));
    if (rc != SQLITE_DONE)
        problems << errorText(copy);
    if (problems != QStringList{QStringLiteral("ok")})
        throw DbError(QStringLiteral("the copy failed its integrity check, so the database "
                                     "itself may be damaged: %1")
                          .arg(problems.mid(0, 3).join(QStringLiteral("; "))));
}

// A rename is only durable once its folder is written out.
void syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

QString backupFileName(const QDate& day, bool server)
{
    return server ? QStringLiteral("velinor-%1.dump").arg(day.toString(Qt::ISODate))
                  : QStringLiteral("db1-%1.mdb").arg(day.toString(Qt::ISODate));
}

QString backupTarget(const QString& destination, bool server)
{
    if (QFileInfo(destination).isDir())
        return QDir(destination).absoluteFilePath(backupFileName(QDate::currentDate(), server));
    return QFileInfo(destination).absoluteFilePath();
}

BackupStopped::BackupStopped() : DbError(QStringLiteral("the backup was stopped; no copy was written"))
{
}

BackupResult backupDatabase(const QString& source, const QString& target,
                            const BackupProgress& progress)
{
    if (Database::isServerLocation(source)) {
        if (QFileInfo(target).isDir())
            throw DbError(QStringLiteral("%1 is a folder").arg(shown(target)));
        const qint64 bytes = dumpServerDatabase(source, target);
        return {QFileInfo(target).absoluteFilePath(), bytes};
    }
    Database db(source); // refuses a missing file or one that is not a database
    const QFileInfo info(target);
    if (info.exists() && sameFile(db.path(), target))
        throw DbError(QStringLiteral("%1 is the database itself; choose another file for the copy")
                          .arg(shown(target)));
    if (info.isDir())
        throw DbError(QStringLiteral("%1 is a folder").arg(shown(target)));
    if (info.exists() && !info.isFile())
        throw DbError(QStringLiteral("%1 is neither a regular file nor a folder; choose a file "
                                     "or a folder for the copy")
                          .arg(shown(target)));
    if (sideFileName(info.fileName()))
        throw DbError(QStringLiteral("%1 ends like the files SQLite keeps beside a database, "
                                     "which it deletes; choose another name for the copy")
                          .arg(shown(target)));

    const QString folder = info.absolutePath();
    QTemporaryFile temp(QDir(folder).filePath(QStringLiteral(".%1.XXXXXX").arg(info.fileName())));
    if (!temp.open())
        throw DbError(QStringLiteral("the copy cannot be written in %1: %2")
                          .arg(QDir::toNativeSeparators(folder), temp.errorString()));
    temp.close();
    struct Journal {
        QString path;
        ~Journal() { QFile::remove(path); } // a copy stopped half-way may leave one
    } journal{temp.fileName() + QStringLiteral("-journal")};

    {
        sqlite3* raw = nullptr;
        const int rc = sqlite3_open_v2(QFile::encodeName(temp.fileName()).constData(), &raw,
                                       SQLITE_OPEN_READWRITE, nullptr);
        Connection copy(raw);
        if (rc != SQLITE_OK)
            throw DbError(QStringLiteral("the copy cannot be written in %1: %2")
                              .arg(QDir::toNativeSeparators(folder),
                                   raw ? errorText(raw) : QStringLiteral("out of memory")));
        copyPages(db, copy.get(), progress);
        // A copy of a write-ahead-log database would need its side files
        // again when opened; the copy stands alone in one file.
        if (sqlite3_exec(copy.get(), "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr)
            != SQLITE_OK)
            throw DbError(QStringLiteral("the copy could not be written: %1")
                              .arg(errorText(copy.get())));
        checkCopy(copy.get());
        // Stopped during the check: still nothing is left.
        if (progress && !progress(1, 1))
            throw BackupStopped();
    }

    if (std::rename(QFile::encodeName(temp.fileName()).constData(),
                    QFile::encodeName(info.absoluteFilePath()).constData())
        != 0)
        throw DbError(QStringLiteral("%1 cannot be written: %2")
                          .arg(shown(target), QString::fromLocal8Bit(std::strerror(errno))));
    temp.setAutoRemove(false);
    syncFolder(folder);
    return {info.absoluteFilePath(), QFileInfo(info.absoluteFilePath()).size()};
}

} // namespace velinor
