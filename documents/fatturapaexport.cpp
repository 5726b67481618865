#include "documents/fatturapaexport.h"

#include "app/navigation.h"
#include "common/exportfolder.h"
#include "common/messagebox.h"
#include "data/database.h"
#include "einvoice/export.h"
#include "einvoice/store.h"

#include <QDir>
#include <QFileDialog>

namespace velinor {

namespace {

SaveDialogHook& saveHook()
{
    static SaveDialogHook hook;
    return hook;
}

QString askForFile(QWidget* screen, const QString& proposed)
{
    if (saveHook())
        return saveHook()(proposed);
    return QFileDialog::getSaveFileName(screen, QStringLiteral("Save the FatturaPA file"), proposed,
                                        QStringLiteral("FatturaPA (*.xml)"));
}

} // namespace

void setSaveDialogHook(SaveDialogHook hook) { saveHook() = std::move(hook); }

void openCompanyData() { nav::show(QStringLiteral("frmAzienda")); }

void exportFatturaPA(QWidget* screen, const QString& invoiceNumber)
{
    bool ok = false;
    const int number = invoiceNumber.trimmed().toInt(&ok);
    if (!ok || number <= 0) {
        msg::critical(screen, QStringLiteral("Pick a saved invoice in the archive list first."));
        return;
    }
    const QString operation = QStringLiteral("Exporting invoice %1 as FatturaPA").arg(number);
    try {
        const auto db = Database::shared();
        const einvoice::Prepared prepared = einvoice::prepareExport(*db, number);
        if (!prepared.refusal.isEmpty()) {
            msg::critical(screen, prepared.refusal);
            if (prepared.companyIncomplete)
                openCompanyData();
            return;
        }
        if (prepared.earlier && !msg::ask(screen, einvoice::exportAgainQuestion(prepared)))
            return;
        const int progressive =
            einvoice::nextProgressive(*db, prepared.doc.company, QDir(exportFolder()));
        const QString proposed =
            QDir(exportFolder()).absoluteFilePath(einvoice::fileName(prepared.doc.company, progressive));
        const QString path = askForFile(screen, proposed);
        if (path.isEmpty())
            return; // cancelled: the number stays free
        einvoice::writeExport(*db, prepared, progressive, path);
        rememberExportFolder(path);
        QString written = QStringLiteral("Invoice %1 was written to %2.")
                              .arg(number)
                              .arg(QDir::toNativeSeparators(path));
        if (!prepared.notice.isEmpty())
            written += QStringLiteral("\n\n") + prepared.notice;
        msg::information(screen, written);
    } catch (const DbError& e) {
        msg::failed(screen, operation, e.text());
    }
}

} // namespace velinor
