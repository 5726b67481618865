#include "data/copyowner.h"

#include "data/database.h"
#include "data/schema.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

#include <memory>

namespace velinor::copyowner {

namespace {

constexpr int mostSlots = 999;

struct Claim {
    QString owner;
    std::unique_ptr<QLockFile> lock;
};

Claim& current()
{
    static Claim claim;
    return claim;
}

QString accountName()
{
    for (const char* name : {"USER", "LOGNAME", "USERNAME"}) {
        const QString user = qEnvironmentVariable(name);
        if (!user.isEmpty())
            return user;
    }
    return QStringLiteral("user");
}

// Named for the database, the desk, the user and the slot; hashed, since a
// user name may hold anything a file name may not.
QString lockPath(const QString& databasePath, const QString& host, const QString& user, int slot)
{
    // A server is named by its URI wherever the desk's working folder is.
    const QString database = Database::isServerLocation(databasePath)
                                 ? databasePath
                                 : QFileInfo(databasePath).absoluteFilePath();
    const QByteArray key = (database + u'\n' + host + u'\n' + user).toUtf8();
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
    return QDir(QDir::tempPath())
        .absoluteFilePath(QStringLiteral("velinor-%1-%2.lock").arg(hash).arg(slot));
}

} // namespace

QString field() { return QStringLiteral("Owner"); }

void claim(const QString& user, const QString& databasePath)
{
    release();
    const QString host = QSysInfo::machineHostName();
    Claim& c = current();
    for (int slot = 1; slot <= mostSlots; ++slot) {
        auto lock = std::make_unique<QLockFile>(lockPath(databasePath, host, user, slot));
        // Held for as long as the copy runs: never stale by age, only when
        // the copy that took it is gone.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            c.owner = QStringLiteral("%1@%2#%3").arg(user, host).arg(slot);
            c.lock = std::move(lock);
            return;
        }
        if (lock->error() != QLockFile::LockFailedError)
            break; // no folder for lock files: slot numbers cannot be kept
    }
    // Still apart from every other copy, though a crash's lines then stay
    // with the copy that left them.
    c.owner = QStringLiteral("%1@%2#p%3").arg(user, host).arg(QCoreApplication::applicationPid());
}

QString text()
{
    if (current().owner.isEmpty())
        claim(accountName(), Database::location());
    return current().owner;
}

void release()
{
    Claim& c = current();
    c.lock.reset(); // unlocks and removes the lock file
    c.owner.clear();
}

bool hasField(Database& db, const QString& table)
{
    return db.engine().fields(table).contains(field(), Qt::CaseInsensitive);
}

Condition rowsOf(Database& db, const QString& table, const QString& qualifier)
{
    if (!hasField(db, table))
        return {QStringLiteral("1 = 1"), {}};
    return {QStringLiteral("%1\"%2\" = ?").arg(qualifier, field()), {text()}};
}

} // namespace velinor::copyowner
