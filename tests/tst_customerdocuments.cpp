// A customer that saved documents name is kept: "Elimina" refuses it, and a
// document is not saved for a customer deleted meanwhile.

#include "app/navigation.h"
#include "tests/support.h"

#include <QLineEdit>
#include <QTableView>

using namespace velinor;
using namespace velinor::test;

class CustomerDocumentsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;

    void document(const QString& code, const QString& name)
    {
        m_db->exec("INSERT INTO Fatture (\"Numero Ordine\", Cliente, \"Codice Cliente\") VALUES "
                   "('ORD' || (SELECT count(*) FROM Fatture), ?, ?)",
                   {name, code});
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TempDatabase>();
        m_db->exec("INSERT INTO Customers (\"Customer Code\", Cliente, listino) VALUES "
                   "('CUS1A', 'Bottega Rossi', '1'), ('CUS2B', 'Bottega Rossi', '1')");
        m_db->exec("INSERT INTO Tires (\"Tire Code\", descrizione, Iva, listino1) VALUES "
                   "('TIR1A', 'Vite', 22, 10)");
    }
    void cleanup()
    {
        closeAll();
        m_db.reset();
    }

    // The first "Bottega Rossi" (CUS1A) is the one "Elimina" is pressed on;
    // the other has the same name and a code of its own.
    void deleteRefused_data()
    {
        QTest::addColumn<QStringList>("documents"); // code:name of each saved document
        QTest::addColumn<QString>("message");
        QTest::newRow("none") << QStringList{} << QString();
        QTest::newRow("one by code") << QStringList{"CUS1A:Bottega Rossi"}
                                     << "Bottega Rossi cannot be deleted: 1 saved document names this customer.";
        QTest::newRow("by code and by name")
            << QStringList{"CUS1A:Bottega Rossi", ":Bottega Rossi", "CUS1A:Altro nome"}
            << "Bottega Rossi cannot be deleted: 3 saved documents name this customer.";
        QTest::newRow("the other's only") << QStringList{"CUS2B:Bottega Rossi"} << QString();
    }
    void deleteRefused()
    {
        QFETCH(QStringList, documents);
        QFETCH(QString, message);
        for (const QString& d : documents)
            document(d.section(':', 0, 0), d.section(':', 1));
        Messages messages;
        QWidget* s = nav::show("frmCustomer");
        auto* list = control<QTableView>(s, "DataGrid1");
        const int row = list->model()->data(list->model()->index(0, 0)).toString() == "CUS1A" ? 0 : 1;
        clickRow(s, "DataGrid1", row);
        click(s, "cmdDelete");
        QCOMPARE(messages.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
        QCOMPARE(m_db->column("Customers", "Customer Code"),
                 message.isEmpty() ? QStringList{"CUS2B"} : (QStringList{"CUS1A", "CUS2B"}));
        QCOMPARE(list->model()->rowCount(), message.isEmpty() ? 1 : 2);
    }

    // Another copy deleted the customer while the document was entered.
    void saveForDeletedCustomer()
    {
        Messages messages;
        QWidget* s = nav::show("frmFatture");
        click(s, "cmdAdd");
        clickRow(s, "DataGrid1", 0);
        clickRow(s, "DataGrid2", 0);
        editCell(s, 0, 2, "3");
        const QString code = control<QLineEdit>(s, "txtclicode")->text();
        m_db->exec("DELETE FROM Customers WHERE \"Customer Code\" = ?", {code});
        click(s, "cmdSave");
        QCOMPARE(messages.texts(), QStringList{"The customer Bottega Rossi is no longer on file, so "
                                               "the invoice was not saved: pick another customer."});
        QCOMPARE(m_db->count("Fatture"), 0);
        QCOMPARE(m_db->count("DettaglioFatture"), 0);
        QCOMPARE(m_db->count("Odummy"), 1); // the line typed is kept
        QVERIFY(control<QWidget>(s, "cmdSave")->isEnabled());
    }
};

QTEST_MAIN(CustomerDocumentsTest)
#include "tst_customerdocuments.moc"
