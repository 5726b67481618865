// The customers screen, driven through its widgets on a real file.

#include "app/navigation.h"
#include "reports/reportwindow.h"
#include "tests/support.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>

using namespace velinor;
using namespace velinor::test;

namespace {

// What can be used: N A S C E R (the buttons in order), L(ist), W (name,
// address and telephone writable); '?' when a group disagrees.
QString usable(QWidget* s)
{
    const QStringList groups{"cmdAdd", "cmdUpdate", "cmdSave", "cmdCancel", "cmdDelete",
                             "cmdReport", "DataGrid1", "txtName txtAddress txtNumber"};
    QString state;
    for (int i = 0; i < groups.size(); ++i) {
        const QStringList names = groups[i].split(' ');
        int on = 0;
        for (const QString& name : names) {
            auto* w = control<QWidget>(s, name);
            auto* box = qobject_cast<QLineEdit*>(w);
            on += (box ? !box->isReadOnly() : w->isEnabled()) ? 1 : 0;
        }
        if (on > 0)
            state += on == names.size() ? QChar("NASCERLW"[i]) : QChar('?');
    }
    return state;
}

void clickRow(QWidget* s, int row)
{
    auto* view = control<QTableView>(s, "DataGrid1");
    const QRect r = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
}

QString text(QWidget* s, const QString& box) { return control<QLineEdit>(s, box)->text(); }

void fillRequired(QWidget* s, const QString& name)
{
    type(s, "txtName", name);
    type(s, "txtAddress", "Via dell'Orto 3");
    type(s, "txtNumber", "055 123456");
}

} // namespace

class CustomersTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;

    void addCustomer(const QString& code, const QString& name, const QString& vat = {})
    {
        m_db->exec("INSERT INTO Customers (\"Customer Code\", Cliente, Indirizzo, NumeroTelefonico, "
                   "PartitaIva) VALUES (?, ?, 'Via Roma 1', '06 1234', ?)",
                   {code, name, vat});
    }
    QString stored(const QString& code, const QString& field)
    {
        return m_db->scalar(QString("SELECT \"%1\" FROM Customers WHERE \"Customer Code\" = ?")
                                .arg(field), {code}).toString();
    }

private slots:
    void init() { m_db = std::make_unique<TempDatabase>(); }
    void cleanup()
    {
        closeAll();
        m_db.reset();
    }

    void firstAndLastCustomers()
    {
        Messages messages;
        QWidget* s = nav::show("frmCustomer");
        QCOMPARE(usable(s), QString("N"));
        for (int i = 0; i < 2; ++i) { // the same name twice is accepted
            click(s, "cmdAdd");
            QCOMPARE(usable(s), QString("SCW"));
            QCOMPARE(s->focusWidget(), control<QWidget>(s, "txtName"));
            const QString code = text(s, "TXTCODE");
            QVERIFY2(QRegularExpression("^CUS\\d{1,6}[A-Z]$").match(code).hasMatch(), qPrintable(code));
            fillRequired(s, "L'Arte d'Oro");
            click(s, "cmdSave");
            QCOMPARE(messages.texts(), QStringList{});
            QCOMPARE(usable(s), QString("NAERL"));
        }
        QCOMPARE(m_db->column("Customers", "Cliente"), QStringList(2, "L'Arte d'Oro"));
        QCOMPARE(m_db->column("Customers", "cap"), QStringList(2, ""));

        s = nav::restart(s);
        QCOMPARE(text(s, "txtName"), QString("L'Arte d'Oro"));
        QCOMPARE(text(s, "txtAddress"), QString("Via dell'Orto 3"));
        click(s, "cmdDelete");
        QCOMPARE(m_db->count("Customers"), 1);
        QCOMPARE(s->focusWidget(), control<QWidget>(s, "DataGrid1"));
        // Enter now starts a new customer instead of deleting the next one.
        QTest::keyClick(s->focusWidget(), Qt::Key_Return);
        QCOMPARE(m_db->count("Customers"), 1);
        click(s, "cmdCancel");
        s = screen("frmCustomer");
        click(s, "cmdDelete");
        QCOMPARE(m_db->count("Customers"), 0);
        QCOMPARE(usable(s), QString("N"));
        QCOMPARE(s->focusWidget(), control<QWidget>(s, "cmdAdd"));
    }

    void nameAddressAndTelephoneRequired_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("phone");
        QTest::newRow("name only") << "Rossi Srl" << "" << "";
        QTest::newRow("no address") << "Rossi Srl" << "" << "0541 22";
        QTest::newRow("no telephone") << "Rossi Srl" << "Via Po 2" << "";
        QTest::newRow("no name") << "" << "Via Po 2" << "0541 22";
        QTest::newRow("name of spaces") << "   " << "Via Po 2" << "0541 22";
    }
    void nameAddressAndTelephoneRequired()
    {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, phone);
        Messages messages;
        QWidget* s = nav::show("frmCustomer");
        click(s, "cmdAdd");
        type(s, "txtName", name);
        type(s, "txtAddress", address);
        type(s, "txtNumber", phone);
        type(s, "txtCittà", "Rimini");
        click(s, "cmdSave");
        QCOMPARE(messages.texts(), QStringList{"Invalid data."});
        QCOMPARE(messages.lastIcon(), msg::Icon::Critical);
        QCOMPARE(s->focusWidget(), control<QWidget>(s, "txtName"));
        QCOMPARE(usable(s), QString("SCW"));
        QCOMPARE(text(s, "txtAddress"), address);
        QCOMPARE(text(s, "txtCittà"), QString("Rimini"));
        QCOMPARE(m_db->count("Customers"), 0);
    }

    // A value that fails its check is marked while typed and on display,
    // and saved all the same.
    void taxCodeWarnings_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("problem"); // a word of the tooltip; empty: no mark
        QTest::newRow("iva valid") << "txtiva" << "12345678903" << "";
        QTest::newRow("iva check digit") << "txtiva" << "12345678904" << "check digit";
        QTest::newRow("iva too short") << "txtiva" << "1234567890" << "11 digits";
        QTest::newRow("cf person") << "txtfiscale" << "VLNTST85M41F205E" << "";
        QTest::newRow("cf omocodia") << "txtfiscale" << "vlntst85m41f20rz" << "";
        QTest::newRow("cf company") << "txtfiscale" << "12345678903" << "";
        QTest::newRow("cf check letter") << "txtfiscale" << "VLNTST85M41F205F" << "check letter";
        QTest::newRow("cf 15 characters") << "txtfiscale" << "VLNTST85M41F205" << "16 characters";
    }
    void taxCodeWarnings()
    {
        QFETCH(QString, box);
        QFETCH(QString, value);
        QFETCH(QString, problem);
        addCustomer("CUS1A", "Alfa");
        addCustomer("CUS2B", "Beta");
        Messages messages;
        QWidget* s = nav::show("frmCustomer");
        auto* mark = control<QLabel>(s, box + "Mark");
        QVERIFY(!mark->isVisible());
        type(s, box, value);
        QCOMPARE(mark->isVisible(), !problem.isEmpty());
        QVERIFY2(mark->toolTip().contains(problem), qPrintable(mark->toolTip()));
        type(s, box, "");
        QVERIFY(!mark->isVisible());
        type(s, box, value);
        click(s, "cmdUpdate");
        click(s, "cmdSave");
        QCOMPARE(messages.texts(), QStringList{});
        QCOMPARE(stored("CUS1A", box == "txtiva" ? "PartitaIva" : "CodiceFiscale"), value);
        clickRow(s, 1);
        QVERIFY(!mark->isVisible());
        clickRow(s, 0);
        QCOMPARE(mark->isVisible(), !problem.isEmpty());
    }

    void refusedWriteKeepsEverything_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("state");
        QTest::newRow("new") << "new" << "Saving the customer failed: " << "SCW";
        QTest::newRow("modify") << "modify" << "Saving the customer failed: " << "SCW";
        QTest::newRow("typed while browsing, row moved")
            << "move" << "Writing the changes of the customer failed: " << "NAERL";
        QTest::newRow("delete") << "delete" << "Deleting the customer failed: " << "NAERL";
    }
    void refusedWriteKeepsEverything()
    {
        QFETCH(QString, operation);
        QFETCH(QString, message);
        QFETCH(QString, state);
        addCustomer("CUS1A", "Alfa");
        addCustomer("CUS2B", "Beta");
        Messages messages;
        QWidget* s = nav::show("frmCustomer");
        auto act = [&] {
            if (operation == "move")
                clickRow(s, 1);
            else if (operation == "delete")
                click(s, "cmdDelete");
            else
                click(s, "cmdSave");
        };
        if (operation == "new") {
            click(s, "cmdAdd");
            fillRequired(s, "Ca' Nova");
        } else if (operation == "modify") {
            click(s, "cmdUpdate");
            type(s, "txtName", "Ca' Nova");
        }
        type(s, "txtcap", "47921");
        m_db->exec("BEGIN IMMEDIATE");
        act();
        QCOMPARE(messages.count(), 1);
        QVERIFY2(messages.last().startsWith(message), qPrintable(messages.last()));
        QEvent activate(QEvent::WindowActivate); // as when a real message box closes
        QApplication::sendEvent(s, &activate);
        QCOMPARE(usable(s), state);
        QCOMPARE(text(s, "txtcap"), QString("47921"));
        if (operation != "move" && operation != "delete")
            QCOMPARE(text(s, "txtName"), QString("Ca' Nova"));
        m_db->exec("ROLLBACK");
        act();
        QCOMPARE(messages.count(), 1);
        if (operation == "delete") {
            QCOMPARE(m_db->column("Customers", "Cliente"), QStringList{"Beta"});
            return;
        }
        QCOMPARE(m_db->count("Customers"), operation == "new" ? 3 : 2);
        QCOMPARE(m_db->scalar("SELECT count(*) FROM Customers WHERE cap = '47921'").toInt(), 1);
        if (operation != "move")
            QCOMPARE(m_db->scalar("SELECT cap FROM Customers WHERE Cliente = ?", {"Ca' Nova"})
                         .toString(), QString("47921"));
    }

    void printShowsTheListThenRestarts()
    {
        addCustomer("CUS1A", "Alfa");
        QPointer<QWidget> s = nav::show("frmCustomer");
        click(s, "cmdReport");
        auto* window = reports::ReportWindow::find("DataReport4");
        QVERIFY(window && window->isVisible());
        QVERIFY(!s->isEnabled());
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!s);
        QWidget* fresh = screen("frmCustomer");
        QVERIFY(fresh && fresh->isVisible() && fresh->isEnabled());
        QCOMPARE(usable(fresh), QString("NAERL"));
    }

    void browseTypingWrittenOnMoveDiscardedOnCancel()
    {
        addCustomer("CUS1A", "Alfa");
        addCustomer("CUS2B", "Beta");
        QWidget* s = nav::show("frmCustomer");
        type(s, "txtCittà", "Forli");
        clickRow(s, 1);
        QCOMPARE(stored("CUS1A", "città"), QString("Forli"));
        type(s, "txtlistino", "4"); // stored as typed
        click(s, "cmdAdd");
        QCOMPARE(stored("CUS2B", "listino"), QString("4"));
        fillRequired(s, "Zeta");
        click(s, "cmdCancel");
        s = screen("frmCustomer");
        QCOMPARE(m_db->count("Customers"), 2);
        QCOMPARE(text(s, "txtName"), QString("Alfa"));
        QCOMPARE(usable(s), QString("NAERL"));
    }
};

QTEST_MAIN(CustomersTest)
#include "tst_customers.moc"
