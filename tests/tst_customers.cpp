// The customers screen, driven through its widgets on a real file.

#include "app/navigation.h"
#include "tests/support.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTableView>

using namespace velinor;
using namespace velinor::test;

namespace {

// What can be used: N A S C E R (the buttons in order), L(ist), W (name writable).
QString usable(QWidget* s)
{
    const QStringList names{"cmdAdd", "cmdUpdate", "cmdSave", "cmdCancel", "cmdDelete",
                            "cmdReport", "DataGrid1", "txtName"};
    QString state;
    for (int i = 0; i < names.size(); ++i) {
        auto* w = control<QWidget>(s, names[i]);
        auto* box = qobject_cast<QLineEdit*>(w);
        if (box ? !box->isReadOnly() : w->isEnabled())
            state += QChar("NASCERLW"[i]);
    }
    return state;
}

void clickRow(QWidget* s, int row)
{
    auto* view = control<QTableView>(s, "DataGrid1");
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(row, 0)).center());
}

QString text(QWidget* s, const QString& box) { return control<QLineEdit>(s, box)->text(); }

void fill(QWidget* s, const QString& name, const QString& address = "Via dell'Orto 3",
          const QString& phone = "055 123456")
{
    type(s, "txtName", name);
    type(s, "txtAddress", address);
    type(s, "txtNumber", phone);
}

} // namespace

class CustomersTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;

    void seed()
    {
        m_db->exec("INSERT INTO Customers (\"Customer Code\", Cliente, Indirizzo, NumeroTelefonico) "
                   "VALUES ('CUS1A', 'Alfa', 'Via Roma 1', '06 1234'), ('CUS2B', 'Beta', 'Via Po 2', '011 9')");
    }
    QString stored(const QString& field)
    {
        return m_db->scalar(QString("SELECT \"%1\" FROM Customers WHERE \"Customer Code\" = 'CUS1A'")
                                .arg(field)).toString();
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
            QVERIFY(QRegularExpression("^CUS\\d{1,6}[A-Z]$").match(text(s, "TXTCODE")).hasMatch());
            fill(s, "L'Arte d'Oro");
            click(s, "cmdSave");
            QCOMPARE(usable(s), QString("NAERL"));
        }
        QCOMPARE(messages.texts(), QStringList{});
        QCOMPARE(m_db->column("Customers", "Cliente"), QStringList(2, "L'Arte d'Oro"));
        click(s, "cmdDelete");
        // Enter after a delete starts a new customer, never deletes the next one.
        QCOMPARE(s->focusWidget(), control<QWidget>(s, "DataGrid1"));
        QTest::keyClick(s->focusWidget(), Qt::Key_Return);
        QCOMPARE(usable(s), QString("SCW"));
        click(s, "cmdCancel"); // and Cancel drops it
        s = screen("frmCustomer");
        QCOMPARE(m_db->count("Customers"), 1);
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
        fill(s, name, address, phone);
        type(s, "txtcap", "47921");
        click(s, "cmdSave");
        QCOMPARE(messages.texts(), QStringList{"Invalid data."});
        QCOMPARE(s->focusWidget(), control<QWidget>(s, "txtName"));
        QCOMPARE(usable(s), QString("SCW"));
        QCOMPARE(text(s, "txtAddress") + text(s, "txtcap"), address + "47921");
        QCOMPARE(m_db->count("Customers"), 0);
    }

    // Marked as typed and as shown from the record, saved all the same.
    void taxCodeWarnings_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("problem"); // a word of the tooltip; empty: no mark
        QTest::newRow("iva valid") << "txtiva" << "PartitaIva" << "12345678903" << "";
        QTest::newRow("iva check digit") << "txtiva" << "PartitaIva" << "12345678904" << "check digit";
        QTest::newRow("cf omocodia") << "txtfiscale" << "CodiceFiscale" << "vlntst85m41f20rz" << "";
        QTest::newRow("cf 15 long") << "txtfiscale" << "CodiceFiscale" << "VLNTST85M41F205" << "16 characters";
    }
    void taxCodeWarnings()
    {
        QFETCH(QString, box);
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, problem);
        seed();
        Messages messages;
        QWidget* s = nav::show("frmCustomer");
        auto* mark = control<QLabel>(s, box + "Mark");
        QVERIFY(!mark->isVisible());
        type(s, box, value);
        QCOMPARE(mark->isVisible(), !problem.isEmpty());
        QVERIFY2(mark->toolTip().contains(problem), qPrintable(mark->toolTip()));
        click(s, "cmdUpdate");
        click(s, "cmdSave");
        QCOMPARE(messages.texts(), QStringList{});
        QCOMPARE(stored(field), value);
        clickRow(s, 1);
        QVERIFY(!mark->isVisible());
        clickRow(s, 0);
        QCOMPARE(mark->isVisible(), !problem.isEmpty());
    }

    // The file locked by another program: the message names what failed,
    // the screen keeps its state and the typed text, and the same action
    // works once the file is free.
    void refusedWriteKeepsEverything_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("state");
        QTest::newRow("new") << "cmdAdd" << "Saving the customer failed: " << "SCW";
        QTest::newRow("modify") << "cmdUpdate" << "Saving the customer failed: " << "SCW";
        QTest::newRow("typed, row moved") << "" << "Writing the changes of the customer failed: " << "NAERL";
        QTest::newRow("delete") << "cmdDelete" << "Deleting the customer failed: " << "NAERL";
    }
    void refusedWriteKeepsEverything()
    {
        QFETCH(QString, operation);
        QFETCH(QString, message);
        QFETCH(QString, state);
        seed();
        Messages messages;
        QWidget* s = nav::show("frmCustomer");
        const bool editing = state == "SCW";
        if (editing) {
            click(s, operation);
            fill(s, "Ca' Nova");
        }
        type(s, "txtcap", "47921");
        auto act = [&] {
            if (operation.isEmpty())
                clickRow(s, 1);
            else
                click(s, editing ? "cmdSave" : operation);
        };
        m_db->exec("BEGIN IMMEDIATE");
        act();
        QCOMPARE(messages.count(), 1);
        QVERIFY2(messages.last().startsWith(message), qPrintable(messages.last()));
        QEvent activate(QEvent::WindowActivate); // as when a real message box closes
        QApplication::sendEvent(s, &activate);
        QCOMPARE(usable(s), state);
        QCOMPARE(text(s, "txtcap"), QString("47921"));
        m_db->exec("ROLLBACK");
        act();
        QCOMPARE(messages.count(), 1);
        const QString written = "SELECT Cliente FROM Customers WHERE cap = '47921'";
        if (operation == "cmdDelete")
            QCOMPARE(m_db->column("Customers", "Cliente"), QStringList{"Beta"});
        else
            QCOMPARE(m_db->scalar(written).toString(), QString(editing ? "Ca' Nova" : "Alfa"));
    }
};

QTEST_MAIN(CustomersTest)
#include "tst_customers.moc"
