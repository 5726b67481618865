#pragma once

// The printed order/quotation ("DataReport9") and sales invoice
// ("DataReport8"): layouts on a centimetre grid over the data of their data
// environment. No widget code.

#include "reports/dataenvironment.h"
#include "reports/report.h"

namespace velinor::reports {

QString documentReportName(DocumentKind kind);

// With the seller above the title and, under the lines, the document's
// totals by VAT rate, written in the locale.
ReportDefinition documentReport(DocumentKind kind, const einvoice::Company& seller = {},
                                const einvoice::VatTotals& totals = {}, const QLocale& locale = QLocale());

// The report of the kind's current data environment, laid out.
ReportDocument layoutDocument(const DataEnvironment& environment, const QLocale& locale = QLocale());

} // namespace velinor::reports
