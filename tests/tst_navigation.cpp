// The menu and the way screens hand over to each other.

#include "app/navigation.h"
#include "app/start.h"
#include "tests/support.h"

#include <QApplication>
#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

using namespace velinor;
using namespace velinor::test;

class NavigationTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;

    QWidget* logIn()
    {
        start();
        click(screen("frmAdmin"), "cmdEnter");
        type(screen("frmUser"), "txtUsername", "mario");
        type(screen("frmUser"), "txtPassword", "pw");
        click(screen("frmUser"), "cmdEnter");
        return screen("frmMenu");
    }

    static int openWindows()
    {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += w->isVisible() ? 1 : 0;
        return n;
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TempDatabase>();
        m_db->exec("INSERT INTO Users VALUES ('mario', 'pw')");
    }
    void cleanup()
    {
        closeAll();
        m_db.reset();
    }

    void menuLayout()
    {
        QWidget* menu = logIn();
        QVERIFY(menu);
        QCOMPARE(menu->windowTitle(), QString("Velinor"));
        const QStringList names{"cmdTire", "cmdCustomer", "cmdInvoice", "cmdMonthly", "cmdOrder"};
        const QStringList captions{"Aggiornamento Articoli", "Aggiornamento Clienti",
                                   "Fattura di Vendita", "Statistiche",
                                   "Stampe Ordini / Preventivi"};
        menu->resize(500, 400);
        QCoreApplication::processEvents();
        QPushButton* previous = nullptr;
        for (int i = 0; i < names.size(); ++i) {
            auto* b = control<QPushButton>(menu, names[i]);
            QCOMPARE(b->text(), captions[i]);
            QCOMPARE(b->font().family(), QString("Verdana"));
            if (previous) {
                QVERIFY(b->y() > previous->y());
                QCOMPARE(b->x(), previous->x());
                QCOMPARE(b->size(), previous->size());
            }
            previous = b;
        }
        QVERIFY(menu->findChild<QWidget*>("Frame1"));
        QVERIFY(menu->findChild<QWidget*>("Image1"));
    }

    void menuButtonOpensAndBackReturns_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("caption");
        QTest::newRow("articles") << "cmdTire" << "frmTire" << "Aggiornamento Articoli - ";
        QTest::newRow("customers") << "cmdCustomer" << "frmCustomer" << "Aggiornamento Clienti - ";
        QTest::newRow("invoices") << "cmdInvoice" << "frmFatture" << "Velinor - ";
        QTest::newRow("statistics") << "cmdMonthly" << "frmMonthly" << "Monthly Earnings";
        QTest::newRow("orders") << "cmdOrder" << "frmordini" << "Velinor - ";
    }
    void menuButtonOpensAndBackReturns()
    {
        QFETCH(QString, button);
        QFETCH(QString, target);
        QFETCH(QString, caption);
        Messages messages;
        QWidget* menu = logIn();
        click(menu, button);
        QWidget* opened = screen(target);
        QVERIFY(opened && opened->isVisible());
        QVERIFY(opened->windowTitle().startsWith(caption));
        QVERIFY(!screen("frmMenu"));
        QCOMPARE(openWindows(), 1);

        QPointer<QWidget> first = opened;
        click(opened, "cmdBack");
        QVERIFY(screen("frmMenu"));
        QVERIFY(!screen(target));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(first.isNull()); // unloaded, not hidden

        click(screen("frmMenu"), button);
        QVERIFY(screen(target));
        QVERIFY(screen(target) != first.data());
        QCOMPARE(messages.count(), 0);
    }

    // A screen whose data cannot be read is named as the user knows it.
    void unreadableScreenIsNamedByItsCaption_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("caption");
        QTest::newRow("articles") << "Tires" << "frmMenu" << "frmTire" << "Aggiornamento Articoli";
        QTest::newRow("VAT rates") << "Sizes" << "frmTire" << "frmSize" << "Tire Size Data Entry";
    }
    void unreadableScreenIsNamedByItsCaption()
    {
        QFETCH(QString, table);
        QFETCH(QString, from);
        QFETCH(QString, target);
        QFETCH(QString, caption);
        Messages messages;
        logIn();
        QWidget* left = nav::go(screen("frmMenu"), from);
        m_db->exec(QString("DROP TABLE %1").arg(table));
        QVERIFY(!nav::go(left, target));
        QCOMPARE(messages.count(), 1);
        const QString text = messages.last();
        QVERIFY2(text.startsWith(QString("Opening \"%1\" failed: ").arg(caption)), qPrintable(text));
        QVERIFY2(text.contains(table) && text.endsWith('.'), qPrintable(text));
        QVERIFY(!text.contains(target));
        QCOMPARE(screen(from), left);
        QCOMPARE(openWindows(), 1);
    }

    // Each screen opens where the one it replaces was, centred on it, and
    // whole on the desktop; the first one in the middle of the desktop.
    void screensTakeThePlaceOfTheOneTheyReplace_data()
    {
        QTest::addColumn<QPoint>("menuCorner"); // where the user moved the menu
        QTest::newRow("in the middle") << QPoint(-1, -1);
        QTest::newRow("moved near the top left") << QPoint(60, 40);
        QTest::newRow("dragged to the bottom right") << QPoint(10000, 10000);
    }
    void screensTakeThePlaceOfTheOneTheyReplace()
    {
        QFETCH(QPoint, menuCorner);
        const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
        // The first window's frame is not known before it shows: a few pixels.
        auto near = [](QPoint a, QPoint b, int by) { return (a - b).manhattanLength() <= by; };
        start();
        QVERIFY(near(screen("frmAdmin")->frameGeometry().center(), desktop.center(), 4));
        QWidget* menu = logIn();
        QVERIFY(near(menu->frameGeometry().center(), desktop.center(), 4));
        if (menuCorner.x() >= 0)
            menu->move(menuCorner);
        const QRect left = menu->frameGeometry();
        QWidget* current = menu;
        for (const char* target : {"frmCategory", "frmSize"}) {
            QWidget* opened = current = nav::go(current, target);
            const QRect frame = opened->frameGeometry();
            QVERIFY2(desktop.contains(frame), qPrintable(QString("%1 at %2,%3 %4x%5").arg(target)
                                                             .arg(frame.x()).arg(frame.y())
                                                             .arg(frame.width()).arg(frame.height())));
            if (desktop.contains(left))
                QVERIFY(near(frame.center(), left.center(), 1));
        }
        const QRect before = current->frameGeometry();
        QCOMPARE(nav::restart(current)->frameGeometry(), before);
    }

    void restartCreatesAFreshInstance()
    {
        QWidget* menu = logIn();
        click(menu, "cmdTire");
        QPointer<QWidget> old = screen("frmTire");
        old->setProperty("marked", true);
        QWidget* again = nav::restart(old);
        QVERIFY(again);
        QVERIFY(!again->property("marked").isValid());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(old.isNull());
        QCOMPARE(openWindows(), 1);
    }

    void closingTheLastWindowEndsTheProgram_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("admin gate") << "admin";
        QTest::newRow("login") << "login";
        QTest::newRow("menu") << "menu";
        QTest::newRow("working screen") << "working";
    }
    void closingTheLastWindowEndsTheProgram()
    {
        QFETCH(QString, path);
        // Run the real event loop: the program must not end while screens
        // hand over, and must end when the last one is closed.
        bool timedOut = false;
        int windowsBeforeClose = -1;
        QTimer::singleShot(0, qApp, [&] {
            start();
            if (path != "admin")
                click(screen("frmAdmin"), "cmdEnter");
            if (path == "menu" || path == "working") {
                type(screen("frmUser"), "txtUsername", "mario");
                type(screen("frmUser"), "txtPassword", "pw");
                click(screen("frmUser"), "cmdEnter");
            }
            if (path == "working")
                click(screen("frmMenu"), "cmdCustomer");
        });
        QTimer::singleShot(50, qApp, [&] {
            windowsBeforeClose = openWindows();
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible())
                    w->close(); // what the close box does
        });
        QTimer::singleShot(5000, qApp, [&] {
            timedOut = true;
            qApp->quit();
        });
        qApp->exec();
        QCOMPARE(windowsBeforeClose, 1);
        QVERIFY(!timedOut);
    }
};

QTEST_MAIN(NavigationTest)
#include "tst_navigation.moc"
