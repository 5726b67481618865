// Saving a document past the traps a user can set: a number corrected after
// the lines were picked, numbers out of reach, sums too large, a locked
// file, and a file whose line fields an upgrade put in another order.

#include "app/navigation.h"
#include "data/schemaupgrade.h"
#include "tests/support.h"

#include <QLineEdit>
#include <QTableView>

#include <sqlite3.h>

using namespace velinor;
using namespace velinor::test;

class DocumentTrapsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;

    QStringList savedLines(const QString& field)
    {
        return m_db->column("DettaglioFatture", field);
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TempDatabase>();
        m_db->exec("INSERT INTO Customers (\"Customer Code\", Cliente, listino) VALUES "
                   "('CUS1A', 'Bottega Rossi', '1')");
        m_db->exec("INSERT INTO Tires (\"Tire Code\", descrizione, Iva, listino1) VALUES "
                   "('TIR1A', 'Vite', 22, 10), ('TIR2B', 'Dado', 10, 1)");
    }
    void cleanup()
    {
        closeAll();
        m_db.reset();
    }

    // The number typed last is the one the document and all its lines are
    // stored under; one no part of the program could carry is refused.
    void invoiceNumber_data()
    {
        QTest::addColumn<QString>("first"); // typed before the lines are picked
        QTest::addColumn<QString>("last");  // typed before "Salva"
        QTest::addColumn<QString>("message");
        QTest::newRow("abc, then 8") << "abc" << "8" << QString();
        QTest::newRow("5, then 9") << "5" << "9" << QString();
        QTest::newRow("largest") << "1" << "2147483647" << QString();
        QTest::newRow("one past") << "1" << "2147483648" << "Invalid data.";
        QTest::newRow("beyond a double") << "1" << "9007199254740993" << "Invalid data.";
    }
    void invoiceNumber()
    {
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(QString, message);
        Messages messages;
        QWidget* s = nav::show("frmFatture");
        click(s, "cmdAdd");
        type(s, "txtCode", first);
        clickRow(s, "DataGrid1", 0);
        clickRow(s, "DataGrid2", 1);
        editCell(s, 0, 2, "2");
        click(s, "cmdriga");
        clickRow(s, "DataGrid2", 0);
        editCell(s, 1, 2, "3");
        type(s, "txtCode", last);
        click(s, "cmdSave");
        QCOMPARE(messages.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
        if (message.isEmpty()) {
            QCOMPARE(m_db->column("Fatture", "Order Code"), QStringList{last});
            QCOMPARE(savedLines("Numero Fattura"), (QStringList{last, last}));
        } else {
            QCOMPARE(m_db->count("Fatture"), 0);
        }
    }

    // Two lines whose amounts add up past what a total holds: refused,
    // naming the line and its amounts; nothing is stored.
    void sumTooLarge()
    {
        m_db->exec("INSERT INTO Tires (\"Tire Code\", descrizione, Iva, listino1) VALUES "
                   "('TIR3C', 'Zoccolo', 0, 5e10)");
        Messages messages;
        QWidget* s = nav::show("frmordini");
        click(s, "cmdAdd");
        clickRow(s, "DataGrid1", 0);
        for (int i = 0; i < 2; ++i) {
            if (i > 0)
                click(s, "cmdriga");
            clickRow(s, "DataGrid2", 2); // Zoccolo, 50 billion each
            editCell(s, i, 2, "1");
        }
        click(s, "cmdSave");
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last(), QString("The amounts of line 2 (Imponibile 50000000000) make "
                                          "the totals too large to hold: correct that line."));
        QCOMPARE(m_db->count("Fatture"), 0);
        click(s, "cmdTotali");
        QCOMPARE(messages.count(), 2);
    }

    // Another program holds the file: the message names what the user did.
    void underALock_data()
    {
        QTest::addColumn<bool>("opening");
        QTest::addColumn<QString>("message");
        QTest::newRow("opening") << true << "Opening \"Fattura di Vendita\" failed: the database "
                                            "file is in use by another program";
        QTest::newRow("saving") << false << "Saving the invoice failed: the database file is in "
                                            "use by another program";
    }
    void underALock()
    {
        QFETCH(bool, opening);
        QFETCH(QString, message);
        Messages messages;
        QWidget* s = opening ? nullptr : nav::show("frmFatture");
        if (s) {
            click(s, "cmdAdd");
            clickRow(s, "DataGrid1", 0);
            clickRow(s, "DataGrid2", 0);
            editCell(s, 0, 2, "2");
        }
        sqlite3* other = nullptr;
        sqlite3_open(m_db->path().toUtf8().constData(), &other);
        sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
        if (opening)
            QVERIFY(!nav::show("frmFatture"));
        else
            click(s, "cmdSave");
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        QCOMPARE(messages.count(), 1);
        QVERIFY2(messages.last().startsWith(message), qPrintable(messages.last()));
    }

    // A field dropped and added again by an upgrade sits at the end of the
    // saved lines: saving still puts every value in its own field, and the
    // document opens with its lines.
    void upgradedFileSavesByName()
    {
        m_db->exec("ALTER TABLE DettaglioFatture DROP COLUMN Note");
        QCOMPARE(upgradeSchema(m_db->db()), QStringList{"field DettaglioFatture.Note"});
        Messages messages;
        QWidget* s = nav::show("frmordini");
        click(s, "cmdAdd");
        const QString number = control<QLineEdit>(s, "txtCode")->text();
        clickRow(s, "DataGrid1", 0);
        clickRow(s, "DataGrid2", 1);
        editCell(s, 0, 2, "4");
        click(s, "cmdSave");
        QCOMPARE(messages.texts(), QStringList());
        QCOMPARE(savedLines("Numero Ordine"), QStringList{number});
        QCOMPARE(savedLines("Note"), QStringList{""});
        QCOMPARE(savedLines("Codice Articolo"), QStringList{"TIR1A"});
        closeAll();
        s = nav::show("frmordini");
        clickRow(s, "DataGrid4", 0);
        QCOMPARE(control<QTableView>(s, "DataGrid5")->model()->rowCount(), 1);
    }
};

QTEST_MAIN(DocumentTrapsTest)
#include "tst_documenttraps.moc"
