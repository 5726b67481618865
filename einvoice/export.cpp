#include "einvoice/export.h"

#include "common/wholefile.h"
#include "data/database.h"
#include "einvoice/store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
        p.doc.customer = withoutCountryPrefix(*match.customer);
        problems = checkDocument(p.doc, p.figures);
    } else {
        problems.company = companyProblems(p.doc.company);
        problems.customer << match.problem;
        problems.invoice = invoiceProblems(p.doc.invoice, p.figures);
    }
    if (!problems.isEmpty()) {
        p.companyIncomplete = !problems.company.isEmpty();
        p.refusal = problems.message(invoiceNumber);
        return p;
    }
    p.notice = deliveryNotice(p.doc.customer);
    p.earlier = standingSending(db, invoiceNumber);
    return p;
}

QString exportAgainQuestion(const Prepared& p)
{
    if (!p.earlier)
        return {};
    return QStringLiteral("Invoice %1 was already exported as %2 (%3). A second file of the "
                          "same invoice is rejected once the first is accepted. Export it "
                          "again under a new file number?")
        .arg(p.doc.invoice.number)
        .arg(p.earlier->fileName, p.earlier->state);
}

void writeExport(Database& db, const Prepared& prepared, int progressive, const QString& path)
{
    if (progressive > 99999)
        throw DbError(QStringLiteral("the five-digit file numbers are used up"));
    const QString shown = QDir::toNativeSeparators(path);
    // The number is taken together with the file and its line in the log:
    // one written whole, or none of them.
    Transaction tx(db);
    takeProgressive(db, progressive);
    if (QFileInfo::exists(path)) {
        tx.commit(); // that file has the number already
        throw DbError(QStringLiteral("%1 already exists: a file of that number was written "
                                     "before (perhaps before a backup was restored). Export "
                                     "again: the next number will be used")
                          .arg(shown));
    }
    recordSending(db, {prepared.doc.invoice.number, progressive, QFileInfo(path).fileName(), {},
                       state::written, {}});
    const QByteArray xml = writeFatturaPA(prepared.doc, prepared.figures, progressiveText(progressive));
    const QString why = writeWholeFile(path, xml);
    if (!why.isEmpty())
        throw DbError(QStringLiteral("%1 cannot be written: %2").arg(shown, why));
    try {
        tx.commit();
    } catch (const DbError&) {
        QFile::remove(path);
        throw;
    }
}

} // namespace velinor::einvoice
