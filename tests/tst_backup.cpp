// Copies of the database: the routine, the velinor-backup tool and the main
// menu's "Copia di sicurezza..." item.

#include "app/navigation.h"
#include "data/backup.h"
#include "tests/support.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDirIterator>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

using namespace velinor;
using namespace velinor::test;

namespace {

// Every file below a folder, so a test sees whatever a failure left behind.
QStringList filesIn(const QString& dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(dir).relativeFilePath(it.next());
    files.sort();
    return files;
}

QString categories(const QString& path)
{
    return Database(path).scalar("SELECT group_concat(Category, '|') FROM Categories").toString();
}

QByteArray content(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Fills a database, then overwrites a page in its middle: it still opens
// and copies, but fails the integrity check.
void damage(Database& db)
{
    Transaction t(db);
    for (int i = 0; i < 200; ++i)
        db.exec("INSERT INTO Categories VALUES (?)", {QString(400, QChar('a' + i % 26))});
    t.commit();
    QFile f(db.path());
    QVERIFY(f.open(QIODevice::ReadWrite));
    f.seek(f.size() / 2 / 4096 * 4096);
    f.write(QByteArray(4096, '\x5a'));
}

const QString today = "db1-" + QDate::currentDate().toString("yyyy-MM-dd") + ".mdb";

} // namespace

class BackupTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { closeAll(); }

    void copyHoldsCommittedRowsWhileAnotherConnectionWrites_data()
    {
        QTest::addColumn<QString>("journal");
        QTest::addColumn<int>("rows");
        QTest::newRow("rollback journal") << "DELETE" << 3;
        QTest::newRow("write-ahead log") << "WAL" << 3;
        QTest::newRow("copied in several steps") << "DELETE" << 6000;
    }
    void copyHoldsCommittedRowsWhileAnotherConnectionWrites()
    {
        QFETCH(QString, journal);
        QFETCH(int, rows);
        TempDatabase db;
        db.exec("PRAGMA journal_mode=" + journal);
        Transaction t(db.db());
        for (int i = 0; i < rows; ++i)
            db.exec("INSERT INTO Categories VALUES (?)", {QString(900, 'x')});
        t.commit();
        Database writer(db.path());
        writer.exec("BEGIN IMMEDIATE");
        writer.exec("INSERT INTO Categories VALUES ('not committed')");
        writer.exec("UPDATE Categories SET Category = 'changed' WHERE rowid = 1");

        const QString target = QDir(db.dir()).filePath("copy.mdb");
        const qint64 bytes = backupDatabase(db.path(), target).bytes;
        QCOMPARE(bytes, QFileInfo(target).size());
        writer.exec("COMMIT"); // the writer was not held up

        // One standalone file, no side files of a write-ahead log.
        for (const QString& f : filesIn(db.dir()))
            QVERIFY2(f.startsWith("db1.mdb") || f == "copy.mdb", qPrintable(f));
        QCOMPARE(categories(target), QStringList(rows, QString(900, 'x')).join('|'));
        Database copy(target);
        QCOMPARE(copy.scalar("PRAGMA integrity_check").toString(), QString("ok"));
        QCOMPARE(copy.scalar("SELECT count(*) FROM Ydummy").toInt(), 1);
    }

    void refusalsLeaveNothingBehind_data()
    {
        QTest::addColumn<QString>("source"); // in the test's folder
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("says");
        QTest::newRow("missing source") << "none.mdb" << "copy.mdb" << "does not exist";
        QTest::newRow("source not a database") << "notes.txt" << "copy.mdb" << "not an SQLite";
        QTest::newRow("target is the database") << "db1.mdb" << "db1.mdb" << "the database itself";
        QTest::newRow("target links to it") << "db1.mdb" << "link.mdb" << "the database itself";
        QTest::newRow("folder missing") << "db1.mdb" << "gone/copy.mdb" << "cannot be written in";
        QTest::newRow("below a file") << "db1.mdb"
                                      << "notes.txt/copy.mdb"
                                      << "cannot be written in";
        QTest::newRow("damaged, old copy kept") << "damaged.mdb" << "old.mdb"
                                                << "failed its integrity check";
    }
    void refusalsLeaveNothingBehind()
    {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(QString, says);
        TempDatabase db;
        const QDir dir(db.dir());
        write(dir.filePath("notes.txt"), "not a database\n");
        write(dir.filePath("old.mdb"), "yesterday's copy");
        QVERIFY(QFile::link(db.path(), dir.filePath("link.mdb")));
        QVERIFY(QFile::copy(db.path(), dir.filePath("damaged.mdb")));
        Database damaged(dir.filePath("damaged.mdb"));
        damage(damaged);
        const QStringList before = filesIn(db.dir());
        const QByteArray database = content(db.path());

        QString error;
        try {
            backupDatabase(dir.filePath(source), dir.filePath(target));
        } catch (const DbError& e) {
            error = e.text();
        }
        QVERIFY2(error.contains(says), qPrintable(error));
        QCOMPARE(filesIn(db.dir()), before);
        QCOMPARE(content(db.path()), database);
        QCOMPARE(content(dir.filePath("old.mdb")), QByteArray("yesterday's copy"));
    }

    void toolCopiesAndRefuses_data()
    {
        QTest::addColumn<QStringList>("args"); // run in the database's folder
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("says");
        QTest::newRow("into a folder") << QStringList{"out"} << 0 << "out/" + today << "check: ok";
        QTest::newRow("existing file kept") << QStringList{"old.mdb"} << 1 << "" << "use --force";
        QTest::newRow("replaced with --force") << QStringList{"--force", "old.mdb"} << 0
                                               << "old.mdb" << "Wrote";
    }
    void toolCopiesAndRefuses()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, written);
        QFETCH(QString, says);
        TempDatabase db;
        db.exec("INSERT INTO Categories VALUES ('kept')");
        const QDir dir(db.dir());
        QVERIFY(dir.mkdir("out"));
        write(dir.filePath("old.mdb"), "yesterday's copy");
        const QStringList before = filesIn(db.dir());

        QProcess tool;
        tool.setWorkingDirectory(db.dir());
        tool.setProcessChannelMode(QProcess::MergedChannels);
        tool.start(VELINOR_TOOLS_DIR "/velinor-backup", args);
        QVERIFY(tool.waitForFinished(60000));
        const QString said = QString::fromLocal8Bit(tool.readAll());
        QCOMPARE(tool.exitCode(), exitCode);
        QVERIFY2(said.contains(says), qPrintable(said));
        if (written.isEmpty()) {
            QCOMPARE(filesIn(db.dir()), before);
            QCOMPARE(content(dir.filePath("old.mdb")), QByteArray("yesterday's copy"));
        } else {
            QVERIFY2(said.contains(dir.filePath(written)), qPrintable(said));
            QCOMPARE(categories(dir.filePath(written)), QString("kept"));
        }
    }

    void menuItemCopiesThroughSaveDialog_data()
    {
        QTest::addColumn<QString>("folder"); // where the user saves; empty: cancels
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<QString>("message"); // start of the message shown
        QTest::newRow("proposed name") << "saved" << false << "The backup was written to";
        QTest::newRow("cancelled") << "" << false << "";
        QTest::newRow("damaged database") << "saved" << true
                                          << "Backing up the database failed: the copy failed "
                                             "its integrity check";
    }
    void menuItemCopiesThroughSaveDialog()
    {
        QFETCH(QString, folder);
        QFETCH(bool, damaged);
        QFETCH(QString, message);
        TempDatabase db;
        const QDir dir(db.dir());
        db.exec("INSERT INTO Categories VALUES ('kept')");
        QVERIFY(dir.mkdir("saved"));
        if (damaged)
            damage(db.db());
        const QByteArray database = content(db.path());
        Messages messages;

        QWidget* menu = nav::show("frmMenu");
        auto* bar = control<QMenuBar>(menu, "mnuBar");
        auto* archive = control<QMenu>(menu, "mnuArchivio");
        QAction* item = archive->findChild<QAction*>("mnuBackup");
        QCOMPARE(archive->title(), QString("&Archivio"));
        QCOMPARE(item->text(), QString("&Copia di sicurezza..."));

        // The user reads the proposal, picks the folder and clicks Save
        // (from a timer of its own) once it is enabled.
        QString proposed;
        QTimer user;
        connect(&user, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            QPushButton* save = dialog->findChild<QDialogButtonBox*>("buttonBox")
                                    ->button(QDialogButtonBox::Save);
            if (proposed.isEmpty()) {
                proposed = dialog->findChild<QLineEdit*>("fileNameEdit")->text();
                if (folder.isEmpty())
                    dialog->reject();
                else
                    dialog->setDirectory(dir.filePath(folder));
            } else if (save->isEnabled()) {
                user.stop();
                QTimer::singleShot(0, save, [save] { QTest::mouseClick(save, Qt::LeftButton); });
            }
        });
        user.start(20);
        const QPoint archiveAt = bar->actionGeometry(archive->menuAction()).center();
        QTest::mouseClick(bar, Qt::LeftButton, {}, archiveAt);
        QTRY_VERIFY(archive->isVisible());
        QTest::mouseClick(archive, Qt::LeftButton, {}, archive->actionGeometry(item).center());
        QTRY_VERIFY(!proposed.isEmpty() && !QApplication::activeModalWidget());

        QCOMPARE(proposed, today);
        QCOMPARE(messages.count(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY2(messages.last().startsWith(message), qPrintable(messages.last()));
        QCOMPARE(content(db.path()), database);
        const bool written = message.startsWith("The backup");
        QCOMPARE(filesIn(dir.filePath("saved")), written ? QStringList{today} : QStringList{});
        if (written)
            QCOMPARE(categories(dir.filePath("saved/" + today)), QString("kept"));
        QVERIFY(nav::find("frmMenu"));
    }
};

QTEST_MAIN(BackupTest)
#include "tst_backup.moc"
