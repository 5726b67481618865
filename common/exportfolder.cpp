#include "common/exportfolder.h"

#include <QDir>
#include <QFileInfo>

namespace velinor {

namespace {

QString& lastFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString exportFolder()
{
    // A folder that has gone since (a removed stick) is not proposed.
    const QString last = lastFolder();
    return !last.isEmpty() && QDir(last).exists() ? last : QDir::currentPath();
}

void rememberExportFolder(const QString& filePath)
{
    lastFolder() = QFileInfo(filePath).absolutePath();
}

QString proposedExportPath(const QString& title, const QString& suffix)
{
    QString name = title.trimmed();
    for (QChar& c : name)
        if (c == u'/' || c == u'\\' || c == u':' || c == u'*' || c == u'?' || c == u'"'
            || c == u'<' || c == u'>' || c == u'|' || c.category() == QChar::Other_Control)
            c = u'_';
    return QDir(exportFolder()).absoluteFilePath(name + u'.' + suffix);
}

} // namespace velinor
