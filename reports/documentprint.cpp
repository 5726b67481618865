#include "reports/documentprint.h"

#include "reports/documentreport.h"
#include "reports/reportwindow.h"

#include <QDate>

namespace velinor::reports {

namespace {

// "Fattura 12 2026-12-09": invoice numbers start again each year, so the
// day tells two of one number apart; an order's code is its own.
QString fileTitle(const DataEnvironment& environment)
{
    const bool invoice = environment.kind() == DocumentKind::Invoice;
    const ReportRows& rows = environment.command1().rows;
    const int key = rows.fieldIndex(invoice ? QStringLiteral("Ydummy.Order Code")
                                            : QStringLiteral("Ydummy.Numero Ordine"));
    const QString number = rows.size() > 0 && key >= 0 ? rows.values.front().at(key).toString()
                                                       : QString();
    if (invoice)
        return QStringLiteral("Fattura %1 %2")
            .arg(number, QDate::currentDate().toString(Qt::ISODate))
            .simplified();
    return QStringLiteral("Ordine %1").arg(number).trimmed();
}

} // namespace

ReportWindow* printDocument(DocumentKind kind, Database& db)
{
    const DataEnvironment& environment = DataEnvironment::renew(db, kind);
    ReportDocument document = layoutDocument(environment);
    document.fileTitle = fileTitle(environment);
    return ReportWindow::open(std::move(document));
}

} // namespace velinor::reports
