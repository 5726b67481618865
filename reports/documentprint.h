#pragma once

#include "reports/dataenvironment.h"

namespace velinor {
class Database;
}

namespace velinor::reports {

class ReportWindow;

// "Stampa" of a document screen: renews the kind's data environment, which
// reads the print selection now, and shows its report in the report's window,
// non-modal; a window still open shows the new selection. Throws DbError
// when the database cannot be read, and the open window stays as it was.
ReportWindow* printDocument(DocumentKind kind, Database& db);

} // namespace velinor::reports
