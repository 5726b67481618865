#pragma once

#include <QByteArray>
#include <QString>

namespace velinor {

// Writes data to the file at path whole or not at all: into a temporary
// file beside it, flushed to the disk, then renamed over it. On failure
// nothing is left behind and an existing file is as it was; the result
// then names the cause as the system gave it ("No space left on device").
// Empty on success.
QString writeWholeFile(const QString& path, const QByteArray& data);

// The system's words for errno, or for the given error number.
QString systemError(int error);

} // namespace velinor
