// Failures are reported as failures and leave nothing behind: the FatturaPA
// export, the backup and the creation of a file on a disk that refuses
// writes, a backup beside a busy writer, and a backup that is interrupted.
// A file size limit (RLIMIT_FSIZE) stands in for a full disk: writes past it
// fail, as they would with no space left.

#include "app/navigation.h"
#include "data/backup.h"
#include "documents/fatturapaexport.h"
#include "tests/support.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include <sqlite3.h>

using namespace velinor;
using namespace velinor::test;

namespace {

QString tool(const QString& name) { return QDir(VELINOR_TOOLS_DIR).absoluteFilePath(name); }

struct Run {
    int code = -1;
    QString out, err;
};

// Runs a tool; with a limit, no file it writes may grow past that size.
Run runTool(const QString& name, const QStringList& args, qint64 limit = 0)
{
    QProcess p;
    if (limit > 0)
        p.setChildProcessModifier([limit] {
            const rlimit r{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
            setrlimit(RLIMIT_FSIZE, &r);
            signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead
        });
    p.start(tool(name), args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// The same limit on this process, while the object lives.
class SizeLimit {
public:
    explicit SizeLimit(qint64 limit)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = signal(SIGXFSZ, SIG_IGN);
        const rlimit r{static_cast<rlim_t>(limit), m_saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &r);
    }
    ~SizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

class FailuresTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;

    // Invoice 1, valid for export, long enough that its file is much larger
    // than the database's growth when the file number is taken.
    void exportableInvoice()
    {
        m_db->exec("UPDATE Azienda SET Denominazione = 'Kestrava Forniture S.r.l.', "
                   "PartitaIva = '02458130966', CodiceFiscale = '02458130966', "
                   "Indirizzo = 'Viale Monza', NumeroCivico = '212', CAP = '20127', "
                   "Comune = 'Milano', Provincia = 'MI'");
        m_db->exec("INSERT INTO Customers ([Customer Code], Cliente, Indirizzo, città, cap, "
                   "PartitaIva, CodiceFiscale, Provincia, Nazione, CodiceDestinatario) VALUES "
                   "('CUS1A', 'Idrotermica Verdi', 'Via Nizza 133', 'Torino', '10126', "
                   "'02457810014', 'VRDGPP65H04L219M', 'TO', 'IT', 'T04ZHR3')");
        m_db->exec("INSERT INTO Fatture ([Order Code], Date, Cliente, [Codice Cliente]) VALUES "
                   "(1, '2026-12-07', 'Idrotermica Verdi', 'CUS1A')");
        m_db->exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 600) "
                   "INSERT INTO DettaglioFatture ([Descrizione Articolo], [Quantità], Prezzo, "
                   "Imponibile, Iva, [Totale Riga], [Numero Fattura], [Codice Articolo], UM) "
                   "SELECT 'Viti ' || i, 2, 5, 10, 22, 12.2, 1, 'TIR1A', 'pz' FROM n");
    }
    // Room for the database and its journal to grow a little, not for the file.
    qint64 nearlyFull() { return QFileInfo(m_db->path()).size() + 48 * 1024; }
    int progressive() { return m_db->scalar("SELECT ProgressivoInvio FROM Azienda").toInt(); }

    // A database of tens of megabytes.
    void bigDatabase()
    {
        m_db->exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40000) "
                   "INSERT INTO Tires ([Tire Code], misura) SELECT 'TIR' || i, "
                   "hex(randomblob(500)) FROM n");
    }

private slots:
    void init() { m_db = std::make_unique<TempDatabase>(); }
    void cleanup()
    {
        closeAll();
        setSaveDialogHook({});
        m_db.reset();
    }

    // A file not written whole is a failure that names its cause, leaves no
    // file and uses no number; with room again the same export succeeds.
    void exportOnFullDisk_data()
    {
        QTest::addColumn<bool>("button");
        QTest::newRow("velinor-fatturapa") << false;
        QTest::newRow("FatturaPA button") << true;
    }
    void exportOnFullDisk()
    {
        QFETCH(bool, button);
        exportableInvoice();
        const QString out = QDir(m_db->dir()).absoluteFilePath("out");
        QVERIFY(QDir().mkdir(out));
        const qint64 limit = nearlyFull();
        QString failure;
        if (button) {
            Messages messages;
            setSaveDialogHook([out](const QString& proposed) {
                return QDir(out).absoluteFilePath(QFileInfo(proposed).fileName());
            });
            QWidget* s = nav::show("frmFatture");
            clickRow(s, "DataGrid4", 0);
            {
                SizeLimit full(limit);
                click(s, "cmdFatturaPA");
            }
            failure = messages.last();
        } else {
            const Run run = runTool("velinor-fatturapa", {"--db", m_db->path(), "--out", out, "1"}, limit);
            QCOMPARE(run.code, 1);
            QCOMPARE(run.out, QString());
            failure = run.err;
        }
        QVERIFY2(failure.contains("File too large"), qPrintable(failure));
        QCOMPARE(entries(out), QStringList());
        QCOMPARE(progressive(), 0);

        const Run again = runTool("velinor-fatturapa", {"--db", m_db->path(), "--out", out, "1"});
        QCOMPARE(again.code, 0);
        QCOMPARE(entries(out).size(), 1);
        QCOMPARE(progressive(), 1);
    }

    // A name as long as the system allows is written, as any other.
    void exportUnderLongName()
    {
        exportableInvoice();
        const QString name = QString(250, 'x') + ".xml";
        Messages messages;
        setSaveDialogHook([this, name](const QString&) { return QDir(m_db->dir()).absoluteFilePath(name); });
        QWidget* s = nav::show("frmFatture");
        clickRow(s, "DataGrid4", 0);
        click(s, "cmdFatturaPA");
        QVERIFY2(messages.last().startsWith("Invoice 1 was written to "), qPrintable(messages.last()));
        QVERIFY(QFileInfo(QDir(m_db->dir()).absoluteFilePath(name)).size() > 0);
        QCOMPARE(progressive(), 1);
    }

    // A creation or a copy that fails leaves nothing, and says why.
    void toolsOnFullDisk()
    {
        const QString folder = QDir(m_db->dir()).absoluteFilePath("new");
        QVERIFY(QDir().mkdir(folder));
        const Run create = runTool("velinor-initdb", {"--demo", folder + "/db1.mdb"}, 16 * 1024);
        QCOMPARE(create.code, 1);
        QVERIFY2(create.err.contains("File too large"), qPrintable(create.err));
        QCOMPARE(entries(folder), QStringList());

        bigDatabase();
        const Run copy = runTool("velinor-backup", {"--db", m_db->path(), folder}, 1024 * 1024);
        QCOMPARE(copy.code, 1);
        QVERIFY2(copy.err.contains("too large") || copy.err.contains("full"), qPrintable(copy.err));
        QCOMPARE(entries(folder), QStringList());
    }

    // Not a regular file nor a folder, or a name SQLite keeps beside a
    // database: refused, and left as it was.
    void backupRefusesDestination_data()
    {
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("device") << "/dev/null" << "neither a regular file nor a folder";
        QTest::newRow("fifo") << "fifo" << "neither a regular file nor a folder";
        QTest::newRow("journal") << "db1.mdb-journal" << "files SQLite keeps";
        QTest::newRow("wal") << "copia.mdb-WAL" << "files SQLite keeps";
        QTest::newRow("shm") << "copia-shm" << "files SQLite keeps";
    }
    void backupRefusesDestination()
    {
        QFETCH(QString, destination);
        QFETCH(QString, refusal);
        if (destination == "fifo")
            QCOMPARE(mkfifo(QFile::encodeName(QDir(m_db->dir()).absoluteFilePath("fifo")).constData(), 0600), 0);
        const QStringList before = entries(m_db->dir());
        const Run run = runTool("velinor-backup", {"--db", m_db->path(), "--force", destination});
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains(refusal), qPrintable(run.err));
        QCOMPARE(entries(m_db->dir()), before);
        if (destination == "fifo")
            QVERIFY(QFileInfo(QDir(m_db->dir()).absoluteFilePath("fifo")).isSymLink()
                    || !QFileInfo(QDir(m_db->dir()).absoluteFilePath("fifo")).isFile());
    }

    // Another program commits every 2 ms while the backup runs: it ends all
    // the same, with a copy that holds the committed data.
    void backupBesideBusyWriter()
    {
        bigDatabase();
        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(), {"--writer", m_db->path()});
        QVERIFY(writer.waitForReadyRead(10000)); // writing
        QElapsedTimer timer;
        timer.start();
        const Run run = runTool("velinor-backup", {"--db", m_db->path(), "copy.mdb"});
        const qint64 ms = timer.elapsed();
        writer.kill();
        writer.waitForFinished();
        QVERIFY2(run.code == 0, qPrintable(run.err));
        qInfo("a copy of %lld MB beside the writer took %lld ms",
              QFileInfo(m_db->path()).size() >> 20, ms);
        Database copy(QDir(m_db->dir()).absoluteFilePath("copy.mdb"));
        QCOMPARE(copy.scalar("SELECT count(*) FROM Tires").toInt(), 40000);
    }

    // Ctrl-C on the tool, Cancel on the menu's progress: nothing is left.
    void backupInterrupted_data()
    {
        QTest::addColumn<bool>("menu");
        QTest::newRow("SIGINT") << false;
        QTest::newRow("Annulla") << true;
    }
    void backupInterrupted()
    {
        QFETCH(bool, menu);
        bigDatabase();
        const QString folder = QDir(m_db->dir()).absoluteFilePath("copies");
        QVERIFY(QDir().mkdir(folder));
        if (menu) {
            Messages messages;
            QWidget* s = nav::show("frmMenu");
            // The user names the copy, then presses Annulla as soon as the
            // progress shows.
            bool cancelled = false;
            QTimer user;
            connect(&user, &QTimer::timeout, this, [&] {
                QWidget* modal = QApplication::activeModalWidget();
                if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                    dialog->selectFile(folder + "/copia.mdb");
                    QMetaObject::invokeMethod(dialog, "accept");
                } else if (auto* progress = qobject_cast<QProgressDialog*>(modal)) {
                    progress->cancel();
                    cancelled = true;
                }
            });
            user.start(5);
            control<QMenuBar>(s, "mnuBar")->findChild<QAction*>("mnuBackup")->trigger();
            user.stop();
            QVERIFY(cancelled);
            QCOMPARE(messages.texts(), QStringList());
        } else {
            QProcess p;
            p.start(tool("velinor-backup"), {"--db", m_db->path(), folder});
            QVERIFY(p.waitForStarted());
            QElapsedTimer timer;
            timer.start();
            while (entries(folder).isEmpty() && timer.elapsed() < 20000)
                QThread::usleep(200);
            QVERIFY2(!entries(folder).isEmpty(), "the copy never started");
            ::kill(static_cast<pid_t>(p.processId()), SIGINT);
            QVERIFY(p.waitForFinished(30000));
            QCOMPARE(p.exitCode(), 130);
            QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains("stopped"));
        }
        QCOMPARE(entries(folder), QStringList());
    }
};

// With --writer PATH: commits a change to the file every 2 ms until killed.
int main(int argc, char* argv[])
{
    if (argc > 2 && QByteArray(argv[1]) == "--writer") {
        sqlite3* db = nullptr;
        sqlite3_open(argv[2], &db);
        sqlite3_busy_timeout(db, 60000);
        bool told = false;
        for (int i = 0;; ++i) {
            const QByteArray sql = "UPDATE Tires SET Quantity = " + QByteArray::number(i)
                                   + " WHERE rowid = " + QByteArray::number(i % 1000 + 1);
            sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
            if (!told) {
                std::printf("writing\n");
                std::fflush(stdout);
                told = true;
            }
            sqlite3_sleep(2);
        }
    }
    QApplication app(argc, argv);
    FailuresTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_failures.moc"
