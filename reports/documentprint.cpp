#include "reports/documentprint.h"

#include "reports/documentreport.h"
#include "reports/reportwindow.h"

namespace velinor::reports {

ReportWindow* printDocument(DocumentKind kind, Database& db)
{
    return ReportWindow::open(layoutDocument(DataEnvironment::renew(db, kind)));
}

} // namespace velinor::reports
