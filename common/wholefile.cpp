#include "common/wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace velinor {

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QString writeWholeFile(const QString& path, const QByteArray& data)
{
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("it is a folder");
    if (info.exists() && !info.isFile())
        return QStringLiteral("it is not a regular file");
    if (!info.dir().exists())
        return QStringLiteral("the folder %1 does not exist")
            .arg(QDir::toNativeSeparators(info.absolutePath()));
    // A short name of its own: the final name may already be as long as
    // the system allows.
    QTemporaryFile temp(info.dir().absoluteFilePath(QStringLiteral(".velinor-XXXXXX")));
    errno = 0;
    if (!temp.open())
        return errno ? systemError(errno) : temp.errorString();
    const int fd = temp.handle();
    const char* p = data.constData();
    qint64 left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return systemError(n < 0 ? errno : ENOSPC);
        p += n;
        left -= n;
    }
    // Space a filesystem only promised shows as missing here.
    if (::fsync(fd) != 0)
        return systemError(errno);
    temp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                        | QFileDevice::ReadOther);
    if (std::rename(QFile::encodeName(temp.fileName()).constData(),
                    QFile::encodeName(info.absoluteFilePath()).constData())
        != 0)
        return systemError(errno);
    temp.setAutoRemove(false);
    return {};
}

} // namespace velinor
