#pragma once

#include <QString>

namespace velinor {

// Where the program proposes to write a file the user takes away (a PDF of
// a report, a FatturaPA file): the folder of the last such file written in
// this session while it still exists, otherwise the working folder, the
// one that holds the database. One rule for every save dialog.
QString exportFolder();
// Remembers the folder of a file just written, for the next proposal.
void rememberExportFolder(const QString& filePath);

// A name proposed for such a file: the title made safe as a file name (no
// folder separators or characters the usual file systems refuse), with
// the suffix, in the export folder.
QString proposedExportPath(const QString& title, const QString& suffix);

} // namespace velinor
