// Two desks as two processes of this program on one database, saving an
// invoice at the same moment. Run on a file and, through CTest, on a server.

#include "app/navigation.h"
#include "tests/support.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QTableView>

#include <iostream>
#include <string>

using namespace velinor;
using namespace velinor::test;

namespace {

void clickRow(QWidget* s, const QString& grid, int row, int column = 0)
{
    auto* view = control<QTableView>(s, grid);
    view->scrollTo(view->model()->index(row, column));
    const QRect r = view->visualRect(view->model()->index(row, column));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
}

void typeQuantity(QWidget* s, const QString& quantity)
{
    auto* view = control<QTableView>(s, "DataGrid5");
    clickRow(s, "DataGrid5", 0, 2);
    QTest::keyClick(view, Qt::Key_F2);
    for (QLineEdit* e : view->viewport()->findChildren<QLineEdit*>())
        if (!e->isHidden()) {
            e->selectAll();
            QTest::keyClicks(e, quantity);
            QTest::keyClick(e, Qt::Key_Return);
        }
    QCoreApplication::processEvents();
}

// One desk: a new invoice with one line of article `desk`, then, when the
// test says "go", Salva. Says what number it was given and how saving went.
int desk(int number)
{
    Messages messages;
    QWidget* s = nav::show("frmFatture");
    click(s, "cmdAdd");
    clickRow(s, "DataGrid1", 0);
    clickRow(s, "DataGrid2", number - 1);
    typeQuantity(s, QString::number(number + 1));
    std::cout << "ready " << control<QLineEdit>(s, "txtCode")->text().toStdString() << std::endl;
    std::string go;
    std::getline(std::cin, go);
    click(s, "cmdSave");
    std::cout << (messages.count() ? "told: " + messages.last().toStdString() : std::string("saved"))
              << std::endl;
    return 0;
}

} // namespace

class DesksTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;

private slots:
    void init() { m_db = std::make_unique<TempDatabase>(); }
    void cleanup()
    {
        closeAll();
        m_db.reset();
    }

    // Whatever the screens check first, the database itself never stores an
    // invoice number twice; orders carry no number there and are not held.
    void invoiceNumberIsUnique()
    {
        TempDatabase& db = *m_db;
        db.exec("INSERT INTO Fatture (\"Order Code\") VALUES (7), (0), (0), (NULL), (NULL)");
        QVERIFY_THROWS_EXCEPTION(DuplicateError,
                                 db.exec("INSERT INTO Fatture (\"Order Code\") VALUES (7)"));
        QCOMPARE(db.count("Fatture"), 5);
    }

    void twoDesksSaveTheSameNumberAtOnce()
    {
        TempDatabase& db = *m_db;
        db.exec("INSERT INTO Customers (\"Customer Code\", Cliente, listino) VALUES "
                "('CUS1A', 'Bottega Rossi', '1')");
        db.exec("INSERT INTO Tires (\"Tire Code\", descrizione, Pattern, Iva, listino1) VALUES "
                "('TIR1A', 'Vite 4x40', 'pz', 22, 10), ('TIR2B', 'Colla vinilica', 'kg', 10, 2)");
        for (int n = 1; n <= 5; ++n)
            db.exec("INSERT INTO Fatture (\"Order Code\", Cliente) VALUES (?, 'Bottega Rossi')", {n});

        QProcess desks[2];
        for (int d = 0; d < 2; ++d) {
            desks[d].setWorkingDirectory(db.dir());
            desks[d].setProcessChannelMode(QProcess::ForwardedErrorChannel);
            desks[d].start(QCoreApplication::applicationFilePath(), {"--desk", QString::number(d + 1)});
        }
        QStringList proposed;
        for (QProcess& p : desks) {
            while (!p.canReadLine())
                QVERIFY2(p.waitForReadyRead(60000), "a desk did not get ready");
            proposed << QString::fromUtf8(p.readLine()).trimmed();
        }
        // Both desks were offered the same next number.
        QCOMPARE(proposed, (QStringList{"ready 6", "ready 6"}));
        for (QProcess& p : desks)
            p.write("go\n");
        QStringList outcomes;
        for (QProcess& p : desks) {
            QVERIFY(p.waitForFinished(60000));
            QCOMPARE(p.exitCode(), 0);
            outcomes << QString::fromUtf8(p.readAll()).trimmed();
        }
        outcomes.sort(); // which desk came first is the server's choice
        QCOMPARE(outcomes.first(), QString("saved"));
        QVERIFY2(outcomes.last().startsWith("told: The invoice number 6 is already on file"),
                 qPrintable(outcomes.last()));
        // One invoice 6, never two; the other desk's invoice is not stored.
        QCOMPARE(db.scalar("SELECT count(*) FROM Fatture WHERE \"Order Code\" = 6").toInt(), 1);
        QCOMPARE(db.count("Fatture"), 6);
        // Each desk's lines are its own: the saved invoice holds its desk's
        // one line only, the refused desk keeps its line to save again.
        QCOMPARE(db.scalar("SELECT count(*) FROM DettaglioFatture WHERE \"Numero Fattura\" = 6").toInt(), 1);
        QCOMPARE(db.count("Odummy"), 1);
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--desk") == 0)
        return desk(QString::fromLatin1(argv[2]).toInt());
    DesksTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desks.moc"
