#pragma once

#include <QDate>
#include <QString>

namespace velinor {

// The name a copy of the day's data is proposed under: db1-YYYY-MM-DD.mdb,
// or velinor-YYYY-MM-DD.dump for a server database.
QString backupFileName(const QDate& day = QDate::currentDate(), bool server = false);

// Where a copy asked for at `destination` goes: that file, or a file named
// backupFileName() inside it when it is a folder.
QString backupTarget(const QString& destination, bool server = false);

struct BackupResult {
    QString path; // absolute path of the copy
    qint64 bytes = 0;
};

// Copies the database file at `source` to `target` with SQLite's online
// backup, so the copy holds exactly the committed data even while another
// connection writes. The copy is made in a temporary file beside the target,
// checked with PRAGMA integrity_check, and only then renamed over the target
// (an existing file there is replaced). Throws DbError, leaving nothing
// behind, when the source is missing or not a database, the target is the
// source itself, or the copy cannot be written or fails its check.
// A server database (a postgresql:// source) is written by pg_dump as a
// custom-format archive instead.
BackupResult backupDatabase(const QString& source, const QString& target);

} // namespace velinor
