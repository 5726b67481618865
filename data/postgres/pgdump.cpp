#include "data/postgres/pgdump.h"

#include "data/database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace velinor {

namespace {

QString pgDumpFor(Database& db)
{
    const int major = db.scalar(QStringLiteral("SELECT current_setting('server_version_num')::int / 10000"))
                          .toInt();
    const QString own = QStringLiteral("/usr/lib/postgresql/%1/bin/pg_dump").arg(major);
    if (QFileInfo(own).isExecutable())
        return own;
    const QString found = QStandardPaths::findExecutable(QStringLiteral("pg_dump"));
    if (found.isEmpty())
        throw DbError(QStringLiteral("pg_dump was not found; install the PostgreSQL client of "
                                     "the server's version (postgresql-client-%1)")
                          .arg(major));
    return found;
}

} // namespace

qint64 dumpServerDatabase(const QString& uri, const QString& target)
{
    Database db(uri); // says clearly when the server cannot be reached
    const QString program = pgDumpFor(db);
    const QFileInfo info(target);
    const QString partial = QDir(info.absolutePath()).filePath(QStringLiteral(".%1.partial").arg(info.fileName()));
    QProcess dump;
    dump.setProcessChannelMode(QProcess::SeparateChannels);
    dump.start(program, {QStringLiteral("--format=custom"), QStringLiteral("--no-owner"),
                         QStringLiteral("--file=") + partial, QStringLiteral("--dbname=") + uri});
    const bool ran = dump.waitForFinished(-1);
    if (!ran || dump.exitStatus() != QProcess::NormalExit || dump.exitCode() != 0) {
        QFile::remove(partial);
        const QString said = QString::fromLocal8Bit(dump.readAllStandardError()).trimmed();
        throw DbError(QStringLiteral("pg_dump failed: %1").arg(said.isEmpty() ? dump.errorString() : said));
    }
    QFile::remove(info.absoluteFilePath());
    if (!QFile::rename(partial, info.absoluteFilePath())) {
        QFile::remove(partial);
        throw DbError(QStringLiteral("%1 cannot be written").arg(QDir::toNativeSeparators(target)));
    }
    return QFileInfo(info.absoluteFilePath()).size();
}

} // namespace velinor
