// velinor-backup [--db PATH] [--force] DEST: a consistent copy of the
// database, safe to take while the program is working on it.

#include "data/backup.h"
#include "data/database.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTextStream>

#include <csignal>

using namespace velinor;

namespace {

volatile std::sig_atomic_t interrupted = 0;

void interrupt(int) { interrupted = 1; }

// Ctrl-C, or the system ending the tool: the copy stops at its next step
// and leaves nothing behind.
void stopOnSignals()
{
    struct sigaction action {};
    action.sa_handler = interrupt;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velinor-backup"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Copies a Velinor database, even while it is in use, and checks the copy."));
    parser.addHelpOption();
    const QCommandLineOption dbOption(
        QStringLiteral("db"), QStringLiteral("The database to copy: a file or a postgresql:// URI (default: "
                       "$VELINOR_DATABASE, velinor.conf, db1.mdb here)."),
        QStringLiteral("PATH|URI"));
    const QCommandLineOption forceOption(QStringLiteral("force"),
                                         QStringLiteral("Replace DEST if it exists."));
    parser.addOption(dbOption);
    parser.addOption(forceOption);
    parser.addPositionalArgument(
        QStringLiteral("DEST"),
        QStringLiteral("The file to write, or a folder to write db1-YYYY-MM-DD.mdb in."));
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);

    const QStringList args = parser.positionalArguments();
    if (args.size() != 1) {
        err << "velinor-backup: give exactly one DEST.\n" << parser.helpText();
        return 2;
    }
    const QString source =
        parser.isSet(dbOption) ? parser.value(dbOption) : Database::location();
    const QString target = backupTarget(args.first(), Database::isServerLocation(source));
    if (QFileInfo::exists(target) && !parser.isSet(forceOption)) {
        err << "velinor-backup: " << QDir::toNativeSeparators(target)
            << " already exists; use --force to replace it.\n";
        return 1;
    }

    stopOnSignals();
    try {
        const BackupResult copy =
            backupDatabase(source, target, [](int, int) { return interrupted == 0; });
        const QString size =
            QLocale::c().formattedDataSize(copy.bytes, 0, QLocale::DataSizeTraditionalFormat);
        if (Database::isServerLocation(source))
            out << "Wrote " << QDir::toNativeSeparators(copy.path) << " (" << size
                << "), a pg_dump archive; bring it back with pg_restore.\n";
        else
            out << "Wrote " << QDir::toNativeSeparators(copy.path) << " (" << size << "), a copy of "
                << QDir::toNativeSeparators(QFileInfo(source).absoluteFilePath())
                << "; integrity check: ok.\n";
    } catch (const BackupStopped& e) {
        err << "velinor-backup: " << e.text() << '\n';
        return 130;
    } catch (const DbError& e) {
        err << "velinor-backup: " << e.text() << '\n';
        return 1;
    }
    return 0;
}
