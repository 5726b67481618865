// What a desktop installation relies on: the launcher the menu entry starts,
// and the Debian package built from this project.

#include "data/database.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace velinor;

namespace {

struct Run {
    int exitCode = -1;
    QString output;
};

Run run(const QString& program, const QStringList& args,
        const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
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
    QString m_deb;  // the package built from this tree
    QString m_root; // its files, unpacked
    QString m_skip; // why there is none

    QString field(const QString& name)
    {
        return run("dpkg-deb", { "-f", m_deb, name }).output.trimmed();
    }

private slots:
    void initTestCase()
    {
        for (const char* tool : {"dpkg-deb", "cpack", "dpkg-shlibdeps"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                m_skip += QString("%1 is missing (packages dpkg-dev, cmake). ").arg(tool);
        const QString config = VELINOR_BINARY_DIR "/CPackConfig.cmake";
        if (!QFile::exists(config))
            m_skip += "No CPack configuration: Velinor is not the top-level project here.";
        if (!m_skip.isEmpty())
            return;
        const QString out = m_work.filePath("deb");
        const Run cpack = run("cpack", {"-G", "DEB", "-B", out, "--config", config});
        QVERIFY2(cpack.exitCode == 0, qPrintable(cpack.output));
        m_deb = QDir(out).filePath(QDir(out).entryList({"velinor_*.deb"}).value(0));
        m_root = m_work.filePath("root");
        QCOMPARE(run("dpkg-deb", {"-x", m_deb, m_root}).exitCode, 0);
    }

    void launcherPreparesTheFolderOnce_data()
    {
        QTest::addColumn<QString>("before"); // what the home holds beforehand
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        QTest::newRow("first run") << "" << 0 << "has just been created empty";
        QTest::newRow("later run keeps the data") << "database" << 0 << "";
        QTest::newRow("file in the way") << "file" << 1 << "Creating the folder";
        QTest::newRow("velinor-initdb fails") << "failing initdb" << 1
                                              << "Creating the database failed: disk full";
    }
    void launcherPreparesTheFolderOnce()
    {
        QFETCH(QString, before);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        QTemporaryDir tmp;
        const QDir root(tmp.path());
        QVERIFY(root.mkpath("home") && root.mkpath("bin"));
        const QString folder = root.filePath("home/Velinor");
        const QString file = folder + "/db1.mdb";
        // Stands in for the program: says where it was started.
        script(root.filePath("bin/velinor"), "pwd > '" + root.filePath("started").toUtf8() + "'\n");
        if (before == "database") {
            QVERIFY(root.mkpath(folder));
            QCOMPARE(run(VELINOR_TOOLS_DIR "/velinor-initdb", {file}).exitCode, 0);
            Database(file).exec("INSERT INTO Users VALUES ('mario', 'pw')");
        } else if (before == "file") {
            QFile in(folder);
            QVERIFY(in.open(QIODevice::WriteOnly));
        } else if (before == "failing initdb") {
            script(root.filePath("bin/velinor-initdb"),
                   "for a; do file=$a; done; echo half > \"$file\"; echo disk full; exit 1\n");
        }

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", root.filePath("home"));
        env.insert("PATH", root.filePath("bin") + ":" VELINOR_TOOLS_DIR);
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        const Run launched = run(VELINOR_TOOLS_DIR "/velinor-launcher", {}, env);
        QVERIFY2(launched.exitCode == exitCode, qPrintable(launched.output));
        QVERIFY2(says.isEmpty() ? launched.output.isEmpty() : launched.output.contains(says),
                 qPrintable(launched.output));

        QFile started(root.filePath("started"));
        QCOMPARE(started.exists(), exitCode == 0);
        if (exitCode != 0) {
            QVERIFY(!QFileInfo(file).isFile());
            return;
        }
        QVERIFY(started.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLocal8Bit(started.readAll()).trimmed(), folder);
        Database db(file);
        QCOMPARE(db.scalar("SELECT count(*) FROM Ydummy").toInt(), 1);
        QCOMPARE(db.scalar("SELECT count(*) FROM Tires").toInt(), 0);
        QCOMPARE(db.scalar("SELECT count(*) FROM Users").toInt(), before == "database" ? 1 : 0);
        // The first database starts with the VAT rates and units, never more.
        QCOMPARE(db.scalar("SELECT count(*) FROM Sizes").toInt(), before == "database" ? 0 : 4);
    }

    // What velinor-initdb puts in a new file, by option.
    void initdbFillsTheNewFile_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("rates");
        QTest::addColumn<QString>("units");
        QTest::addColumn<bool>("sample"); // customers, articles, invoices, accounts
        QTest::newRow("empty") << QStringList{} << "" << "" << false;
        QTest::newRow("seed") << QStringList{"--seed"} << "22,10,5,4" << "pz,kg,m,l,conf" << false;
        QTest::newRow("demo") << QStringList{"--demo"} << "4,10,22" << "pz,kg,m,lt,conf" << true;
    }
    void initdbFillsTheNewFile()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, rates);
        QFETCH(QString, units);
        QFETCH(bool, sample);
        QTemporaryDir tmp;
        const QString file = tmp.filePath("db1.mdb");
        const Run made = run(VELINOR_TOOLS_DIR "/velinor-initdb", options + QStringList{file});
        QVERIFY2(made.exitCode == 0, qPrintable(made.output));
        Database db(file);
        auto list = [&db](const char* sql) {
            QStringList values;
            Statement st(db, QString::fromLatin1(sql));
            while (st.step())
                values << st.value(0).toString();
            return values.join(',');
        };
        QCOMPARE(list("SELECT Size FROM Sizes ORDER BY rowid"), rates);
        QCOMPARE(list("SELECT Pattern FROM Patterns ORDER BY rowid"), units);
        for (const char* table : {"Customers", "Tires", "Fatture", "Users", "Categories"})
            QCOMPARE(db.scalar(QString("SELECT count(*) FROM %1").arg(table)).toInt() > 0, sample);
        QVERIFY(run(VELINOR_TOOLS_DIR "/velinor-initdb", {"--seed", "--demo", tmp.filePath("x.mdb")})
                    .exitCode != 0);
    }

    void packageHoldsItsFiles_data()
    {
        QTest::addColumn<QString>("path");
        for (const char* p : {"velinor", "velinor-initdb", "velinor-backup", "velinor-launcher"})
            QTest::newRow(p) << QString("usr/bin/") + p;
        if (VELINOR_HAS_FATTURAPA)
            QTest::newRow("velinor-fatturapa") << "usr/bin/velinor-fatturapa";
        QTest::newRow("desktop entry") << "usr/share/applications/velinor.desktop";
        for (const char* size : {"scalable/apps/velinor.svg", "48x48/apps/velinor.png",
                                 "256x256/apps/velinor.png"})
            QTest::newRow(size) << QString("usr/share/icons/hicolor/") + size;
    }
    void packageHoldsItsFiles()
    {
        if (m_deb.isEmpty())
            QSKIP(qPrintable(m_skip));
        QFETCH(QString, path);
        QVERIFY2(QFileInfo(QDir(m_root).filePath(path)).isFile(), qPrintable(path));
    }

    void packageControl()
    {
        if (m_deb.isEmpty())
            QSKIP(qPrintable(m_skip));
        // Nothing beyond the programs, the entry and the icons: no libraries,
        // headers or tests of the build.
        const QString list = run("dpkg-deb", {"-c", m_deb}).output;
        for (const QString& line : list.split('\n', Qt::SkipEmptyParts)) {
            const QString path = line.section(' ', -1);
            QVERIFY2(path.endsWith('/') || path.startsWith("./usr/bin/velinor")
                         || path.startsWith("./usr/share/applications/")
                         || path.startsWith("./usr/share/icons/hicolor/"),
                     qPrintable(line));
        }
        // Dependencies computed from what the programs link.
        const QString depends = field("Depends");
        for (const char* p :
             {"libc6", "libqt6widgets6", "libqt6gui6", "libsqlite3-0", "libsodium23"})
            QVERIFY2(depends.contains(QString(p) + " (>= "), qPrintable(depends));
        QCOMPARE(field("Version"), QString(VELINOR_VERSION));
        QCOMPARE(QFileInfo(m_deb).fileName(),
                 QString("velinor_%1_%2.deb").arg(VELINOR_VERSION, field("Architecture")));
        const QStringList description = field("Description").split('\n');
        QVERIFY(description.size() > 4 && description.contains(" ."));
        QVERIFY(!description.at(1).contains(description.first()));
    }

    void desktopEntryStartsAPackagedProgram()
    {
        if (m_deb.isEmpty())
            QSKIP(qPrintable(m_skip));
        const QString entry = QDir(m_root).filePath("usr/share/applications/velinor.desktop");
        QFile file(entry);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        const QString exec = text.section("\nExec=", 1).section('\n', 0, 0).section(' ', 0, 0);
        const QString icon = text.section("\nIcon=", 1).section('\n', 0, 0);
        QVERIFY(QFileInfo(QDir(m_root).filePath("usr/bin/" + exec)).isExecutable());
        QVERIFY(QFile::exists(
            QDir(m_root).filePath("usr/share/icons/hicolor/scalable/apps/" + icon + ".svg")));
        // The stripped tools still work.
        const QString bin = QDir(m_root).filePath("usr/bin/");
        const QString db = m_work.filePath("a.mdb");
        QCOMPARE(run(bin + "velinor-initdb", {"--demo", db}).exitCode, 0);
        QCOMPARE(run(bin + "velinor-backup", {"--db", db, m_work.path()}).exitCode, 0);
        if (QStandardPaths::findExecutable("desktop-file-validate").isEmpty())
            QSKIP("desktop-file-validate is missing (package desktop-file-utils)");
        const Run valid = run("desktop-file-validate", {entry});
        QVERIFY2(valid.exitCode == 0 && valid.output.isEmpty(), qPrintable(valid.output));
    }
};

QTEST_GUILESS_MAIN(PackagingTest)
#include "tst_packaging.moc"
