// What a desktop installation relies on: the launcher the menu entry starts,
// and the Debian package built from this project.

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "data/database.h"

using namespace velinor;

namespace {

struct Run {
    int exitCode = -1;
    QString output;
};

Run run(const QString& program, const QStringList& args,
        const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
        const QString& dir = QString())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(240000) || p.exitStatus() != QProcess::NormalExit)
        return {-1, program + ": " + p.errorString()};
    return {p.exitCode(), QString::fromLocal8Bit(p.readAll())};
}

void script(const QString& path, const QByteArray& body)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n" + body);
    f.close();
    QVERIFY(f.setPermissions(f.permissions() | QFile::ExeOwner));
}

} // namespace

class PackagingTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_work;
    QString m_deb;     // the package built from this tree
    QString m_unpacked; // its files
    QString m_skip;     // why there is no package

    QString field(const QString& name)
    {
        return run("dpkg-deb", {"-f", m_deb, name}).output.trimmed();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_work.isValid());
        const QString config = VELINOR_BINARY_DIR "/CPackConfig.cmake";
        for (const char* tool : {"dpkg-deb", "cpack", "dpkg-shlibdeps"}) {
            if (QStandardPaths::findExecutable(tool).isEmpty()) {
                m_skip = QString("%1 is not installed; install dpkg-dev and cmake to check "
                                 "the package").arg(tool);
                return;
            }
        }
        if (!QFile::exists(config)) {
            m_skip = "this build has no CPack configuration (not the top-level project)";
            return;
        }
        const QString out = m_work.filePath("deb");
        const Run cpack = run("cpack", {"-G", "DEB", "-B", out, "--config", config});
        QVERIFY2(cpack.exitCode == 0, qPrintable(cpack.output));
        const QStringList debs = QDir(out).entryList({"velinor_*.deb"}, QDir::Files);
        QCOMPARE(debs.size(), 1);
        m_deb = QDir(out).filePath(debs.first());
        m_unpacked = m_work.filePath("root");
        const Run unpack = run("dpkg-deb", {"-x", m_deb, m_unpacked});
        QVERIFY2(unpack.exitCode == 0, qPrintable(unpack.output));
    }

    // -------------------------------------------------------------- launcher

    void launcherPreparesTheFolderOnce_data()
    {
        QTest::addColumn<QString>("before"); // what the home holds beforehand
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("started"); // velinor ran in ~/Velinor
        QTest::addColumn<QString>("says");
        QTest::newRow("first run") << "" << 0 << true << "has just been created empty";
        QTest::newRow("later run keeps the data") << "database" << 0 << true << "";
        QTest::newRow("folder without database") << "folder" << 0 << true << "just been created";
        QTest::newRow("file in the way") << "file" << 1 << false
                                         << "Creating the folder";
        QTest::newRow("velinor-initdb fails") << "failing initdb" << 1 << false
                                              << "Creating the database failed: disk full";
        QTest::newRow("velinor-initdb missing") << "no initdb" << 1 << false
                                                << "velinor-initdb was not found";
    }
    void launcherPreparesTheFolderOnce()
    {
        QFETCH(QString, before);
        QFETCH(int, exitCode);
        QFETCH(bool, started);
        QFETCH(QString, says);
        QTemporaryDir tmp;
        const QDir root(tmp.path());
        QVERIFY(root.mkpath("home") && root.mkpath("bin"));
        const QString home = root.filePath("home");
        const QString folder = root.filePath("home/Velinor");
        const QString file = folder + "/db1.mdb";
        // Stands in for the program: says where it was started.
        script(root.filePath("bin/velinor"), "pwd > '" + root.filePath("started").toUtf8() + "'\n");

        QString path = root.filePath("bin") + ":" + VELINOR_TOOLS_DIR;
        if (before == "database") {
            QVERIFY(QDir().mkpath(folder));
            QCOMPARE(run(VELINOR_TOOLS_DIR "/velinor-initdb", {file}).exitCode, 0);
            Database(file).exec("INSERT INTO Users VALUES ('mario', 'pw')");
        } else if (before == "folder") {
            QVERIFY(QDir().mkpath(folder));
            QFile notes(folder + "/notes.txt");
            QVERIFY(notes.open(QIODevice::WriteOnly));
        } else if (before == "file") {
            QFile in(folder);
            QVERIFY(in.open(QIODevice::WriteOnly));
        } else if (before == "failing initdb") {
            script(root.filePath("bin/velinor-initdb"), "echo half > \"$1\"; echo disk full; exit 1\n");
        } else if (before == "no initdb") {
            path = root.filePath("bin");
        }

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home);
        env.insert("PATH", path);
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        const Run launched = run(VELINOR_TOOLS_DIR "/velinor-launcher", {}, env, root.path());
        QVERIFY2(launched.exitCode == exitCode, qPrintable(launched.output));
        if (says.isEmpty())
            QCOMPARE(launched.output, QString());
        else
            QVERIFY2(launched.output.contains(says), qPrintable(launched.output));

        QFile ran(root.filePath("started"));
        QCOMPARE(ran.exists(), started);
        if (!started) {
            QVERIFY(!QFileInfo(file).exists());
            return;
        }
        QVERIFY(ran.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLocal8Bit(ran.readAll()).trimmed(), folder);
        Database db(file);
        QCOMPARE(db.scalar("SELECT count(*) FROM Ydummy").toInt(), 1);
        QCOMPARE(db.scalar("SELECT count(*) FROM Tires").toInt(), 0);
        QCOMPARE(db.scalar("SELECT count(*) FROM Users").toInt(), before == "database" ? 1 : 0);
        if (before == "folder")
            QVERIFY(QFile::exists(folder + "/notes.txt"));
    }

    // --------------------------------------------------------------- package

    void packageHoldsItsFiles_data()
    {
        QTest::addColumn<QString>("path");
        QStringList programs{"velinor", "velinor-initdb", "velinor-backup", "velinor-launcher"};
        if (VELINOR_HAS_FATTURAPA)
            programs << "velinor-fatturapa";
        for (const QString& p : programs)
            QTest::newRow(qPrintable(p)) << "usr/bin/" + p;
        QTest::newRow("desktop entry") << "usr/share/applications/velinor.desktop";
        QTest::newRow("scalable icon") << "usr/share/icons/hicolor/scalable/apps/velinor.svg";
        QTest::newRow("48 pixel icon") << "usr/share/icons/hicolor/48x48/apps/velinor.png";
        QTest::newRow("256 pixel icon") << "usr/share/icons/hicolor/256x256/apps/velinor.png";
    }
    void packageHoldsItsFiles()
    {
        if (m_deb.isEmpty())
            QSKIP(qPrintable(m_skip));
        QFETCH(QString, path);
        const QFileInfo installed(QDir(m_unpacked).filePath(path));
        QVERIFY2(installed.isFile(), qPrintable(path));
        if (path.startsWith("usr/bin/"))
            QVERIFY(installed.isExecutable());
    }

    void packageHoldsNothingElse()
    {
        if (m_deb.isEmpty())
            QSKIP(qPrintable(m_skip));
        const Run list = run("dpkg-deb", {"-c", m_deb});
        QCOMPARE(list.exitCode, 0);
        for (const QString& line : list.output.split('\n', Qt::SkipEmptyParts)) {
            const QString path = line.section(' ', -1);
            if (path.endsWith('/'))
                continue;
            const bool known = path.startsWith("./usr/bin/velinor")
                               || path.startsWith("./usr/share/applications/")
                               || path.startsWith("./usr/share/icons/hicolor/");
            QVERIFY2(known, qPrintable(line));
            QVERIFY2(line.contains(" root/root "), qPrintable(line));
        }
    }

    void packageDependsOnWhatTheProgramsLink_data()
    {
        QTest::addColumn<QString>("package");
        for (const char* p : {"libc6", "libqt6core6", "libqt6gui6", "libqt6widgets6",
                              "libsqlite3-0", "libsodium23"})
            QTest::newRow(p) << p;
    }
    void packageDependsOnWhatTheProgramsLink()
    {
        if (m_deb.isEmpty())
            QSKIP(qPrintable(m_skip));
        QFETCH(QString, package);
        const QStringList depends = field("Depends").split(", ");
        bool found = false;
        for (const QString& d : depends)
            found = found || d.startsWith(package + " (>= ");
        QVERIFY2(found, qPrintable(depends.join(", ")));
    }

    void packageControl()
    {
        if (m_deb.isEmpty())
            QSKIP(qPrintable(m_skip));
        QCOMPARE(field("Package"), QString("velinor"));
        QCOMPARE(field("Version"), QString(VELINOR_VERSION));
        QCOMPARE(field("Architecture"), run("dpkg", {"--print-architecture"}).output.trimmed());
        QCOMPARE(QFileInfo(m_deb).fileName(),
                 QString("velinor_%1_%2.deb").arg(VELINOR_VERSION, field("Architecture")));
        // A synopsis line, then the long text in both languages.
        const QStringList description = field("Description").split('\n');
        QVERIFY(description.size() > 4);
        QVERIFY(description.first().size() < 80);
        QVERIFY(!description.at(1).contains(description.first()));
        QVERIFY(description.contains(" ."));
    }

    void desktopEntryStartsAnInstalledProgram()
    {
        if (m_deb.isEmpty())
            QSKIP(qPrintable(m_skip));
        const QString entry = QDir(m_unpacked).filePath("usr/share/applications/velinor.desktop");
        QFile file(entry);
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        QHash<QString, QString> keys;
        for (const QString& line : QString::fromUtf8(file.readAll()).split('\n'))
            keys.insert(line.section('=', 0, 0), line.section('=', 1));
        const QString exec = keys.value("Exec").section(' ', 0, 0);
        QVERIFY(QFileInfo(QDir(m_unpacked).filePath("usr/bin/" + exec)).isExecutable());
        const QString icon = keys.value("Icon");
        QVERIFY(QFile::exists(QDir(m_unpacked).filePath(
            "usr/share/icons/hicolor/scalable/apps/" + icon + ".svg")));
        if (QStandardPaths::findExecutable("desktop-file-validate").isEmpty())
            QSKIP("desktop-file-validate is not installed (package desktop-file-utils)");
        const Run valid = run("desktop-file-validate", {entry});
        QVERIFY2(valid.exitCode == 0 && valid.output.isEmpty(), qPrintable(valid.output));
    }

    // The stripped programs of the package still run: a database made by
    // its velinor-initdb, copied by its velinor-backup.
    void packagedToolsRun()
    {
        if (m_deb.isEmpty())
            QSKIP(qPrintable(m_skip));
        const QString bin = QDir(m_unpacked).filePath("usr/bin/");
        const QString db = m_work.filePath("packaged.mdb");
        const Run created = run(bin + "velinor-initdb", {"--demo", db});
        QVERIFY2(created.exitCode == 0, qPrintable(created.output));
        const Run copied = run(bin + "velinor-backup", {"--db", db, m_work.filePath("copy.mdb")});
        QVERIFY2(copied.exitCode == 0, qPrintable(copied.output));
        Database copy(m_work.filePath("copy.mdb"));
        QVERIFY(copy.scalar("SELECT count(*) FROM Tires").toInt() > 0);
    }
};

QTEST_GUILESS_MAIN(PackagingTest)
#include "tst_packaging.moc"
