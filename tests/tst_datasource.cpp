// The bound data source on a real file: moves, finds, pending changes and
// when they reach the file, appends, deletes, refresh, read-only lists, a
// locked file; and the grid model over it.
//
// The source always has a connection of its own; the test checks what
// reached the file through another one, as a second program would see it.

#include "data/datagrid.h"
#include "data/datasource.h"
#include "data/fieldbinding.h"
#include "data/gridmodel.h"
#include "tests/support.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using namespace velinor;
using namespace velinor::test;

class DataSourceTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_file;

    std::shared_ptr<Database> ownConnection() { return std::make_shared<Database>(m_file->path()); }

    std::unique_ptr<DataSource> open(const QString& source, const QVariantList& params = {})
    {
        auto ds = std::make_unique<DataSource>(ownConnection());
        ds->setSource(source, params);
        return ds;
    }

    void categories(const QStringList& values)
    {
        for (const QString& v : values)
            m_file->exec("INSERT INTO Categories VALUES (?)", {v});
    }

    void tires()
    {
        m_file->exec("INSERT INTO Tires ([Tire Code], descrizione, Category, Pattern, Iva, "
                     "Quantity, Min, Max, listino1, listino2, listino3) VALUES "
                     "('TIR1A', 'Viti', 'Ferramenta', 'conf', 22, 48, 10, 80, 6.9, 6.5, 5.9), "
                     "('TIR2B', 'Cavo', 'Elettrico', 'm', 22, 400, 100, 800, 0.45, 0.42, 0.38), "
                     "('TIR3C', 'Concime', 'Giardinaggio', 'kg', 4, 95, 25, 150, 2.8, 2.65, 2.4)");
    }

    QString fileValue(const QString& table, const QString& field, qint64 rowid)
    {
        return m_file
            ->scalar(QString("SELECT \"%1\" FROM \"%2\" WHERE rowid = ?").arg(field, table), {rowid})
            .toString();
    }

private slots:
    void init() { m_file = std::make_unique<TempDatabase>(); }
    void cleanup()
    {
        QLocale::setDefault(QLocale::c());
        m_file.reset();
    }

    // ----------------------------------------------------------- moving

    void opensOnTheFirstRow()
    {
        categories({"a", "b", "c"});
        auto ds = open("Categories");
        QCOMPARE(ds->recordCount(), 3);
        QCOMPARE(ds->currentRow(), 0);
        QCOMPARE(ds->value("Category"), QString("a"));
        ds->moveLast();
        QCOMPARE(ds->value("category"), QString("c")); // names ignore case, as Jet's did
        ds->moveNext();
        QVERIFY(!ds->hasCurrent());
        QCOMPARE(ds->value("Category"), QString());
        ds->moveNext(); // past the end stays past the end
        QVERIFY(!ds->hasCurrent());
        ds->moveFirst();
        QCOMPARE(ds->value("Category"), QString("a"));
    }

    void emptySourceHasNoCurrentRow()
    {
        auto ds = open("Categories");
        QCOMPARE(ds->recordCount(), 0);
        QVERIFY(!ds->hasCurrent());
        ds->moveFirst();
        ds->moveLast();
        QVERIFY(!ds->hasCurrent());
        QVERIFY(!ds->find("Category", "a"));
        QVERIFY_THROWS_EXCEPTION(DbError, ds->setValue("Category", "x"));
        QCOMPARE(m_file->count("Categories"), 0);
    }

    // ------------------------------------------------------------- find

    void findGoesForwardFromTheCurrentRow()
    {
        categories({"a", "b", "a", "c"});
        auto ds = open("Categories");
        QVERIFY(ds->find("Category", "a"));
        QCOMPARE(ds->currentRow(), 0); // the current row itself counts
        ds->moveNext();
        QVERIFY(ds->find("Category", "a"));
        QCOMPARE(ds->currentRow(), 2); // not back to the first
        QVERIFY(ds->find("Category", "A"));
        QCOMPARE(ds->currentRow(), 2);
        ds->moveLast();
        QVERIFY(!ds->find("Category", "a")); // nothing after "c"
        QVERIFY(!ds->hasCurrent());
        QVERIFY(ds->find("Category", "b")); // with no current row, from the first
        QCOMPARE(ds->currentRow(), 1);
        QVERIFY(!ds->find("Category", "a "));
        QVERIFY(!ds->find("Category", ""));
    }

    void findComparesNumbersAsNumbers()
    {
        tires();
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        auto ds = open("SELECT * FROM Tires ORDER BY Descrizione");
        QVERIFY(ds->find("listino1", "6,9"));
        QCOMPARE(ds->value("Tire Code"), QString("TIR1A"));
        ds->moveFirst();
        QVERIFY(ds->find("Iva", "4"));
        QCOMPARE(ds->value("Tire Code"), QString("TIR3C"));
        ds->moveFirst();
        QVERIFY(!ds->find("Iva", "abc"));
        QVERIFY(!ds->hasCurrent());
    }

    void findWithQuotes()
    {
        categories({"l'albero", "it's \"ok\"", "x"});
        auto ds = open("Categories");
        QVERIFY(ds->find("Category", "it's \"ok\""));
        QCOMPARE(ds->currentRow(), 1);
        ds->moveFirst();
        QVERIFY(!ds->find("Category", "x' OR '1'='1"));
        QVERIFY(!ds->hasCurrent());
    }

    void failedFindEmptiesBoundBoxes()
    {
        categories({"a", "b"});
        auto ds = open("Categories");
        QLineEdit box;
        bind(&box, ds.get(), "Category");
        QCOMPARE(box.text(), QString("a"));
        QVERIFY(!ds->find("Category", "zzz"));
        QCOMPARE(box.text(), QString());
        QVERIFY(!ds->hasCurrent());
        // Typing into a box with no row behind it changes nothing.
        box.setText("typed");
        QVERIFY(!ds->isPending());
        ds->moveFirst();
        QCOMPARE(box.text(), QString("a"));
        QCOMPARE(m_file->column("Categories", "Category"), (QStringList{"a", "b"}));
    }

    // ------------------------------------------------ pending and written

    void pendingChangeWaitsForTheMove_data()
    {
        QTest::addColumn<QString>("move");
        QTest::newRow("moveNext") << "moveNext";
        QTest::newRow("moveLast") << "moveLast";
        QTest::newRow("find") << "find";
        QTest::newRow("select row") << "select";
        QTest::newRow("addNew") << "addNew";
        QTest::newRow("update") << "update";
        QTest::newRow("refresh") << "refresh";
    }
    void pendingChangeWaitsForTheMove()
    {
        QFETCH(QString, move);
        tires();
        auto ds = open("Tires");
        ds->setValue("descrizione", "Viti inox");
        ds->setValue("Quantity", "50");
        QVERIFY(ds->isPending());
        QCOMPARE(ds->value("descrizione"), QString("Viti inox"));
        QCOMPARE(m_file->column("Tires", "descrizione").value(0), QString("Viti"));

        if (move == "moveNext")
            ds->moveNext();
        else if (move == "moveLast")
            ds->moveLast();
        else if (move == "find")
            QVERIFY(ds->find("Tire Code", "TIR3C"));
        else if (move == "select")
            ds->setCurrentRow(1);
        else if (move == "addNew")
            ds->addNew();
        else if (move == "update")
            ds->update();
        else if (move == "refresh")
            ds->refresh();

        QCOMPARE(m_file->column("Tires", "descrizione"),
                 (QStringList{"Viti inox", "Cavo", "Concime"}));
        QCOMPARE(m_file->scalar("SELECT Quantity FROM Tires WHERE [Tire Code] = 'TIR1A'"),
                 QVariant(50.0));
        QVERIFY(!ds->isPending() || ds->currentIsNew());
        QCOMPARE(ds->text(0, ds->fieldIndex("descrizione")), QString("Viti inox"));
    }

    void boxEditsArePending()
    {
        tires();
        auto ds = open("Tires");
        QLineEdit box;
        bind(&box, ds.get(), "descrizione");
        QTest::keyClick(&box, Qt::Key_End);
        QTest::keyClicks(&box, " zincate");
        QCOMPARE(ds->value("descrizione"), QString("Viti zincate"));
        QCOMPARE(m_file->column("Tires", "descrizione").value(0), QString("Viti"));
        ds->moveNext();
        QCOMPARE(box.text(), QString("Cavo"));
        QCOMPARE(m_file->column("Tires", "descrizione").value(0), QString("Viti zincate"));
    }

    void onlyTheChangedFieldsAreWritten()
    {
        tires();
        auto ds = open("Tires");
        // Another program changes a field this source does not touch.
        m_file->exec("UPDATE Tires SET Quantity = 7 WHERE [Tire Code] = 'TIR1A'");
        ds->setValue("descrizione", "Viti nuove");
        ds->update();
        QCOMPARE(m_file->scalar("SELECT Quantity FROM Tires WHERE [Tire Code] = 'TIR1A'"),
                 QVariant(7.0));
    }

    void notANumberRefusesTheMove_data()
    {
        QTest::addColumn<QString>("move");
        QTest::newRow("moveNext") << "moveNext";
        QTest::newRow("moveFirst from the last") << "moveFirst";
        QTest::newRow("find") << "find";
        QTest::newRow("update") << "update";
        QTest::newRow("addNew") << "addNew";
    }
    void notANumberRefusesTheMove()
    {
        QFETCH(QString, move);
        tires();
        auto ds = open("SELECT * FROM Tires ORDER BY Descrizione");
        if (move == "moveFirst")
            ds->moveLast();
        const int row = ds->currentRow();
        const QString code = ds->value("Tire Code");
        ds->setValue("descrizione", "Nuova descrizione");
        ds->setValue("Quantity", "dieci");
        try {
            if (move == "moveNext")
                ds->moveNext();
            else if (move == "moveFirst")
                ds->moveFirst();
            else if (move == "find")
                ds->find("Tire Code", "TIR3C");
            else if (move == "update")
                ds->update();
            else if (move == "addNew")
                ds->addNew();
            QFAIL("the move was not refused");
        } catch (const DbError& e) {
            QVERIFY2(e.text().contains("Quantity"), qPrintable(e.text()));
            QVERIFY2(e.text().contains("dieci"), qPrintable(e.text()));
        }
        QCOMPARE(ds->currentRow(), row);
        QCOMPARE(ds->recordCount(), 3);
        QCOMPARE(ds->value("Quantity"), QString("dieci"));
        QCOMPARE(ds->value("descrizione"), QString("Nuova descrizione"));
        QVERIFY(ds->isPending());
        // Nothing at all was written, not even the good field.
        QCOMPARE(m_file->scalar("SELECT count(*) FROM Tires WHERE descrizione = 'Nuova "
                                "descrizione' OR typeof(Quantity) <> 'real'")
                     .toInt(),
                 0);
        // Mended, the same move goes through and writes both.
        ds->setValue("Quantity", "12");
        ds->moveNext();
        QCOMPARE(m_file->scalar("SELECT descrizione || ' ' || typeof(Quantity) || ' ' || "
                                "(Quantity = 12) FROM Tires WHERE [Tire Code] = ?",
                                {code})
                     .toString()
                     .replace("true", "1"),
                 QString("Nuova descrizione real 1"));
    }

    void notADateIsRefused()
    {
        m_file->exec("INSERT INTO Fatture ([Order Code], [Date]) VALUES (1, '2024-03-05'), "
                     "(2, '2024-03-06')");
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        auto ds = open("Select * from Fatture WHERE [Order Code] > 0 ORDER BY [Order Code]");
        QCOMPARE(ds->value("Date"), QString("05/03/2024"));
        ds->setValue("Date", "domani");
        try {
            ds->moveNext();
            QFAIL("the move was not refused");
        } catch (const DbError& e) {
            QVERIFY2(e.text().contains("Date") && e.text().contains("domani"),
                     qPrintable(e.text()));
        }
        QCOMPARE(ds->currentRow(), 0);
        ds->setValue("Date", "07/03/2024");
        ds->moveNext();
        QCOMPARE(m_file->column("Fatture", "Date"), (QStringList{"2024-03-07", "2024-03-06"}));
    }

    void localeTextCrossesBothWays()
    {
        tires();
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        auto ds = open("Tires");
        QCOMPARE(ds->value("listino1"), QString("6,9"));
        QCOMPARE(ds->value("Quantity"), QString("48"));
        ds->setValue("listino1", "1234,5");
        ds->update();
        QCOMPARE(m_file->scalar("SELECT listino1 FROM Tires WHERE rowid = 1"), QVariant(1234.5));
        QCOMPARE(ds->value("listino1"), QString("1234,5"));
        // A point is not the decimal separator here: refused, not 12345.
        ds->setValue("listino1", "1.5");
        QVERIFY_THROWS_EXCEPTION(DbError, ds->update());
        ds->cancelBatch();
        // An emptied number field holds nothing, rather than 0 or "".
        ds->setValue("Min", "");
        ds->update();
        QVERIFY(m_file->scalar("SELECT Min FROM Tires WHERE rowid = 1").isNull());
        QCOMPARE(ds->value("Min"), QString());
    }

    void quotesAreStoredAsTyped()
    {
        categories({"a"});
        auto ds = open("Categories");
        const QString odd = "l'albero \"grande\"; DROP TABLE Categories; --";
        ds->setValue("Category", odd);
        ds->update();
        ds->addNew();
        ds->setValue("Category", "d'Amico");
        ds->moveFirst();
        QCOMPARE(m_file->column("Categories", "Category"), (QStringList{odd, "d'Amico"}));
        ds->refresh();
        QCOMPARE(ds->value("Category"), odd);
    }

    void rowWrittenByAnotherProgramInTheMeantime()
    {
        tires();
        auto ds = open("Tires");
        m_file->exec("DELETE FROM Tires WHERE rowid = 1");
        ds->setValue("descrizione", "x");
        QVERIFY_THROWS_EXCEPTION(DbError, ds->moveNext());
        QCOMPARE(ds->currentRow(), 0);
        QCOMPARE(m_file->count("Tires"), 2);
    }

    // -------------------------------------------------------- cancel

    void cancelBatchDiscardsAPendingChange()
    {
        tires();
        auto ds = open("Tires");
        QLineEdit box;
        bind(&box, ds.get(), "descrizione");
        box.setText("cambiata");
        ds->setValue("Quantity", "1");
        ds->cancelBatch();
        QVERIFY(!ds->isPending());
        QCOMPARE(ds->value("descrizione"), QString("Viti"));
        QCOMPARE(box.text(), QString("Viti"));
        QCOMPARE(ds->value("Quantity"), QString("48"));
        QCOMPARE(ds->currentRow(), 0);
        ds->moveNext();
        QCOMPARE(m_file->column("Tires", "descrizione"), (QStringList{"Viti", "Cavo", "Concime"}));
        QCOMPARE(m_file->column("Tires", "Quantity").value(0), QString("48"));
    }

    void cancelBatchDropsAnAppendedRow()
    {
        tires();
        auto ds = open("Tires");
        ds->moveNext();
        ds->addNew();
        QCOMPARE(ds->recordCount(), 4);
        QCOMPARE(ds->currentRow(), 3);
        QVERIFY(ds->currentIsNew());
        ds->setValue("descrizione", "nuovo");
        ds->cancelBatch();
        QCOMPARE(ds->recordCount(), 3);
        QCOMPARE(ds->currentRow(), 1); // back where it was
        QCOMPARE(ds->value("descrizione"), QString("Cavo"));
        ds->moveLast();
        QCOMPARE(m_file->count("Tires"), 3);
    }

    void cancelBatchOnANewRowOfAnEmptyTable()
    {
        auto ds = open("Categories");
        ds->addNew();
        ds->setValue("Category", "x");
        ds->cancelBatch();
        QCOMPARE(ds->recordCount(), 0);
        QVERIFY(!ds->hasCurrent());
        QCOMPARE(m_file->count("Categories"), 0);
    }

    // ------------------------------------------------------- appending

    void untouchedAppendedRowIsNotWritten_data()
    {
        QTest::addColumn<QString>("move");
        QTest::newRow("moveFirst") << "moveFirst";
        QTest::newRow("moveNext") << "moveNext";
        QTest::newRow("select row") << "select";
        QTest::newRow("find") << "find";
        QTest::newRow("addNew again") << "addNew";
        QTest::newRow("refresh") << "refresh";
    }
    void untouchedAppendedRowIsNotWritten()
    {
        QFETCH(QString, move);
        categories({"a", "b"});
        auto ds = open("Categories");
        ds->addNew();
        if (move == "moveFirst")
            ds->moveFirst();
        else if (move == "moveNext")
            ds->moveNext();
        else if (move == "select")
            ds->setCurrentRow(1);
        else if (move == "find")
            ds->find("Category", "b");
        else if (move == "addNew")
            ds->addNew();
        else if (move == "refresh")
            ds->refresh();
        QCOMPARE(m_file->count("Categories"), 2);
        QCOMPARE(ds->recordCount(), move == "addNew" ? 3 : 2);
        if (move == "moveFirst")
            QCOMPARE(ds->currentRow(), 0);
        if (move == "select" || move == "find")
            QCOMPARE(ds->currentRow(), 1);
    }

    void appendedRowIsWrittenOnceThenUpdated()
    {
        categories({"a"});
        auto ds = open("Categories");
        ds->addNew();
        ds->setValue("Category", "b");
        ds->moveFirst();
        QCOMPARE(m_file->column("Categories", "Category"), (QStringList{"a", "b"}));
        QCOMPARE(ds->recordCount(), 2);
        ds->moveLast();
        QVERIFY(!ds->currentIsNew());
        ds->setValue("Category", "c");
        ds->moveFirst();
        // Changed in place, not appended a second time.
        QCOMPARE(m_file->column("Categories", "Category"), (QStringList{"a", "c"}));
        ds->moveLast();
        ds->deleteCurrent();
        QCOMPARE(m_file->column("Categories", "Category"), (QStringList{"a"}));
    }

    void appendedRowWithEveryKind()
    {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        auto ds = open("select * from Odummy");
        ds->addNew();
        ds->setValue("Descrizione Articolo", "Viti");
        ds->setValue("Quantità", "2,5");
        ds->setValue("Prezzo", "6,9");
        ds->setValue("Data", "05/03/2024");
        ds->setValue("Numero Fattura", "12");
        ds->update();
        QCOMPARE(m_file->scalar("SELECT typeof([Quantità]) || ' ' || [Quantità] || ' ' || "
                                "[Data] || ' ' || typeof([Numero Fattura]) FROM Odummy")
                     .toString(),
                 QString("real 2.5 2024-03-05 integer"));
        QCOMPARE(ds->value("Quantità"), QString("2,5"));
        QCOMPARE(ds->value("Data"), QString("05/03/2024"));
        QCOMPARE(ds->value("Numero Fattura"), QString("12"));
        QVERIFY(ds->value("id").isEmpty());
    }

    // -------------------------------------------------------- delete

    void deleteRemovesTheCurrentRowOnly()
    {
        // Two rows alike in every value: only the one that is current goes.
        categories({"x", "x", "y"});
        auto ds = open("Categories");
        ds->moveNext();
        ds->deleteCurrent();
        QCOMPARE(m_file->column("Categories", "rowid"), (QStringList{"1", "3"}));
        QCOMPARE(ds->recordCount(), 2);
        QCOMPARE(ds->currentRow(), 1); // the row that followed
        QCOMPARE(ds->value("Category"), QString("y"));
        ds->deleteCurrent(); // the last: the new last becomes current
        QCOMPARE(ds->currentRow(), 0);
        QCOMPARE(ds->value("Category"), QString("x"));
        ds->deleteCurrent();
        QVERIFY(!ds->hasCurrent());
        QCOMPARE(ds->recordCount(), 0);
        QCOMPARE(m_file->count("Categories"), 0);
        QVERIFY_THROWS_EXCEPTION(DbError, ds->deleteCurrent());
    }

    void updateOfIdenticalRowsTouchesOne()
    {
        categories({"x", "x"});
        auto ds = open("Categories");
        ds->moveLast();
        ds->setValue("Category", "z");
        ds->moveFirst();
        QCOMPARE(m_file->column("Categories", "Category"), (QStringList{"x", "z"}));
    }

    void deleteInASortedQuery()
    {
        tires();
        auto ds = open("SELECT * FROM Tires ORDER BY Descrizione");
        QCOMPARE(ds->value("descrizione"), QString("Cavo"));
        ds->moveNext();
        QCOMPARE(ds->value("descrizione"), QString("Concime"));
        ds->deleteCurrent();
        QCOMPARE(m_file->column("Tires", "descrizione"), (QStringList{"Viti", "Cavo"}));
        QCOMPARE(ds->value("descrizione"), QString("Viti"));
    }

    void deleteDiscardsThePendingChange()
    {
        tires();
        auto ds = open("Tires");
        ds->moveNext();
        ds->setValue("descrizione", "x");
        ds->deleteCurrent();
        QVERIFY(!ds->isPending());
        ds->moveFirst();
        QCOMPARE(m_file->column("Tires", "descrizione"), (QStringList{"Viti", "Concime"}));
    }

    void deleteOfAnAppendedRow()
    {
        categories({"a"});
        auto ds = open("Categories");
        ds->addNew();
        ds->setValue("Category", "b");
        ds->deleteCurrent();
        QCOMPARE(ds->recordCount(), 1);
        QCOMPARE(ds->currentRow(), 0);
        QCOMPARE(m_file->column("Categories", "Category"), (QStringList{"a"}));
    }

    // ------------------------------------------------- refresh, count

    void refreshReReads()
    {
        categories({"a", "b"});
        auto ds = open("Categories");
        ds->moveLast();
        m_file->exec("INSERT INTO Categories VALUES ('c')");
        m_file->exec("UPDATE Categories SET Category = 'A' WHERE Category = 'a'");
        // A snapshot: what others write shows only after a refresh.
        QCOMPARE(ds->recordCount(), 2);
        QCOMPARE(ds->text(0, 0), QString("a"));
        ds->refresh();
        QCOMPARE(ds->recordCount(), 3);
        QCOMPARE(ds->currentRow(), 0);
        QCOMPARE(ds->value("Category"), QString("A"));
        m_file->exec("DELETE FROM Categories");
        ds->refresh();
        QCOMPARE(ds->recordCount(), 0);
        QVERIFY(!ds->hasCurrent());
    }

    void setSourceThenRefresh()
    {
        categories({"a"});
        tires();
        auto ds = open("Categories");
        QLineEdit box;
        ds->setSource("SELECT * FROM Tires ORDER BY Descrizione");
        bind(&box, ds.get(), "descrizione");
        ds->refresh();
        QCOMPARE(ds->recordCount(), 3);
        QCOMPARE(ds->currentRow(), 0);
        QCOMPARE(box.text(), QString("Cavo"));
        QCOMPARE(ds->fieldCount(), 14);
        QCOMPARE(ds->field(0).name, QString("Tire Code"));
    }

    void recordCountIsExact()
    {
        auto ds = open("Categories");
        QCOMPARE(ds->recordCount(), 0);
        QStringList many;
        for (int i = 0; i < 250; ++i)
            many << QString::number(i);
        categories(many);
        ds->refresh();
        QCOMPARE(ds->recordCount(), 250);
        ds->addNew();
        QCOMPARE(ds->recordCount(), 251);
        ds->cancelBatch();
        QCOMPARE(ds->recordCount(), 250);
        ds->deleteCurrent();
        QCOMPARE(ds->recordCount(), 249);
        QCOMPARE(m_file->count("Categories"), 249);
        auto part = open("SELECT * FROM Categories WHERE val(Category) < 10");
        QCOMPARE(part->recordCount(), 9); // "0" was deleted
    }

    // ---------------------------------------------------- kinds of source

    void joinIsReadOnly()
    {
        tires();
        categories({"Ferramenta", "Elettrico"});
        auto ds = open("SELECT t.descrizione, c.Category FROM Tires t JOIN Categories c "
                       "ON t.Category = c.Category ORDER BY t.descrizione");
        QCOMPARE(ds->recordCount(), 2);
        QVERIFY(!ds->isEditable());
        QCOMPARE(ds->value("descrizione"), QString("Cavo"));
        // Moving through it loses no row; an unchanged row is not pending.
        QVERIFY(!ds->isPending());
        ds->moveNext();
        ds->moveFirst();
        QVERIFY(ds->find("descrizione", "Viti"));
        ds->moveFirst();
        QCOMPARE(ds->recordCount(), 2);
        QVERIFY_THROWS_EXCEPTION(DbError, ds->addNew());
        QVERIFY_THROWS_EXCEPTION(DbError, ds->deleteCurrent());
        QCOMPARE(ds->recordCount(), 2);
        QCOMPARE(ds->currentRow(), 0);
        ds->setValue("descrizione", "x");
        QVERIFY_THROWS_EXCEPTION(DbError, ds->update());
        QVERIFY_THROWS_EXCEPTION(DbError, ds->moveNext());
        ds->cancelBatch();
        ds->moveNext();
        QCOMPARE(ds->value("descrizione"), QString("Viti"));
        QCOMPARE(m_file->column("Tires", "descrizione"), (QStringList{"Viti", "Cavo", "Concime"}));
        QCOMPARE(m_file->count("Categories"), 2);
    }

    void computedListIsReadOnly()
    {
        m_file->exec("INSERT INTO Fatture (Cliente, [Totale Fattura]) VALUES ('b', 1), ('a', 2)");
        auto ds = open("SELECT cliente, sum([totale fattura]) AS totale FROM Fatture GROUP BY "
                       "cliente ORDER BY cliente");
        QCOMPARE(ds->recordCount(), 2);
        QVERIFY(!ds->isEditable());
        QCOMPARE(ds->value("totale"), QString("2"));
        QVERIFY_THROWS_EXCEPTION(DbError, ds->addNew());
    }

    void renamedFieldWritesItsColumn()
    {
        tires();
        auto ds = open("SELECT [Tire Code] AS codice, descrizione AS nome FROM Tires");
        QVERIFY(ds->isEditable());
        ds->setValue("nome", "Viti lunghe");
        ds->moveNext();
        QCOMPARE(m_file->column("Tires", "descrizione").value(0), QString("Viti lunghe"));
    }

    void sourceWithParameters()
    {
        m_file->exec("INSERT INTO DettaglioFatture ([Descrizione Articolo], [Numero Fattura], "
                     "[Numero Ordine]) VALUES ('a', 12, NULL), ('b', 7, NULL), ('c', 12, NULL), "
                     "('d', NULL, 'ORD5X')");
        auto ds = open("SELECT * FROM DettaglioFatture WHERE [Numero Fattura] = val(?)", {"12"});
        QCOMPARE(ds->recordCount(), 2);
        QVERIFY(ds->isEditable());
        ds->setValue("Descrizione Articolo", "a2");
        ds->moveNext();
        QCOMPARE(m_file->column("DettaglioFatture", "Descrizione Articolo"),
                 (QStringList{"a2", "b", "c", "d"}));
        m_file->exec("UPDATE DettaglioFatture SET [Numero Fattura] = 12 WHERE rowid = 2");
        ds->refresh(); // the same parameters again
        QCOMPARE(ds->recordCount(), 3);

        auto order =
            open("SELECT * FROM DettaglioFatture WHERE [Numero Ordine] = ?", {"ORD5X' OR 'x'='x"});
        QCOMPARE(order->recordCount(), 0);
        order->setSource("SELECT * FROM DettaglioFatture WHERE [Numero Ordine] = ?", {"ORD5X"});
        QCOMPARE(order->recordCount(), 1);
        QCOMPARE(order->value("Descrizione Articolo"), QString("d"));
    }

    // Setting a source that cannot be read is an error the screen reports;
    // boxes and grids bound to the source stay alive.
    void unreadableSourceIsAnError()
    {
        categories({"a"});
        auto ds = open("Categories");
        QLineEdit box;
        bind(&box, ds.get(), "Category");
        GridModel model(ds.get());
        model.setColumns({{"Category", "Settore"}});
        QVERIFY_THROWS_EXCEPTION(DbError, ds->setSource("NoSuchTable"));
        QVERIFY(!ds->hasCurrent());
        QCOMPARE(box.text(), QString());
        box.setText("typed");
        QVERIFY_THROWS_EXCEPTION(DbError, ds->setSource("SELECT nonsense FROM"));
        ds->setSource("Categories");
        QCOMPARE(box.text(), QString("a"));
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QString("Settore"));
    }

    // ------------------------------------------------------ locked file

    void lockedFileRefusesWrites_data()
    {
        QTest::addColumn<QString>("write");
        QTest::newRow("change by moving") << "move";
        QTest::newRow("update") << "update";
        QTest::newRow("append") << "append";
        QTest::newRow("delete") << "delete";
    }
    void lockedFileRefusesWrites()
    {
        if (m_file->isServer())
            QSKIP("a file's own lock; a server has none");
        QFETCH(QString, write);
        tires();
        auto ds = open("Tires");
        if (write == "append") {
            ds->addNew();
            ds->setValue("descrizione", "Nuovo");
        } else if (write != "delete") {
            ds->setValue("descrizione", "Viti inox");
        }
        const int row = ds->currentRow();

        m_file->exec("BEGIN IMMEDIATE"); // another program is writing
        try {
            if (write == "move" || write == "append")
                ds->moveFirst();
            if (write == "move")
                ds->moveNext();
            else if (write == "update")
                ds->update();
            else if (write == "delete")
                ds->deleteCurrent();
            QFAIL("the write was not refused");
        } catch (const DbError& e) {
            QVERIFY2(e.text().contains("in use"), qPrintable(e.text()));
        }
        m_file->exec("ROLLBACK");

        // Nothing was lost: the row and its change wait to be written again.
        QCOMPARE(ds->currentRow(), row);
        QCOMPARE(ds->recordCount(), write == "append" ? 4 : 3);
        QCOMPARE(m_file->count("Tires"), 3);
        if (write == "delete") {
            ds->deleteCurrent();
            QCOMPARE(m_file->column("Tires", "descrizione"), (QStringList{"Cavo", "Concime"}));
        } else {
            QVERIFY(ds->isPending());
            ds->update();
            QCOMPARE(m_file->count("Tires"), write == "append" ? 4 : 3);
            QCOMPARE(m_file->scalar("SELECT count(*) FROM Tires WHERE descrizione = ?",
                                    {write == "append" ? "Nuovo" : "Viti inox"})
                         .toInt(),
                     1);
        }
    }

    // Numbers come back as the database holds them, to the last bit, on
    // either engine: a list is read cell by cell into its snapshot.
    void numbersComeBackExactly_data()
    {
        QTest::addColumn<QString>("price"); // as written in the statement
        QTest::addColumn<double>("expected");
        QTest::newRow("a tenth") << "0.1" << 0.1;
        QTest::newRow("a credit") << "-2.5" << -2.5;
        QTest::newRow("seventeen digits") << "0.30000000000000004" << 0.30000000000000004;
        QTest::newRow("huge") << "1e300" << 1e300;
        QTest::newRow("the smallest") << "5e-324" << 5e-324;
        QTest::newRow("zero") << "0" << 0.0;
    }
    void numbersComeBackExactly()
    {
        QFETCH(QString, price);
        QFETCH(double, expected);
        m_file->exec(QString("INSERT INTO Tires (descrizione, listino1) VALUES ('x', %1)").arg(price));
        m_file->exec("INSERT INTO Tires (descrizione) VALUES ('y')");
        auto ds = open("SELECT descrizione, listino1 FROM Tires ORDER BY descrizione");
        QCOMPARE(ds->recordCount(), 2);
        const QVariant read = ds->stored(0, 1);
        QVERIFY2(read.toDouble() == expected,
                 qPrintable(QString::number(read.toDouble(), 'g', 17)));
        QVERIFY(ds->stored(1, 1).isNull());
        QCOMPARE(ds->text(1, 0), QString("y"));
        auto whole = open("SELECT CAST(9007199254740993 AS BIGINT) AS n, descrizione FROM Tires "
                          "ORDER BY descrizione");
        QCOMPARE(whole->stored(0, 0).toLongLong(), 9007199254740993LL);
        QCOMPARE(whole->text(0, 1), QString("x"));
    }

    // ------------------------------------------------------------ grid

    void gridModelStaysConsistent()
    {
        tires();
        auto ds = open("SELECT * FROM Tires ORDER BY Descrizione");
        GridModel model(ds.get());
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        DataGrid grid(ds.get()); // a view too, reacting to the same signals
        QAbstractItemModelTester gridTester(grid.gridModel(),
                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
        grid.show();
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.columnCount(), 14);
        QCOMPARE(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QString("descrizione"));
        QCOMPARE(model.data(model.index(0, 1), Qt::DisplayRole).toString(), QString("Cavo"));

        ds->addNew();
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(grid.currentIndex().row(), 3);
        ds->setValue("descrizione", "Zappa");
        QCOMPARE(model.data(model.index(3, 1), Qt::DisplayRole).toString(), QString("Zappa"));
        ds->update();
        ds->moveFirst();
        ds->setValue("Quantity", "401");
        ds->moveNext();
        QCOMPARE(model.data(model.index(0, 5), Qt::DisplayRole).toString(), QString("401"));
        ds->deleteCurrent();
        QCOMPARE(model.rowCount(), 3);
        ds->addNew();
        ds->cancelBatch();
        ds->addNew();
        ds->moveFirst(); // untouched: dropped
        QCOMPARE(model.rowCount(), 3);
        QVERIFY(!ds->find("descrizione", "none"));
        QVERIFY(!grid.selectionModel()->hasSelection());
        m_file->exec("DELETE FROM Tires");
        ds->refresh();
        QCOMPARE(model.rowCount(), 0);
        m_file->exec("INSERT INTO Tires (descrizione) VALUES ('a'), ('b')");
        ds->refresh();
        QCOMPARE(model.rowCount(), 2);
        ds->setSource("Categories");
        QCOMPARE(model.columnCount(), 1);
        model.setColumns({{"Category", "Settore"}});
        QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QString("Settore"));
        model.rebuildColumns();
        ds->setSource("SELECT * FROM Tires ORDER BY Descrizione");
        QCOMPARE(model.columnCount(), 14);
    }

    // Read again under the same columns, a list keeps the widths its screen
    // gave them and shows the current row; other columns take their headings.
    void rereadKeepsTheColumns()
    {
        tires();
        auto ds = open("SELECT * FROM Tires ORDER BY Descrizione");
        DataGrid grid(ds.get());
        grid.show();
        grid.setColumnWidth(1, 321);
        m_file->exec("INSERT INTO Tires (descrizione) VALUES ('Zeta')");
        ds->refresh();
        ds->moveLast();
        QCOMPARE(grid.gridModel()->rowCount(), 4);
        QCOMPARE(grid.columnWidth(1), 321);
        QCOMPARE(grid.currentIndex().row(), 3);
        QCOMPARE(grid.cellText(1), QString("Zeta"));
        // The row numbers stay whole however many rows come.
        m_file->exec("INSERT INTO Tires (descrizione) WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                     "SELECT i + 1 FROM n WHERE i < 100000) SELECT 'Riga' FROM n");
        ds->refresh();
        QCoreApplication::processEvents();
        QVERIFY(grid.verticalHeader()->width()
                > grid.verticalHeader()->fontMetrics().horizontalAdvance("100004"));
        ds->setSource("SELECT descrizione, Category FROM Tires");
        QCOMPARE(grid.gridModel()->columnCount(), 2);
        QCOMPARE(grid.gridModel()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QString("Category"));
    }

    void gridSelectionMovesTheCurrentRow()
    {
        tires();
        auto ds = open("SELECT * FROM Tires ORDER BY Descrizione");
        DataGrid grid(ds.get());
        grid.show();
        QSignalSpy selected(&grid, &DataGrid::rowSelected);
        QSignalSpy failed(&grid, &DataGrid::failed);
        grid.selectRow(2);
        QCOMPARE(ds->currentRow(), 2);
        QCOMPARE(selected.count(), 1);
        QCOMPARE(grid.cellText(1), QString("Viti"));

        // A refused move puts the selection back and says why.
        grid.setCellText(5, "tanti");
        grid.selectRow(0);
        QCOMPARE(failed.count(), 1);
        QVERIFY(failed.at(0).at(0).toString().contains("tanti"));
        QCOMPARE(ds->currentRow(), 2);
        QCOMPARE(grid.currentIndex().row(), 2);
        QCOMPARE(m_file->column("Tires", "Quantity").value(0), QString("48"));
        grid.setCellText(5, "40");
        grid.selectRow(0);
        QCOMPARE(ds->currentRow(), 0);
        QCOMPARE(m_file->column("Tires", "Quantity").value(0), QString("40"));
    }

    // Tab in an open cell editor keeps what was typed and leaves the grid
    // for the next control, as Tab on the grid itself does.
    void tabFromACellEditorLeavesTheGrid_data()
    {
        QTest::addColumn<Qt::Key>("key");
        QTest::newRow("Tab") << Qt::Key_Tab;
        QTest::newRow("Shift+Tab") << Qt::Key_Backtab;
    }
    void tabFromACellEditorLeavesTheGrid()
    {
        QFETCH(Qt::Key, key);
        categories({"a", "b"});
        auto ds = open("Categories");
        QWidget window;
        auto* before = new QLineEdit(&window);
        auto* grid = new DataGrid(ds.get(), &window);
        grid->gridModel()->setEditable(true);
        grid->setEditTriggers(QAbstractItemView::EditKeyPressed);
        auto* after = new QLineEdit(&window);
        auto* layout = new QVBoxLayout(&window);
        for (QWidget* w : {static_cast<QWidget*>(before), static_cast<QWidget*>(grid),
                           static_cast<QWidget*>(after)})
            layout->addWidget(w);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_F2);
        auto* editor = grid->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, "c");
        QTest::keyClick(editor, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(window.focusWidget(), key == Qt::Key_Tab ? after : before);
        QCOMPARE(ds->currentRow(), 0);
        QCOMPARE(ds->value("Category"), QString("c"));
        QVERIFY(!grid->viewport()->findChild<QLineEdit*>() || !grid->viewport()->findChild<QLineEdit*>()->isVisible());
    }
};

QTEST_MAIN(DataSourceTest)
#include "tst_datasource.moc"
