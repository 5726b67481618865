#pragma once

#include "einvoice/invoicedata.h"
#include "reports/report.h"

class QWidget;

namespace velinor {
class DataSource;
}

namespace velinor::reports {

// Prints a screen's list through its report ("DataReport1" articles,
// "DataReport4" customers, "DataReport5" statistics): the report shows the
// rows the screen's source holds, in its order, without reading the
// database again; the screen is disabled while the report window is open and
// restarted when it closes. A screen closed meanwhile closes its report.
void printList(const QString& reportName, DataSource& source, QWidget* screen);

// The rows of a source as it shows them: every field's display text.
ReportRows rowsOf(const DataSource& source);

// The definition of one of the three list reports, headed by the company's
// name and address ("(COMPANY NAME)" and "(Address)" while it has none).
ReportDefinition listReport(const QString& reportName, const einvoice::Company& company = {});

} // namespace velinor::reports
