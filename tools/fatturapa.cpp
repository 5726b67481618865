// velinor-fatturapa [--db PATH] [--out DIR] [--again] NUMBER...: writes the
// FatturaPA file of each named saved invoice, without a display. Prints the
// path of every file written; one line on standard error for each invoice
// that could not be exported, and then exits with 1. Notes for the user
// (a paper copy due) go to standard error too, without changing the exit.
// velinor-fatturapa [--db PATH] --receipt FILE...: reads the exchange
// system's notifications into the sending log, a line for each.

#include "data/database.h"
#include "einvoice/export.h"
#include "einvoice/receipt.h"
#include "einvoice/store.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

using namespace velinor;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velinor-fatturapa"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes the FatturaPA electronic invoice of saved invoices."));
    parser.addHelpOption();
    const QCommandLineOption dbOption(
        QStringLiteral("db"),
        QStringLiteral("The database: a file or a postgresql:// URI (default: $VELINOR_DATABASE, "
                       "velinor.conf, db1.mdb here)."),
        QStringLiteral("PATH|URI"));
    const QCommandLineOption outOption(QStringLiteral("out"),
                                       QStringLiteral("The folder for the files (default: here)."),
                                       QStringLiteral("DIR"), QStringLiteral("."));
    const QCommandLineOption againOption(
        QStringLiteral("again"),
        QStringLiteral("Export invoices already exported once more, under new file numbers."));
    const QCommandLineOption receiptOption(
        QStringLiteral("receipt"),
        QStringLiteral("Read the exchange system's notifications named instead of exporting."));
    parser.addOption(dbOption);
    parser.addOption(outOption);
    parser.addOption(againOption);
    parser.addOption(receiptOption);
    parser.addPositionalArgument(QStringLiteral("NUMBER"),
                                 QStringLiteral("Invoice numbers to export (with --receipt: "
                                                "notification files)."),
                                 QStringLiteral("NUMBER..."));
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList numbers = parser.positionalArguments();
    if (numbers.isEmpty()) {
        err << "velinor-fatturapa: name at least one "
            << (parser.isSet(receiptOption) ? "notification file" : "invoice number") << ".\n"
            << parser.helpText();
        return 2;
    }
    const QDir outDir(parser.value(outOption));
    const QFileInfo outInfo(outDir.path());
    if (outInfo.exists() && !outInfo.isDir()) {
        err << "velinor-fatturapa: " << QDir::toNativeSeparators(outDir.path())
            << " is a file, not a folder.\n";
        return 2;
    }
    if (!outInfo.exists()) {
        err << "velinor-fatturapa: the folder " << QDir::toNativeSeparators(outDir.path())
            << " does not exist.\n";
        return 2;
    }

    std::unique_ptr<Database> db;
    try {
        db = std::make_unique<Database>(parser.isSet(dbOption) ? parser.value(dbOption)
                                                               : Database::location());
    } catch (const DbError& e) {
        err << "velinor-fatturapa: " << e.text() << '\n';
        return 2;
    }

    int failures = 0;
    if (parser.isSet(receiptOption)) {
        for (const QString& path : numbers) {
            try {
                bool ok = false;
                const QString line = einvoice::applyReceiptFile(*db, path, &ok);
                (ok ? out : err) << (ok ? "" : "velinor-fatturapa: ") << line << '\n';
                failures += ok ? 0 : 1;
            } catch (const DbError& e) {
                err << "velinor-fatturapa: " << path << " was not recorded: " << e.text() << '\n';
                ++failures;
            }
        }
        return failures ? 1 : 0;
    }
    for (const QString& text : numbers) {
        bool ok = false;
        const int number = text.toInt(&ok);
        if (!ok || number <= 0) {
            err << "velinor-fatturapa: " << text << ": not an invoice number.\n";
            ++failures;
            continue;
        }
        try {
            const einvoice::Prepared p = einvoice::prepareExport(*db, number);
            if (!p.refusal.isEmpty()) {
                // One line per invoice: the problems joined.
                QString line = p.refusal;
                line.replace(QStringLiteral("\n\n"), QStringLiteral(" "));
                line.replace(QLatin1Char('\n'), QLatin1Char(' '));
                err << "velinor-fatturapa: " << line << '\n';
                ++failures;
                continue;
            }
            if (p.earlier && !parser.isSet(againOption)) {
                err << "velinor-fatturapa: invoice " << number << " was already exported as "
                    << p.earlier->fileName << " (" << p.earlier->state
                    << "); give --again to export it under a new file number.\n";
                ++failures;
                continue;
            }
            const int progressive = einvoice::nextProgressive(*db, p.doc.company, outDir);
            const QString path =
                outDir.absoluteFilePath(einvoice::fileName(p.doc.company, progressive));
            einvoice::writeExport(*db, p, progressive, path);
            out << QDir::toNativeSeparators(path) << '\n';
            out.flush();
            if (!p.notice.isEmpty())
                err << "velinor-fatturapa: note: " << p.notice << '\n';
        } catch (const DbError& e) {
            err << "velinor-fatturapa: invoice " << number << " was not exported: " << e.text()
                << '\n';
            ++failures;
        }
    }
    return failures ? 1 : 0;
}
