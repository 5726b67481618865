// velinor-initdb [--demo | --seed] [--force] [PATH]: creates the database
// file the program opens (it never creates one itself): empty, with sample
// data, or with what a new business starts from (VAT rates and units).
// velinor-initdb [--demo | --seed] URI: the same tables in an empty database
// on a server. velinor-initdb --copy FILE URI: a file's rows into an empty
// server database, every table counted on both sides. velinor-initdb
// --upgrade [PATH|URI]: adds what newer versions keep beside the older tables.

#include "data/database.h"
#include "data/databasecopy.h"
#include "data/schema.h"
#include "data/schemaupgrade.h"
#include "tools/demodata.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <exception>
#include <functional>

using namespace velinor;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velinor-initdb"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Creates an empty Velinor database file, or one with demo data, or "
                       "upgrades an existing one."));
    parser.addHelpOption();
    const QCommandLineOption demoOption(QStringLiteral("demo"),
                                        QStringLiteral("Fill in sample customers, articles and "
                                                       "accounts."));
    const QCommandLineOption seedOption(QStringLiteral("seed"),
                                        QStringLiteral("Fill in the Italian VAT rates and the common "
                                                       "units of measure, nothing else."));
    const QCommandLineOption forceOption(QStringLiteral("force"),
                                         QStringLiteral("Replace the file if it exists."));
    const QCommandLineOption upgradeOption(
        QStringLiteral("upgrade"),
        QStringLiteral("Add to an existing file the tables, fields and indexes it lacks, "
                       "without changing its rows."));
    const QCommandLineOption copyOption(
        QStringLiteral("copy"),
        QStringLiteral("Copy the database file FILE into the empty server database URI."),
        QStringLiteral("FILE"));
    parser.addOption(demoOption);
    parser.addOption(seedOption);
    parser.addOption(forceOption);
    parser.addOption(upgradeOption);
    parser.addOption(copyOption);
    parser.addPositionalArgument(QStringLiteral("PATH|URI"),
                                 QStringLiteral("The file to create or upgrade (default: db1.mdb "
                                                "here), or a postgresql:// URI naming a database "
                                                "on a server."),
                                 QStringLiteral("[PATH|URI]"));
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);

    const QStringList args = parser.positionalArguments();
    if (args.size() > 1) {
        err << "velinor-initdb: only one PATH may be given.\n" << parser.helpText();
        return 1;
    }
    const QString path = args.isEmpty() ? QStringLiteral("db1.mdb") : args.first();
    const bool server = Database::isServerLocation(path);
    const QString shown = server ? path : QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (parser.isSet(copyOption) && (!server || parser.isSet(upgradeOption) || parser.isSet(demoOption))) {
        err << "velinor-initdb: --copy FILE takes a postgresql:// URI and neither --demo nor "
               "--upgrade.\n";
        return 1;
    }
    if (server && parser.isSet(forceOption)) {
        err << "velinor-initdb: --force replaces files only; empty a server database with its "
               "own tools (dropdb, createdb).\n";
        return 1;
    }

    if (parser.isSet(demoOption) && parser.isSet(seedOption)) {
        err << "velinor-initdb: --demo and --seed cannot be given together.\n";
        return 1;
    }
    if (parser.isSet(upgradeOption)) {
        if (parser.isSet(demoOption) || parser.isSet(seedOption) || parser.isSet(forceOption)) {
            err << "velinor-initdb: --upgrade changes an existing file and takes none of "
                   "--demo, --seed and --force.\n";
            return 1;
        }
        try {
            Database db(path);
            const QStringList added = upgradeSchema(db);
            if (added.isEmpty()) {
                out << shown << " is up to date; nothing was added.\n";
            } else {
                out << "Upgraded " << shown << ", added:\n";
                for (const QString& item : added)
                    out << "  " << item << '\n';
            }
        } catch (const DbError& e) {
            err << "velinor-initdb: " << shown << " was not upgraded: " << e.text() << '\n';
            return 1;
        }
        return 0;
    }

    // The demo data, or the seed, go in before the file takes its name: a
    // creation that fails half-way leaves nothing that would pass for a
    // finished file.
    std::function<void(Database&)> fill;
    if (parser.isSet(demoOption) || parser.isSet(seedOption)) {
        const bool demoData = parser.isSet(demoOption);
        fill = [demoData](Database& db) {
            const QString what = demoData ? QStringLiteral("demo data")
                                          : QStringLiteral("the VAT rates and units");
            try {
                if (demoData)
                    demo::fill(db);
                else
                    demo::seed(db);
            } catch (const DbError& e) {
                throw DbError(what + QStringLiteral(" could not be written: ") + e.text());
            } catch (const std::exception& e) {
                throw DbError(what + QStringLiteral(" could not be written: ")
                              + QString::fromLocal8Bit(e.what()));
            }
        };
    }
    if (server) {
        try {
            Database db(path);
            if (parser.isSet(copyOption)) {
                Database file(parser.value(copyOption));
                // Tables and rows together: a failed copy leaves the database empty.
                Transaction tx(db);
                createServerSchema(db);
                const QList<CopiedTable> copied = copyDatabase(file, db);
                tx.commit();
                out << "Created the tables in " << shown << "; copied from "
                    << QDir::toNativeSeparators(file.path()) << ":\n";
                for (const CopiedTable& t : copied)
                    out << "  " << t.table << ": " << t.rows << " rows, all arrived\n";
                return 0;
            }
            Transaction tx(db);
            createServerSchema(db);
            if (fill)
                fill(db);
            tx.commit();
        } catch (const DbError& e) {
            err << "velinor-initdb: " << shown << ": " << e.text() << '\n';
            return 1;
        }
        out << "Created the tables in " << shown
            << (parser.isSet(demoOption)   ? " with demo data.\n"
                : parser.isSet(seedOption) ? " with the VAT rates and units.\n"
                                           : ".\n");
        return 0;
    }

    try {
        createDatabaseFile(path, parser.isSet(forceOption), fill);
    } catch (const DbError& e) {
        err << "velinor-initdb: " << e.text() << '\n';
        return 1;
    } catch (const std::exception& e) {
        err << "velinor-initdb: " << e.what() << '\n';
        return 1;
    }

    if (parser.isSet(seedOption)) {
        out << "Created " << shown << " with the VAT rates 22, 10, 5, 4 and the units pz, kg, m, "
               "l, conf.\n";
    } else if (parser.isSet(demoOption)) {
        out << "Created " << shown << " with demo data.\n";
        out << "Accounts:\n";
        for (const demo::Login& login : demo::logins())
            out << "  user " << login.user << "  password " << login.password << '\n';
    } else {
        out << "Created empty database " << shown << ".\n";
    }
    return 0;
}
