// A click on any visible part of a row picks exactly that row, in every
// list: here the last row a list shows only in part, clicked where it shows.

#include "app/navigation.h"
#include "tests/support.h"

#include <QApplication>
#include <QLayout>
#include <QLineEdit>
#include <QTableView>

using namespace velinor;
using namespace velinor::test;

namespace {

// The last row the list shows only in part; the window is grown a little
// at a time until there is one.
int partlyShownRow(QWidget* s, QTableView* view)
{
    for (int attempt = 0; attempt < 60; ++attempt) {
        const int h = view->viewport()->height();
        const int row = view->rowAt(h - 1);
        if (row >= 0) {
            const QRect r = view->visualRect(view->model()->index(row, 0));
            if (r.bottom() > h - 1 && r.top() < h - 4)
                return row;
        }
        s->resize(s->width(), s->height() + 3);
        s->layout()->activate();
        QApplication::processEvents();
    }
    return -1;
}

} // namespace

class GridClickTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;

private slots:
    void init()
    {
        m_db = std::make_unique<TempDatabase>();
        for (int i = 10; i < 50; ++i) {
            m_db->exec("INSERT INTO Customers (\"Customer Code\", Cliente, listino) VALUES (?, ?, ?)",
                       {QString("CUS%1A").arg(i), QString("Cliente %1").arg(i), QString::number(i % 3 + 1)});
            m_db->exec("INSERT INTO Tires (\"Tire Code\", descrizione, Pattern, Iva, listino1, "
                       "listino2, listino3) VALUES (?, ?, 'pz', 22, ?, ?, ?)",
                       {QString("TIR%1A").arg(i), QString("Articolo %1").arg(i), i, i * 2, i * 3});
            m_db->exec("INSERT INTO Categories VALUES (?)", {QString("Settore %1").arg(i)});
            m_db->exec("INSERT INTO Patterns VALUES (?)", {QString("um%1").arg(i)});
        }
        m_db->exec("INSERT INTO Tires (\"Tire Code\", descrizione) VALUES ('TIR0A', 'Aaa')");
    }
    void cleanup()
    {
        closeAll();
        m_db.reset();
    }

    void halfVisibleRow_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("grid");
        QTest::addColumn<int>("column"); // the column the picked value is read from
        QTest::addColumn<QString>("box"); // where it goes; "line" for the line's description
        QTest::newRow("invoice, customer") << "frmFatture" << "cmdAdd" << "DataGrid1" << 1 << "txtSupplier";
        QTest::newRow("order, customer code") << "frmordini" << "cmdAdd" << "DataGrid1" << 0 << "txtclicode";
        QTest::newRow("order, article") << "frmordini" << "cmdAdd" << "DataGrid2" << 0 << "line";
        QTest::newRow("articles, group") << "frmTire" << "cmdUpdate" << "DataGrid1" << 0 << "txtCategory";
        QTest::newRow("articles, unit") << "frmTire" << "cmdUpdate" << "DataGrid3" << 0 << "txtPattern";
    }
    void halfVisibleRow()
    {
        QFETCH(QString, screen);
        QFETCH(QString, edit);
        QFETCH(QString, grid);
        QFETCH(int, column);
        QFETCH(QString, box);
        Messages messages;
        QWidget* s = nav::show(screen);
        click(s, edit);
        auto* view = control<QTableView>(s, grid);
        const int row = partlyShownRow(s, view);
        QVERIFY2(row > 0, "no row shown in part");
        const QString expected = view->model()->data(view->model()->index(row, column)).toString();
        const QRect r = view->visualRect(view->model()->index(row, 0));

        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(r.center().x(), r.top() + 2));

        const QModelIndexList selected = view->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.first().row(), row);
        QString picked;
        if (box == "line") {
            auto* lines = control<QTableView>(s, "DataGrid5")->model();
            picked = lines->data(lines->index(0, 1)).toString();
        } else {
            picked = control<QLineEdit>(s, box)->text();
        }
        QCOMPARE(picked, expected);
        if (grid == "DataGrid1" && screen != "frmTire") // the customer's name and code together
            QCOMPARE(control<QLineEdit>(s, "txtSupplier")->text(),
                     view->model()->data(view->model()->index(row, 1)).toString());
        QCOMPARE(messages.texts(), QStringList());
    }
};

QTEST_MAIN(GridClickTest)
#include "tst_gridclick.moc"
