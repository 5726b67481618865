#pragma once

#include "data/dberror.h"

#include <QDate>
#include <QString>

#include <functional>

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

// Told how many of the pages are copied; returning false stops the copy.
using BackupProgress = std::function<bool(int done, int total)>;

// What a stopped copy throws.
class BackupStopped : public DbError {
public:
    BackupStopped();
};

// Copies the database file at `source` to `target` with SQLite's online
// backup, so the copy holds exactly the committed data even while another
// connection writes. The copy is made in a temporary file beside the target,
// checked with PRAGMA integrity_check, and only then renamed over the target
// (an existing file there is replaced). The source is read in one read
// transaction, so a busy writer cannot keep the copy from ending. Throws
// DbError, leaving nothing behind, when the source is missing or not a
// database, the target is the source itself, not a regular file, or a name
// SQLite keeps beside a database, or the copy cannot be written, fails its
// check or is stopped (BackupStopped).
// A server database (a postgresql:// source) is written by pg_dump as a
// custom-format archive instead.
BackupResult backupDatabase(const QString& source, const QString& target,
                            const BackupProgress& progress = {});

} // namespace velinor
