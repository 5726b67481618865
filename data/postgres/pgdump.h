#pragma once

#include <QString>

namespace velinor {

// Writes a pg_dump archive in custom format of the server database at uri
// to target (pg_restore brings it back). The pg_dump of the server's own
// major version is used when installed, as pg_dump refuses newer servers.
// The archive is written beside the target and renamed over it only when
// pg_dump succeeded. Returns its size; throws DbError with pg_dump's words.
qint64 dumpServerDatabase(const QString& uri, const QString& target);

} // namespace velinor
