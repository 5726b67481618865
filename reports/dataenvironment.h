#pragma once

// The data of the two printed documents, read from the print selection (the
// one row of Ydummy): the document with its customer as parent rows, its
// saved lines as child rows. QtCore and the data layer only.

#include "einvoice/invoicedata.h"
#include "einvoice/vattotals.h"
#include "reports/report.h"

#include <QVariantList>

namespace velinor {
class Database;
}

namespace velinor::reports {

enum class DocumentKind { Order, Invoice };

// "DE9" (orders/quotations) or "DE8" (sales invoices). The database is read
// once, when the object is made: it holds the selection of that moment.
class DataEnvironment {
public:
    DataEnvironment(Database& db, DocumentKind kind);

    DocumentKind kind() const { return m_kind; }
    QString name() const;
    // Command1: one parent row per matching customer, DISTINCT; Command2:
    // the lines, DISTINCT, related to their parent.
    const ReportData& command1() const { return m_data; }
    // The seller, from Azienda (empty on an older file).
    const einvoice::Company& seller() const { return m_seller; }
    // The document's totals by VAT rate, of every saved line (the lines
    // print DISTINCT, the totals count each one).
    const einvoice::VatTotals& vatTotals() const { return m_vatTotals; }

    // The program-wide instance the document report is bound to.
    static const DataEnvironment* instance(DocumentKind kind);
    // Replaces it by a new instance that reads the database now. On a
    // database failure the previous instance stays and DbError is thrown.
    static const DataEnvironment& renew(Database& db, DocumentKind kind);

private:
    DocumentKind m_kind;
    ReportData m_data;
    einvoice::Company m_seller;
    einvoice::VatTotals m_vatTotals;
};

// The rows of a query. A column is named by its field, or "Table.Field" when
// another column of the query comes from a field of that name (names compared
// without regard to case), so that joined tables keep their own values.
ReportRows queryRows(Database& db, const QString& sql, const QVariantList& params = {});

} // namespace velinor::reports
