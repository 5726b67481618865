// The administrator gate and the user login, driven through their widgets.

#include "app/password.h"
#include "app/start.h"
#include "tests/support.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>

using namespace velinor;
using namespace velinor::test;

class GatesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;

    QWidget* openLogin()
    {
        start();
        click(screen("frmAdmin"), "cmdEnter");
        return screen("frmUser");
    }

private slots:
    void init() { m_db = std::make_unique<TempDatabase>(); }
    void cleanup()
    {
        closeAll();
        m_db.reset();
    }

    void adminGate_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("opens");
        QTest::newRow("empty") << "" << true;
        QTest::newRow("space") << " " << false;
        QTest::newRow("word") << "admin" << false;
    }
    void adminGate()
    {
        QFETCH(QString, typed);
        QFETCH(bool, opens);
        Messages messages;
        start();
        QWidget* admin = screen("frmAdmin");
        QVERIFY(admin && admin->isVisible());
        QCOMPARE(admin->windowTitle(), QString("Password dell'amministratore di sistema"));
        auto* box = control<QLineEdit>(admin, "txtPassword");
        QCOMPARE(box->echoMode(), QLineEdit::Password);
        type(admin, "txtPassword", typed);
        QTest::keyClick(box, Qt::Key_Return);
        if (opens) {
            QCOMPARE(messages.count(), 0);
            QVERIFY(screen("frmUser"));
            QVERIFY(!screen("frmAdmin"));
        } else {
            QCOMPARE(messages.texts(), QStringList{"Invalid password"});
            QCOMPARE(messages.lastIcon(), msg::Icon::Critical);
            QVERIFY(screen("frmAdmin"));
            QVERIFY(!screen("frmUser"));
            QCOMPARE(box->selectedText(), typed);
        }
    }

    void login_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("succeeds");
        QTest::newRow("plain text row") << "mario" << "Segreto1" << true;
        QTest::newRow("hashed row") << "anna" << "p'w\"x" << true;
        QTest::newRow("user name case ignored") << "MARIO" << "Segreto1" << true;
        QTest::newRow("password case counted") << "mario" << "segreto1" << false;
        QTest::newRow("hash, wrong password") << "anna" << "P'w\"x" << false;
        QTest::newRow("empty password") << "mario" << "" << false;
        QTest::newRow("stored password empty") << "vuoto" << "" << false;
        QTest::newRow("unknown name, other's password") << "nobody" << "Segreto1" << false;
        QTest::newRow("quote in name") << "d'Amico" << "x" << true;
        QTest::newRow("quote injection") << "' OR '1'='1" << "Segreto1" << false;
        QTest::newRow("first of two equal names") << "doppio" << "primo" << true;
        QTest::newRow("second of two equal names") << "doppio" << "secondo" << false;
    }
    void login()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(bool, succeeds);
        m_db->exec("INSERT INTO Users VALUES ('mario', 'Segreto1'), (?, ?), ('vuoto', ''), "
                   "('d''Amico', 'x'), ('doppio', 'primo'), ('doppio', 'secondo')",
                   {"anna", password::hash("p'w\"x")});
        Messages messages;
        QWidget* login = openLogin();
        QVERIFY(login);
        QCOMPARE(login->windowTitle(), QString("User Password"));
        QCOMPARE(control<QLineEdit>(login, "txtUsername")->maxLength(), 50);
        QCOMPARE(control<QLineEdit>(login, "txtPassword")->maxLength(), 50);
        QCOMPARE(control<QLineEdit>(login, "txtPassword")->echoMode(), QLineEdit::Password);
        type(login, "txtUsername", user);
        type(login, "txtPassword", password);
        QTest::keyClick(control<QLineEdit>(login, "txtPassword"), Qt::Key_Return);
        if (succeeds) {
            QCOMPARE(messages.count(), 0);
            QVERIFY(screen("frmMenu"));
            QCOMPARE(screen("frmMenu")->windowTitle(), QString("Velinor"));
            QVERIFY(!screen("frmUser"));
        } else {
            QCOMPARE(messages.texts(), QStringList{"Invalid username or password."});
            QVERIFY(screen("frmUser"));
            QVERIFY(!screen("frmMenu"));
            auto* name = control<QLineEdit>(login, "txtUsername");
            QCOMPARE(name->selectedText(), user);
            QCOMPARE(control<QLineEdit>(login, "txtPassword")->text(), password);
        }
    }

    void emptyUsersRefusesEveryLogin()
    {
        Messages messages;
        QWidget* login = openLogin();
        type(login, "txtUsername", "a");
        type(login, "txtPassword", "a");
        click(login, "cmdEnter");
        QCOMPARE(messages.texts(), QStringList{"Invalid username or password."});
        click(login, "cmdNew");
        QVERIFY(screen("frmNew"));
        QVERIFY(!screen("frmUser"));
    }

    void badDatabaseKeepsTheGate_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("says");
        QTest::newRow("missing") << QByteArray() << "does not exist";
        QTest::newRow("text file") << QByteArray("hello, world\n") << "not an SQLite database";
        QByteArray jet(64, '\0');
        jet.replace(4, 15, "Standard Jet DB");
        QTest::newRow("access file") << jet << "Microsoft Access";
    }
    void badDatabaseKeepsTheGate()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, says);
        QFile::remove(m_db->path());
        if (!content.isEmpty()) {
            QFile f(m_db->path());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        Messages messages;
        start();
        click(screen("frmAdmin"), "cmdEnter");
        QCOMPARE(messages.count(), 1);
        QVERIFY2(messages.last().contains(says), qPrintable(messages.last()));
        QVERIFY2(messages.last().contains(m_db->path()), qPrintable(messages.last()));
        QVERIFY(screen("frmAdmin") && screen("frmAdmin")->isVisible());
        QVERIFY(!screen("frmUser"));
    }
};

QTEST_MAIN(GatesTest)
#include "tst_gates.moc"
