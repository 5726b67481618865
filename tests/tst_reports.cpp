// The list reports through the real screens and windows, and the
// statistics screen, on a real file. Reports are read back from the PDF
// their window paints.

#include "app/navigation.h"
#include "data/datasource.h"
#include "reports/listreport.h"
#include "reports/reportwindow.h"
#include "tests/support.h"

#include <QAbstractButton>
#include <QPointer>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTableView>

using namespace velinor;
using namespace velinor::test;

namespace {

// The report's pages as text, painted through its preview's paintRequested.
QStringList printedPages(const QString& report)
{
    auto* window = reports::ReportWindow::find(report);
    if (!window)
        return {};
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("report.pdf"));
    emit window->preview()->paintRequested(&printer);
    return pdfPages(printer.outputFileName());
}

// The lines of the report that hold one of the values, in printed order.
QStringList linesWith(const QStringList& pages, const QStringList& values)
{
    QStringList lines;
    for (const QString& page : pages)
        for (const QString& line : page.split('\n'))
            for (const QString& v : values)
                if (line.contains(v)) {
                    lines << line.simplified();
                    break;
                }
    return lines;
}

QStringList gridColumn(QWidget* screen, const QString& grid, int column)
{
    auto* view = control<QTableView>(screen, grid);
    QStringList texts;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        texts << view->model()->index(r, column).data().toString();
    return texts;
}

} // namespace

class ReportsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;

    void addDocument(const QVariant& customer, double total)
    {
        m_db->exec("INSERT INTO Fatture (Cliente, \"Totale Fattura\") VALUES (?, ?)", {customer, total});
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        m_db = std::make_unique<TempDatabase>();
    }
    void cleanup()
    {
        // Reports first, so that no screen is restarted behind closeAll.
        for (const char* name : {"DataReport1", "DataReport4", "DataReport5"})
            if (auto* w = reports::ReportWindow::find(name))
                w->close();
        closeAll();
        QLocale::setDefault(QLocale::c());
        m_db.reset();
    }

    void statisticsList_data()
    {
        QTest::addColumn<QVariantList>("customers");
        QTest::addColumn<QList<double>>("totals");
        QTest::addColumn<QStringList>("expected"); // "customer|total" in grid order

        QTest::newRow("empty") << QVariantList{} << QList<double>{} << QStringList{};
        QTest::newRow("by customer, orders and invoices side by side")
            << QVariantList{"Rossi", "Bianchi", "Rossi"} << QList<double>{10.5, 200, 1234.25}
            << QStringList{"Bianchi|200", "Rossi|10,5", "Rossi|1234,25"};
        QTest::newRow("documents without a name first")
            << QVariantList{"Verdi", "", QVariant(), "Anna d'Amico"} << QList<double>{1, 2, 3, 4}
            << QStringList{"|3", "|2", "Anna d'Amico|4", "Verdi|1"};
    }
    void statisticsList()
    {
        QFETCH(QVariantList, customers);
        QFETCH(QList<double>, totals);
        QFETCH(QStringList, expected);
        for (int i = 0; i < customers.size(); ++i)
            addDocument(customers[i], totals[i]);

        QWidget* menu = nav::show("frmMenu");
        click(menu, "cmdMonthly");
        QWidget* s = screen("frmMonthly");
        QVERIFY(s);
        QCOMPARE(s->windowTitle(), QString("Monthly Earnings"));
        QVERIFY(!screen("frmMenu"));
        auto* grid = control<QTableView>(s, "DataGrid1");
        QCOMPARE(grid->model()->columnCount(), 2);
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString().toLower(), QString("cliente"));
        QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString().toLower(), QString("totale fattura"));
        QStringList shown;
        const QStringList names = gridColumn(s, "DataGrid1", 0), sums = gridColumn(s, "DataGrid1", 1);
        for (int i = 0; i < names.size(); ++i)
            shown << names[i] + '|' + sums[i];
        QCOMPARE(shown, expected);
        QCOMPARE(control<QAbstractButton>(s, "cmdReport")->isEnabled(), !expected.isEmpty());

        click(s, "cmdBack");
        QVERIFY(screen("frmMenu"));
        QVERIFY(!screen("frmMonthly"));
    }

    void reportStaysDisabledUntilTheScreenIsCreatedAgain()
    {
        QWidget* s = nav::show("frmMonthly");
        auto* report = control<QAbstractButton>(s, "cmdReport");
        QVERIFY(!report->isEnabled());
        addDocument("Rossi", 5);
        QApplication::setActiveWindow(s);
        QApplication::processEvents();
        QVERIFY(!report->isEnabled());
        QCOMPARE(control<QTableView>(s, "DataGrid1")->model()->rowCount(), 0);
        s = nav::restart(s);
        QVERIFY(control<QAbstractButton>(s, "cmdReport")->isEnabled());
    }

    // Each list report: printed from its screen under the company's name and
    // address, rows in the screen's order as it holds them, page numbers,
    // screen disabled meanwhile, restarted on close.
    void listReportProtocol_data()
    {
        QTest::addColumn<QString>("screenName");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QStringList>("headings");
        QTest::addColumn<QStringList>("values"); // one value of each row
        QTest::addColumn<QStringList>("lines");  // those rows as printed (patterns)
        QTest::addColumn<QString>("company");    // the Azienda row; "drop" for a file without it
        QTest::addColumn<QStringList>("heading"); // the two lines above the list

        QTest::newRow("articles") << "frmTire" << "DataReport1"
                                  << QStringList{"Code", "Category", "Size", "Quantity", "Price"}
                                  << QStringList{"TIR1A", "TIR2B", "TIR3C"}
                                  << QStringList{"TIR2B Ca' d'Oro 22 3,5 1234,5", "TIR3C Ferramenta pz 0,1",
                                                 "TIR1A Vernici 12 9,99"}
                                  << "" << QStringList{"(COMPANY NAME)", "(Address)"};
        QTest::newRow("customers") << "frmCustomer" << "DataReport4"
                                   << QStringList{"Code", "Name", "Address", "Contact No."}
                                   << QStringList{"CUS1A", "CUS2B"}
                                   << QStringList{"CUS1A L'Aquila Ferramenta e Colori di Giovanni Piazza d'Armi 3", // wraps
                                                  "CUS2B Zeta srl Via Roma 1 011 22"}
                                   << "Kestrava Forniture S.r.l.|Viale Monza|212|20127|Milano|MI"
                                   << QStringList{"Kestrava Forniture S.r.l.", "Viale Monza 212, 20127 Milano (MI)"};
        QTest::newRow("statistics") << "frmMonthly" << "DataReport5"
                                    << QStringList{"Year", "Month", "Earnings"}
                                    << QStringList{"Rossi", "Anna", "Bianchi"}
                                    << QStringList{"Anna d'Amico 1500,75", "Bianchi 0,1", "Rossi 10",
                                                   "Rossi 20,5"}
                                    << "drop" << QStringList{"(COMPANY NAME)", "(Address)"};
    }
    void listReportProtocol()
    {
        QFETCH(QString, screenName);
        QFETCH(QString, report);
        QFETCH(QStringList, headings);
        QFETCH(QStringList, values);
        QFETCH(QStringList, lines);
        QFETCH(QString, company);
        QFETCH(QStringList, heading);
        if (company == "drop")
            m_db->exec("DROP TABLE Azienda");
        else if (!company.isEmpty())
            m_db->exec("UPDATE Azienda SET Denominazione = ?, Indirizzo = ?, NumeroCivico = ?, CAP = ?, "
                       "Comune = ?, Provincia = ?",
                       {company.section('|', 0, 0), company.section('|', 1, 1), company.section('|', 2, 2),
                        company.section('|', 3, 3), company.section('|', 4, 4), company.section('|', 5, 5)});

        // Stored out of order; the screens sort by description and customer.
        m_db->exec("INSERT INTO Tires (\"Tire Code\", descrizione, Category, Size, Quantity, Price) VALUES "
                   "('TIR1A', 'zinco', 'Vernici', NULL, 12, 9.99), "
                   "('TIR2B', 'acido', 'Ca'' d''Oro', '22', 3.5, 1234.5), "
                   "('TIR3C', 'bulloni', 'Ferramenta', 'pz', NULL, 0.1)");
        m_db->exec("INSERT INTO Customers (\"Customer Code\", Cliente, Indirizzo, NumeroTelefonico) VALUES "
                   "('CUS2B', 'Zeta srl', 'Via Roma 1', '011 22'), "
                   "('CUS1A', 'L''Aquila Ferramenta e Colori di Giovanni Battista', 'Piazza d''Armi 3', NULL)");
        addDocument("Rossi", 10);
        addDocument("Bianchi", 0.1);
        addDocument("Anna d'Amico", 1500.75);
        addDocument("Rossi", 20.5);

        QPointer<QWidget> s = nav::show(screenName);
        // Rows written after the screen read its list are not the screen's.
        m_db->exec("INSERT INTO Tires (\"Tire Code\", descrizione) VALUES ('TIR9Z', 'aaa')");
        addDocument("Aaron", 1);
        m_db->exec("INSERT INTO Customers (\"Customer Code\", Cliente) VALUES ('CUS0Z', 'Aaron')");

        control<QAbstractButton>(s, "cmdReport")->click(); // hidden on frmTire, as delivered
        auto* window = reports::ReportWindow::find(report);
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->objectName(), report);
        QCOMPARE(window->windowTitle(), report);
        QVERIFY(window->findChild<QPrintPreviewWidget*>());
        QVERIFY(!s->isEnabled());

        const QStringList pages = printedPages(report);
        QCOMPARE(pages.size(), 1);
        QStringList top = pages[0].split('\n', Qt::SkipEmptyParts).mid(0, 2);
        for (QString& line : top)
            line = line.simplified();
        QCOMPARE(top, heading);
        QCOMPARE(linesWith(pages, {"Pagina"}), QStringList{"Pagina 1 di 1"});
        QVERIFY(linesWith(pages, {headings.first()}).contains(headings.join(' ')));
        const QStringList printed = linesWith(pages, values);
        QCOMPARE(printed.size(), lines.size());
        for (int i = 0; i < lines.size(); ++i)
            QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(lines[i])).match(printed[i]).hasMatch(),
                     qPrintable(printed[i]));
        // A name too long for its column goes on under itself, whole.
        if (report == "DataReport4")
            QVERIFY(pages[0].contains(QRegularExpression("Piazza d'Armi 3\\s*\\n\\s+Battista\\s*\\n")));
        QVERIFY(!pages[0].contains("TIR9Z") && !pages[0].contains("Aaron") && !pages[0].contains("CUS0Z"));

        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!s); // unloaded
        QVERIFY(!reports::ReportWindow::find(report));
        QWidget* fresh = screen(screenName);
        QVERIFY(fresh && fresh->isVisible() && fresh->isEnabled());
        // Created afresh: it reads the rows written meanwhile, first row current.
        const DataSource* source = fresh->findChild<DataSource*>(screenName == "frmTire" ? "Adodc4" : "Adodc1");
        const QString table = screenName == "frmTire" ? "Tires" : screenName == "frmCustomer" ? "Customers" : "Fatture";
        QCOMPARE(source->recordCount(), m_db->count(table));
        QCOMPARE(source->currentRow(), 0);
    }

    void oneWindowPerReportAndItGoesWithItsScreen()
    {
        m_db->exec("INSERT INTO Customers (\"Customer Code\", Cliente) VALUES ('CUS2B', 'Zeta srl')");
        QPointer<QWidget> s = nav::show("frmCustomer");
        DataSource source;
        source.setSource("SELECT * FROM Customers ORDER BY Cliente");
        reports::printList("DataReport4", source, s);
        QVERIFY(!s->isEnabled());

        // Printing again shows the new rows in the same window.
        m_db->exec("INSERT INTO Customers (\"Customer Code\", Cliente) VALUES ('CUS3C', 'Alfa')");
        source.refresh();
        reports::printList("DataReport4", source, s);
        int windows = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            windows += w->objectName() == "DataReport4" && w->isVisible();
        QCOMPARE(windows, 1);
        QCOMPARE(linesWith(printedPages("DataReport4"), {"CUS"}),
                 (QStringList{"CUS3C Alfa", "CUS2B Zeta srl"}));

        // The screen going (the program ending) takes its report along and
        // comes back no more.
        s->close();
        QVERIFY(!reports::ReportWindow::find("DataReport4"));
        QVERIFY(!screen("frmCustomer"));
    }

    void exportWritesAReadablePdf()
    {
        for (int i = 0; i < 150; ++i)
            addDocument(QString("Cliente %1").arg(i, 3, 10, QChar('0')), i);
        QWidget* s = nav::show("frmMonthly");
        click(s, "cmdReport");
        auto* window = reports::ReportWindow::find("DataReport5");
        QVERIFY(window);
        const QString path = QDir(m_db->dir()).filePath("DataReport5.pdf");
        QVERIFY(window->exportPdf(path));
        const QStringList pages = pdfPages(path);
        QCOMPARE(pages.size(), window->document().pageCount());
        QVERIFY(pages.size() >= 3);
        for (const QString& page : pages)
            QVERIFY(page.contains("Earnings"));
        QCOMPARE(linesWith(pages, {"Cliente "}).size(), 150);
        QCOMPARE(linesWith(pages, {"Cliente "}).last(), QString("Cliente 149 149"));
        QVERIFY(!window->exportPdf(QDir(m_db->dir()).filePath("missing/folder.pdf")));
    }
};

QTEST_MAIN(ReportsTest)
#include "tst_reports.moc"
