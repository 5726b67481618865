// New login accounts, driven through the real windows.

#include "app/password.h"
#include "app/start.h"
#include "tests/support.h"

#include <QApplication>
#include <QLineEdit>

using namespace velinor;
using namespace velinor::test;

class NewAccountTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;

    QWidget* openNewAccount()
    {
        start();
        click(screen("frmAdmin"), "cmdEnter");
        click(screen("frmUser"), "cmdNew");
        return screen("frmNew");
    }

    void fill(QWidget* form, const QString& name, const QString& pw, const QString& confirm)
    {
        type(form, "txtUsername", name);
        type(form, "txtPassword", pw);
        type(form, "txtConfirm", confirm);
    }

private slots:
    void init() { m_db = std::make_unique<TempDatabase>(); }
    void cleanup()
    {
        closeAll();
        m_db.reset();
    }

    void screenLayout()
    {
        QWidget* form = openNewAccount();
        QVERIFY(form);
        QVERIFY(!screen("frmUser"));
        QCOMPARE(form->windowTitle(), QString("New User Account"));
        for (const char* box : {"txtUsername", "txtPassword", "txtConfirm"})
            QCOMPARE(control<QLineEdit>(form, box)->maxLength(), 50);
        QCOMPARE(control<QLineEdit>(form, "txtPassword")->echoMode(), QLineEdit::Password);
        QCOMPARE(control<QLineEdit>(form, "txtConfirm")->echoMode(), QLineEdit::Password);
        QVERIFY(!control<QLineEdit>(form, "txtUsername2")->isVisible());
    }

    void enter_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("pw");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("message"); // empty: saved
        QTest::newRow("one character each") << "x" << "y" << "y" << "";
        QTest::newRow("quote in the name") << "d'Amico" << "pw" << "pw" << "";
        QTest::newRow("confirmation differs in case") << "nuovo" << "Segreto" << "segreto"
                                                      << "Invalid data.";
        QTest::newRow("empty confirmation") << "nuovo" << "pw" << "" << "Invalid data.";
        QTest::newRow("empty password") << "nuovo" << "" << "" << "Invalid data.";
        QTest::newRow("empty name") << "" << "pw" << "pw" << "Invalid data.";
        QTest::newRow("existing name") << "mario" << "pw" << "pw" << "Username already in used.";
        QTest::newRow("existing name, other case") << "MARIO" << "pw" << "pw"
                                                   << "Username already in used.";
        QTest::newRow("existing name with quote") << "o'Neil" << "pw" << "pw"
                                                  << "Username already in used.";
        QTest::newRow("existing name, bad confirmation") << "mario" << "pw" << "px"
                                                         << "Invalid data.";
    }
    void enter()
    {
        QFETCH(QString, name);
        QFETCH(QString, pw);
        QFETCH(QString, confirm);
        QFETCH(QString, message);
        m_db->exec("INSERT INTO Users VALUES ('mario', 'old'), ('o''Neil', 'old')");
        Messages messages;
        QWidget* form = openNewAccount();
        fill(form, name, pw, confirm);
        QTest::keyClick(control<QLineEdit>(form, "txtConfirm"), Qt::Key_Return);
        if (message.isEmpty()) {
            QCOMPARE(messages.count(), 0);
            QCOMPARE(m_db->count("Users"), 3);
            const QString stored = m_db->scalar("SELECT Password FROM Users WHERE Username = ?",
                                                {name}).toString();
            QVERIFY(stored != pw);
            QVERIFY(stored.startsWith("$argon2id$"));
            QVERIFY(password::matches(pw, stored));
            QVERIFY(!screen("frmNew"));
            QWidget* login = screen("frmUser");
            QVERIFY(login);
            QVERIFY(control<QLineEdit>(login, "txtUsername")->text().isEmpty());
        } else {
            QCOMPARE(messages.texts(), QStringList{message});
            QCOMPARE(messages.lastIcon(), msg::Icon::Critical);
            QCOMPARE(m_db->count("Users"), 2);
            QVERIFY(screen("frmNew"));
            QCOMPARE(control<QLineEdit>(form, "txtUsername")->text(), name);
            QCOMPARE(control<QLineEdit>(form, "txtPassword")->text(), pw);
            QCOMPARE(control<QLineEdit>(form, "txtConfirm")->text(), confirm);
        }
    }

    void firstAccountLogsInAtOnce()
    {
        Messages messages;
        QWidget* form = openNewAccount();
        fill(form, "anna", "Pa55", "Pa55");
        click(form, "cmdEnter");
        QCOMPARE(m_db->count("Users"), 1);
        QWidget* login = screen("frmUser");
        type(login, "txtUsername", "anna");
        type(login, "txtPassword", "Pa55");
        click(login, "cmdEnter");
        QCOMPARE(messages.count(), 0);
        QVERIFY(screen("frmMenu"));
    }

    void refusalThenActivationWritesOneAccount()
    {
        Messages messages;
        QWidget* form = openNewAccount();
        fill(form, "anna", "pw", "px");
        click(form, "cmdEnter");
        QCOMPARE(messages.count(), 1);
        // The window is activated again when the message closes.
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(form, &activate);
        QApplication::sendEvent(form, &activate);
        QCOMPARE(control<QLineEdit>(form, "txtUsername")->text(), QString("anna"));
        type(form, "txtConfirm", "pw");
        click(form, "cmdEnter");
        QCOMPARE(messages.count(), 1);
        QCOMPARE(m_db->column("Users", "Username"), QStringList{"anna"});
    }

    void cancelAndCloseWriteNothing_data()
    {
        QTest::addColumn<bool>("viaCancel");
        QTest::newRow("Cancella") << true;
        QTest::newRow("close box") << false;
    }
    void cancelAndCloseWriteNothing()
    {
        QFETCH(bool, viaCancel);
        QWidget* form = openNewAccount();
        fill(form, "anna", "pw", "pw");
        if (viaCancel) {
            click(form, "cmdCancel");
            QVERIFY(screen("frmUser"));
            QVERIFY(!screen("frmNew"));
        } else {
            form->close();
        }
        closeAll();
        QCOMPARE(m_db->count("Users"), 0);
    }

    void lockedFileKeepsTheTypedAccount()
    {
        Messages messages;
        QWidget* form = openNewAccount();
        fill(form, "anna", "pw", "pw");
        Database other(m_db->path());
        other.exec("BEGIN IMMEDIATE");
        click(form, "cmdEnter");
        other.exec("ROLLBACK");
        QCOMPARE(messages.count(), 1);
        QVERIFY2(messages.last().startsWith("Saving the new account failed"), qPrintable(messages.last()));
        QVERIFY(screen("frmNew"));
        QCOMPARE(control<QLineEdit>(form, "txtPassword")->text(), QString("pw"));
        click(form, "cmdEnter");
        QCOMPARE(messages.count(), 1);
        QCOMPARE(m_db->count("Users"), 1);
        QVERIFY(password::matches("pw", m_db->scalar("SELECT Password FROM Users").toString()));
    }
};

QTEST_MAIN(NewAccountTest)
#include "tst_newaccount.moc"
