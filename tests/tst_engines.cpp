// Where the program finds its database, and a file moved onto a server.

#include "data/databasecopy.h"
#include "data/schema.h"
#include "tests/support.h"
#include "tools/demodata.h"

#include <QFile>
#include <QUrl>

using namespace velinor;
using namespace velinor::test;

class EnginesTest : public QObject {
    Q_OBJECT

private slots:
    void locationOrder_data()
    {
        QTest::addColumn<QString>("env");
        QTest::addColumn<QString>("conf");
        QTest::addColumn<QString>("expected"); // "FILE": db1.mdb of the working folder
        const QString uri = "postgresql://velinor@db.example/shop";
        QTest::newRow("nothing set") << "" << "" << "FILE";
        QTest::newRow("conf") << "" << "[database]\nurl=" + uri + "\n" << uri;
        QTest::newRow("conf quoted, comments, other sections")
            << "" << "; the office\n[print]\nurl=nothing\n[Database]\n# here\n url = \"" + uri + "\"\n" << uri;
        QTest::newRow("conf without url") << "" << "[database]\nhost=x\n" << "FILE";
        QTest::newRow("environment before conf") << "other.mdb" << "[database]\nurl=" + uri << "other.mdb";
    }
    void locationOrder()
    {
        QFETCH(QString, env);
        QFETCH(QString, conf);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        const QByteArray saved = qgetenv("VELINOR_DATABASE");
        QDir::setCurrent(dir.path());
        if (!conf.isEmpty()) {
            QFile f("velinor.conf");
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(conf.toUtf8());
        }
        qputenv("VELINOR_DATABASE", env.toUtf8());
        const QString found = Database::location();
        const bool server = Database::isServerLocation(found);
        QDir::setCurrent(previous);
        qputenv("VELINOR_DATABASE", saved);
        QCOMPARE(found, expected == "FILE" ? QDir(dir.path()).absoluteFilePath("db1.mdb") : expected);
        QCOMPARE(server, expected.startsWith("postgresql://"));
    }

    // The screens' connection: a file's closes with its last user, a
    // server's stays for the session and is opened anew once lost.
    void sharedConnection()
    {
        TempDatabase db;
        std::weak_ptr<Database> first = Database::shared();
        if (!TempDatabase::onServer()) {
            QVERIFY(first.expired());
            return;
        }
        QVERIFY(!first.expired());
        auto held = first.lock();
        const QVariant pid = held->scalar("SELECT pg_backend_pid()");
        Database(TempDatabase::serverUri()).exec("SELECT pg_terminate_backend(?)", {pid});
        QVERIFY_THROWS_EXCEPTION(DbError, held->scalar("SELECT 1"));
        held.reset();
        QCOMPARE(Database::shared()->scalar("SELECT count(*) FROM Ydummy").toInt(), 1);
        QVERIFY(Database::shared()->scalar("SELECT pg_backend_pid()") != pid);
    }

    // velinor-initdb --copy: every table of a file arrives on the server,
    // counted; a database that holds the tables already is refused whole.
    void fileCopiedToServer()
    {
        if (TempDatabase::serverUri().isEmpty())
            QSKIP("no database server was started (VELINOR_TEST_SERVER is unset)");
        TempDatabase file; // on the server when run as the server variant: any source will do
        demo::fill(file.db());
        const QString name = QString("velinor_copy_%1").arg(QCoreApplication::applicationPid());
        {
            Database admin(TempDatabase::serverUri());
            admin.exec(QString("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
            admin.exec(QString("CREATE DATABASE %1").arg(name));
        }
        QUrl url(TempDatabase::serverUri());
        url.setPath('/' + name);
        {
            Database server(url.toString());
            createServerSchema(server);
            const QList<CopiedTable> copied = copyDatabase(file.db(), server);
            QCOMPARE(copied.size(), file.db().engine().tables().size());
            for (const CopiedTable& t : copied)
                QCOMPARE(t.rows, qint64(file.count(t.table)));
            QCOMPARE(server.scalar("SELECT sum(\"Totale Fattura\") FROM Fatture"),
                     file.scalar("SELECT sum(\"Totale Fattura\") FROM Fatture"));
            QCOMPARE(server.scalar("SELECT count(*) FROM DettaglioFatture WHERE \"Quantità\" = 100").toInt(), 1);
            QVERIFY_THROWS_EXCEPTION(DbError, createServerSchema(server));
            QCOMPARE(server.scalar("SELECT count(*) FROM Ydummy").toInt(), 1);
        }
        Database(TempDatabase::serverUri()).exec(QString("DROP DATABASE %1 WITH (FORCE)").arg(name));
    }
};

QTEST_GUILESS_MAIN(EnginesTest)
#include "tst_engines.moc"
