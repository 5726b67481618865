// Copies of the database: the routine, the velinor-backup tool and the main
// menu's "Copia di sicurezza..." item.

#include "app/navigation.h"
#include "data/backup.h"
#include "tests/support.h"

#include <QApplication>
#include <QDirIterator>
#include <QDialogButtonBox>
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

QStringList categoriesIn(const QString& path)
{
    Database db(path);
    Statement st(db, "SELECT Category FROM Categories ORDER BY rowid");
    QStringList values;
    while (st.step())
        values << st.value(0).toString();
    return values;
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Damages a b-tree page in the middle of the file; the header stays valid,
// so the file opens and copies but fails the integrity check.
void damage(const QString& path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.size() > 8 * 4096);
    f.seek(f.size() / 2 / 4096 * 4096);
    f.write(QByteArray(4096, '\x5a'));
}

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
        {
            Transaction t(db.db());
            for (int i = 0; i < rows; ++i)
                db.exec("INSERT INTO Categories VALUES (?)",
                        {QString("group %1 ").arg(i, 5, 10, QChar('0')) + QString(900, 'x')});
            t.commit();
        }
        Database writer(db.path());
        writer.exec("BEGIN IMMEDIATE");
        writer.exec("INSERT INTO Categories VALUES ('not committed')");
        writer.exec("UPDATE Categories SET Category = 'changed' WHERE rowid = 1");

        const QString target = QDir(db.dir()).filePath("copy.mdb");
        const BackupResult copy = backupDatabase(db.path(), target);
        QCOMPARE(copy.path, target);
        QCOMPARE(copy.bytes, QFileInfo(target).size());

        // The writer was not held up and commits after the copy.
        writer.exec("COMMIT");
        QCOMPARE(db.count("Categories"), rows + 1);

        const QStringList copied = categoriesIn(target);
        QCOMPARE(copied.size(), rows);
        QVERIFY(copied.first().startsWith("group 00000 "));
        QVERIFY(!copied.contains("not committed"));
        Database check(target);
        QCOMPARE(check.scalar("PRAGMA integrity_check").toString(), QString("ok"));
        QCOMPARE(check.scalar("SELECT count(*) FROM Ydummy").toInt(), 1);
        for (const QString& f : filesIn(db.dir()))
            QVERIFY2(f.startsWith("db1.mdb") || f == "copy.mdb", qPrintable(f));
    }

    void refusalsLeaveNothingBehind_data()
    {
        QTest::addColumn<QString>("source"); // relative to the test's folder
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("says");
        QTest::newRow("missing source") << "none.mdb" << "copy.mdb" << "does not exist";
        QTest::newRow("source not a database") << "notes.txt" << "copy.mdb"
                                               << "is not an SQLite database";
        QTest::newRow("target is the database") << "db1.mdb" << "db1.mdb" << "is the database itself";
        QTest::newRow("target links to the database") << "db1.mdb" << "link.mdb"
                                                      << "is the database itself";
        QTest::newRow("target folder missing") << "db1.mdb" << "gone/copy.mdb"
                                               << "cannot be written in";
        QTest::newRow("target below a file") << "db1.mdb" << "notes.txt/copy.mdb"
                                             << "cannot be written in";
        QTest::newRow("target is a folder") << "db1.mdb" << "sub" << "is a folder";
        QTest::newRow("damaged source, old copy kept") << "damaged.mdb" << "old.mdb"
                                                       << "failed its integrity check";
    }
    void refusalsLeaveNothingBehind()
    {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(QString, says);
        TempDatabase db;
        db.exec("INSERT INTO Categories VALUES ('kept')");
        const QDir dir(db.dir());
        writeFile(dir.filePath("notes.txt"), "not a database\n");
        writeFile(dir.filePath("old.mdb"), "yesterday's copy");
        QVERIFY(dir.mkdir("sub"));
        QVERIFY(QFile::link(db.path(), dir.filePath("link.mdb")));
        {
            QVERIFY(QFile::copy(db.path(), dir.filePath("damaged.mdb")));
            Database big(dir.filePath("damaged.mdb"));
            Transaction t(big);
            for (int i = 0; i < 200; ++i)
                big.exec("INSERT INTO Categories VALUES (?)", {QString(400, QChar('a' + i % 26))});
            t.commit();
        }
        damage(dir.filePath("damaged.mdb"));
        const QStringList before = filesIn(db.dir());
        const QByteArray database = readFile(db.path());

        QString error;
        try {
            backupDatabase(dir.filePath(source), dir.filePath(target));
        } catch (const DbError& e) {
            error = e.text();
        }
        QVERIFY2(error.contains(says), qPrintable(error));
        QCOMPARE(filesIn(db.dir()), before);
        QCOMPARE(readFile(db.path()), database);
        QCOMPARE(readFile(dir.filePath("old.mdb")), QByteArray("yesterday's copy"));
    }

    void toolCopiesAndRefuses_data()
    {
        QTest::addColumn<QStringList>("args"); // %db: the database, %dir: the test's folder
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("written"); // relative to the test's folder
        QTest::addColumn<QString>("says");
        const QString today = "db1-" + QDate::currentDate().toString("yyyy-MM-dd") + ".mdb";
        QTest::newRow("to a file") << QStringList{"--db", "%db", "%dir/copy.mdb"} << 0
                                   << "copy.mdb" << "integrity check: ok";
        QTest::newRow("db1.mdb of the working directory") << QStringList{"%dir/copy.mdb"} << 0
                                                          << "copy.mdb" << "Wrote ";
        QTest::newRow("into a folder") << QStringList{"--db", "%db", "%dir/out"} << 0
                                       << "out/" + today << today;
        QTest::newRow("existing file kept") << QStringList{"--db", "%db", "%dir/old.mdb"} << 1
                                            << "" << "already exists; use --force";
        QTest::newRow("existing file replaced with --force")
            << QStringList{"--force", "--db", "%db", "%dir/old.mdb"} << 0 << "old.mdb" << "Wrote ";
        QTest::newRow("missing source") << QStringList{"--db", "%dir/none.mdb", "%dir/copy.mdb"}
                                        << 1 << "" << "does not exist";
        QTest::newRow("no destination") << QStringList{"--db", "%db"} << 2 << "" << "one DEST";
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
        writeFile(dir.filePath("old.mdb"), "yesterday's copy");
        const QStringList before = filesIn(db.dir());
        for (QString& a : args)
            a.replace("%db", db.path()).replace("%dir", db.dir());

        QProcess tool;
        tool.setWorkingDirectory(db.dir());
        tool.start(VELINOR_TOOLS_DIR "/velinor-backup", args);
        QVERIFY(tool.waitForFinished(60000));
        const QString said = QString::fromLocal8Bit(tool.readAllStandardOutput()
                                                    + tool.readAllStandardError());
        QCOMPARE(tool.exitCode(), exitCode);
        QVERIFY2(said.contains(says), qPrintable(said));
        if (written.isEmpty()) {
            QCOMPARE(filesIn(db.dir()), before);
            QCOMPARE(readFile(dir.filePath("old.mdb")), QByteArray("yesterday's copy"));
        } else {
            QVERIFY2(said.contains(dir.filePath(written)), qPrintable(said));
            QCOMPARE(categoriesIn(dir.filePath(written)), QStringList{"kept"});
        }
    }

    void menuItemCopiesThroughSaveDialog_data()
    {
        QTest::addColumn<QString>("folder"); // where the user saves; empty: cancels
        QTest::addColumn<QString>("name");   // empty: the proposed name
        QTest::addColumn<QString>("before"); // what the folder holds: "old copy", "damage"
        QTest::addColumn<QString>("message"); // start of the message shown; empty: none
        QTest::newRow("proposed name in another folder") << "saved" << "" << ""
                                                         << "The backup was written to";
        QTest::newRow("older copy replaced") << "saved" << "" << "old copy"
                                             << "The backup was written to";
        QTest::newRow("cancelled") << "" << "" << "" << "";
        QTest::newRow("the database itself") << "." << "db1.mdb" << ""
                                             << "Backing up the database failed: ";
        QTest::newRow("damaged database") << "saved" << "" << "damage"
                                          << "Backing up the database failed: the copy failed "
                                             "its integrity check";
    }
    void menuItemCopiesThroughSaveDialog()
    {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, before);
        QFETCH(QString, message);
        TempDatabase db;
        const QDir dir(db.dir());
        db.exec("INSERT INTO Categories VALUES ('kept')");
        QVERIFY(dir.mkdir("saved"));
        const QString proposed = "db1-" + QDate::currentDate().toString("yyyy-MM-dd") + ".mdb";
        if (name.isEmpty())
            name = proposed;
        const QString copy = QDir::cleanPath(folder + "/" + name);
        if (before == "old copy")
            writeFile(dir.filePath(copy), "yesterday's copy");
        if (before == "damage") {
            Transaction t(db.db());
            for (int i = 0; i < 200; ++i)
                db.exec("INSERT INTO Categories VALUES (?)", {QString(400, QChar('a' + i % 26))});
            t.commit();
            damage(db.path());
        }
        const QStringList filesBefore = filesIn(db.dir());
        const QByteArray database = readFile(db.path());
        Messages messages;

        QWidget* menu = nav::show("frmMenu");
        QVERIFY(menu);
        auto* bar = control<QMenuBar>(menu, "mnuBar");
        auto* archive = control<QMenu>(menu, "mnuArchivio");
        QCOMPARE(archive->title(), QString("&Archivio"));
        QAction* item = archive->findChild<QAction*>("mnuBackup");
        QVERIFY(item);
        QCOMPARE(item->text(), QString("&Copia di sicurezza..."));

        // The user: reads the proposal, picks the folder, types the name,
        // clicks Save once it is enabled, and agrees to replace a file.
        QString shownName;
        enum { Waiting, Typed, Saved } state = Waiting;
        QTimer user;
        connect(&user, &QTimer::timeout, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                box->button(QMessageBox::Yes)->click();
                return;
            }
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (!dialog)
                return;
            QPushButton* save = dialog->findChild<QDialogButtonBox*>("buttonBox")
                                    ->button(QDialogButtonBox::Save);
            if (state == Waiting) {
                shownName = QFileInfo(dialog->selectedFiles().value(0)).fileName();
                if (folder.isEmpty()) {
                    dialog->reject();
                    return;
                }
                dialog->setDirectory(dir.filePath(folder));
                auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
                edit->selectAll();
                QTest::keyClicks(edit, name);
                state = Typed;
            } else if (state == Typed && save->isEnabled()) {
                // From a timer of its own, so this one answers the question
                // about replacing a file.
                QTimer::singleShot(0, save, [save] { QTest::mouseClick(save, Qt::LeftButton); });
                state = Saved;
            }
        });
        user.start(20);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(archive->menuAction()).center());
        QTRY_VERIFY(archive->isVisible());
        QTest::mouseClick(archive, Qt::LeftButton, {}, archive->actionGeometry(item).center());
        QTRY_VERIFY(!shownName.isEmpty() && !QApplication::activeModalWidget());
        user.stop();

        QCOMPARE(shownName, proposed);
        QCOMPARE(messages.count(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY2(messages.last().startsWith(message), qPrintable(messages.last()));
        QCOMPARE(readFile(db.path()), database);
        if (message.startsWith("The backup")) {
            QCOMPARE(messages.lastIcon(), msg::Icon::Information);
            QVERIFY2(messages.last().contains(dir.filePath(copy)), qPrintable(messages.last()));
            QCOMPARE(categoriesIn(dir.filePath(copy)), QStringList{"kept"});
            QStringList expected = filesBefore;
            if (!expected.contains(copy))
                expected << copy;
            expected.sort();
            QCOMPARE(filesIn(db.dir()), expected);
        } else {
            QCOMPARE(filesIn(db.dir()), filesBefore);
        }
        if (before == "old copy" && !message.startsWith("The backup"))
            QCOMPARE(readFile(dir.filePath(copy)), QByteArray("yesterday's copy"));
        QVERIFY(nav::find("frmMenu"));
    }
};

QTEST_MAIN(BackupTest)
#include "tst_backup.moc"
