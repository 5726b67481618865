#include "einvoice/export.h"

#include "common/wholefile.h"
#include "data/database.h"
#include "einvoice/store.h"

#include <QDir>
#include <QFile>

namespace velinor::einvoice {

Prepared prepareExport(Database& db, int invoiceNumber)
{
    Prepared p;
    const QStringList missing = missingForExport(db);
    if (!missing.isEmpty()) {
        p.needsUpgrade = true;
        p.refusal = upgradeAdvice(db.path(), missing);
        return p;
    }
    const auto invoice = loadInvoice(db, invoiceNumber);
    if (!invoice) {
        p.refusal = QStringLiteral("There is no saved invoice number %1.").arg(invoiceNumber);
        return p;
    }
    p.doc.invoice = *invoice;
    p.doc.company = loadCompany(db);
    const CustomerMatch match = findCustomer(db, *invoice);
    Problems problems;
    if (match.customer) {
        p.doc.customer = *match.customer;
        problems = checkDocument(p.doc, p.figures);
    } else {
        problems.company = companyProblems(p.doc.company);
        problems.customer << match.problem;
        problems.invoice = invoiceProblems(p.doc.invoice, p.figures);
    }
    if (!problems.isEmpty()) {
        p.companyIncomplete = !problems.company.isEmpty();
        p.refusal = problems.message(invoiceNumber);
    }
    return p;
}

void writeExport(Database& db, const Prepared& prepared, int progressive, const QString& path)
{
    if (progressive > 99999)
        throw DbError(QStringLiteral("the five-digit file numbers are used up"));
    const QByteArray xml = writeFatturaPA(prepared.doc, prepared.figures, progressiveText(progressive));
    // The number is taken together with the file: one written whole, or
    // neither.
    Transaction tx(db);
    takeProgressive(db, progressive);
    const QString why = writeWholeFile(path, xml);
    if (!why.isEmpty())
        throw DbError(QStringLiteral("%1 cannot be written: %2")
                          .arg(QDir::toNativeSeparators(path), why));
    try {
        tx.commit();
    } catch (const DbError&) {
        QFile::remove(path);
        throw;
    }
}

} // namespace velinor::einvoice
