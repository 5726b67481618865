#pragma once

// The printed order/quotation ("DataReport9") and sales invoice
// ("DataReport8"): layouts on a centimetre grid over the data of their data
// environment. No widget code.

#include "reports/dataenvironment.h"
#include "reports/report.h"

namespace velinor::reports {

QString documentReportName(DocumentKind kind);

ReportDefinition documentReport(DocumentKind kind);

// The report of the kind's current data environment, laid out.
ReportDocument layoutDocument(const DataEnvironment& environment, const QLocale& locale = QLocale());

} // namespace velinor::reports
