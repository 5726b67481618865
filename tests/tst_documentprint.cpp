// The printed order/quotation and sales invoice: the rows their data
// environments read from the print selection on a real file, and the PDF
// their report window exports, read back as text.

#include "app/navigation.h"
#include "reports/documentprint.h"
#include "reports/documentreport.h"
#include "reports/reportwindow.h"
#include "tests/support.h"

#include <QPointer>
#include <QTableView>

using namespace velinor;
using namespace velinor::reports;
using namespace velinor::test;

namespace {

constexpr auto Order = DocumentKind::Order;
constexpr auto Invoice = DocumentKind::Invoice;

// "O:ORD1A" is an order's number, "I:3" an invoice's.
struct Key {
    DocumentKind kind;
    QString value;
};
Key keyOf(const QString& text) { return {text.startsWith("I:") ? Invoice : Order, text.mid(2)}; }

void select(TempDatabase& db, DocumentKind kind, const QString& key, const QString& customer)
{
    if (kind == Order)
        db.exec(R"(UPDATE Ydummy SET "Numero Ordine" = ?, cliente = ?)", {key, customer});
    else
        db.exec(R"(UPDATE Ydummy SET "Order Code" = ?, cliente = ?)", {key.toLongLong(), customer});
}

// Orders carry invoice number 0 and invoices an empty order number, the
// worst a screen could leave in the other key.
void addDocument(TempDatabase& db, const QString& key, const QString& customer, const QString& date = {},
                 const QVariantList& totals = {QVariant(), QVariant(), QVariant()},
                 const QStringList& transport = {{}, {}, {}, {}})
{
    const Key k = keyOf(key);
    db.exec(R"(INSERT INTO Fatture ("Numero Ordine", "Order Code", Cliente, Date, "Totale Imponibile",
               "Totale Imposta", "Totale Fattura", Pagamento, Aspetto, "Numero Colli", Vettore)
               VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?))",
            {k.kind == Order ? k.value : QString(""), k.kind == Invoice ? k.value.toLongLong() : 0, customer,
             date, totals[0], totals[1], totals[2], transport[0], transport[1], transport[2], transport[3]});
}

void addLine(TempDatabase& db, const QString& key, const QString& description, double quantity = 1,
             double price = 1, double vat = 22, const QString& note = {}, const QString& noteDate = {})
{
    const Key k = keyOf(key);
    const double taxable = quantity * price;
    db.exec(R"(INSERT INTO DettaglioFatture ("Descrizione Articolo", "Quantità", Prezzo, Imponibile, Iva,
               "Totale Riga", UM, bolla, databolla, "Numero Ordine", "Numero Fattura")
               VALUES (?, ?, ?, ?, ?, ?, 'pz', ?, ?, ?, ?))",
            {description, quantity, price, taxable, vat, taxable + taxable * vat / 100, note, noteDate,
             k.kind == Order ? QVariant(k.value) : QVariant(),
             k.kind == Invoice ? QVariant(k.value.toLongLong()) : QVariant()});
}

void addCustomer(TempDatabase& db, const QString& code, const QString& name)
{
    db.exec(R"(INSERT INTO Customers ("Customer Code", Cliente, Indirizzo, "città", cap, PartitaIva,
               CodiceFiscale) VALUES (?, ?, 'Via Roma 1', 'Milano', '20100', '01234567890',
               'RSSMRA80A01F205X'))",
            {code, name});
}

// Every text of the laid-out pages that is one of the values, in order.
QStringList printed(const ReportDocument& doc, const QStringList& values)
{
    QStringList found;
    for (int p = 0; p < doc.pageCount(); ++p)
        for (const QString& t : doc.texts(p))
            if (values.contains(t))
                found << t;
    return found;
}

// The PDF the report window exports, page by page, each line with its
// columns one space apart.
QList<QStringList> exported(ReportWindow* window)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("document.pdf");
    if (!window->exportPdf(path))
        return {};
    QList<QStringList> pages;
    for (const QString& page : pdfPages(path)) {
        QStringList lines;
        for (const QString& line : page.split('\n'))
            if (!line.trimmed().isEmpty())
                lines << line.simplified();
        pages << lines;
    }
    return pages;
}

void clickRow(QWidget* s, const QString& grid, int row)
{
    auto* view = control<QTableView>(s, grid);
    const QRect r = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
}

int indexOf(const QStringList& lines, const QString& start)
{
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].startsWith(start))
            return i;
    return -1;
}

} // namespace

class DocumentPrintTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;

private slots:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        m_db = std::make_unique<TempDatabase>();
    }
    void cleanup()
    {
        for (const char* name : {"DataReport8", "DataReport9"})
            if (auto* w = ReportWindow::find(name))
                w->close();
        closeAll();
        QLocale::setDefault(QLocale::c());
        m_db.reset();
    }

    // Which customers head the printout and which lines print under them.
    void rowsOfTheSelection_data()
    {
        QTest::addColumn<QStringList>("customers"); // "code|name"
        QTest::addColumn<QStringList>("documents"); // "key|customer"
        QTest::addColumn<QStringList>("lines"); // "key|description"
        QTest::addColumn<QString>("selected"); // "key|customer"
        QTest::addColumn<QStringList>("headers"); // customer codes of the parent rows
        QTest::addColumn<QStringList>("printedLines");

        const QStringList rossi{"C1|Rossi", "C2|Bianchi"};
        QTest::newRow("order: equal lines once, other documents out")
            << rossi << QStringList{"O:ORD1A|Rossi", "O:ORD2B|Rossi", "I:1|Rossi"}
            << QStringList{"O:ORD1A|Viti", "O:ORD1A|Viti", "O:ORD1A|Dadi", "O:ORD2B|Altro", "I:1|Fattura"}
            << "O:ORD1A|Rossi" << QStringList{"C1"} << QStringList{"Viti", "Dadi"};
        QTest::newRow("invoice: equal lines once, other documents out")
            << rossi << QStringList{"I:3|Rossi", "I:4|Rossi", "O:ORD3C|Rossi"}
            << QStringList{"I:3|Viti", "I:3|Dadi", "I:3|Viti", "I:4|Altro", "O:ORD3C|Ordine"} << "I:3|Rossi"
            << QStringList{"C1"} << QStringList{"Viti", "Dadi"};
        QTest::newRow("order: two customers of one name, one header each")
            << QStringList{"C1|Rossi", "C2|Bianchi", "C3|Rossi"} << QStringList{"O:ORD1A|Rossi"}
            << QStringList{"O:ORD1A|Viti"} << "O:ORD1A|Rossi" << QStringList{"C1", "C3"}
            << QStringList{"Viti", "Viti"};
        QTest::newRow("invoice: two customers of one name, one header each")
            << QStringList{"C1|Rossi", "C3|Rossi"} << QStringList{"I:2|Rossi"} << QStringList{"I:2|Viti"}
            << "I:2|Rossi" << QStringList{"C1", "C3"} << QStringList{"Viti", "Viti"};
        QTest::newRow("order: no matching customer, nothing printed")
            << rossi << QStringList{"O:ORD1A|Verdi"} << QStringList{"O:ORD1A|Viti"} << "O:ORD1A|Verdi"
            << QStringList{} << QStringList{};
        QTest::newRow("invoice: no matching customer, nothing printed")
            << rossi << QStringList{"I:5|Verdi"} << QStringList{"I:5|Viti"} << "I:5|Verdi" << QStringList{}
            << QStringList{};
        QTest::newRow("customer of the selection, not of the document")
            << rossi << QStringList{"O:ORD1A|Rossi"} << QStringList{"O:ORD1A|Viti"} << "O:ORD1A|Bianchi"
            << QStringList{"C2"} << QStringList{"Viti"};
        QTest::newRow("order without lines") << rossi << QStringList{"O:ORD1A|Rossi"} << QStringList{}
                                             << "O:ORD1A|Rossi" << QStringList{"C1"} << QStringList{};
        QTest::newRow("quotes in the number and the name")
            << QStringList{"C4|d'Amico"} << QStringList{"O:ORD1'A|d'Amico", "O:ORD1|d'Amico"}
            << QStringList{"O:ORD1'A|Viti", "O:ORD1|Altro"} << "O:ORD1'A|d'Amico" << QStringList{"C4"}
            << QStringList{"Viti"};
        QTest::newRow("empty order number names no document")
            << rossi << QStringList{"I:1|Rossi"} << QStringList{"I:1|Fattura"} << "O:|Rossi" << QStringList{}
            << QStringList{};
        QTest::newRow("invoice number 0 names no document")
            << rossi << QStringList{"O:ORD1A|Rossi"} << QStringList{"O:ORD1A|Viti"} << "I:0|Rossi"
            << QStringList{} << QStringList{};
    }
    void rowsOfTheSelection()
    {
        QFETCH(QStringList, customers);
        QFETCH(QStringList, documents);
        QFETCH(QStringList, lines);
        QFETCH(QString, selected);
        QFETCH(QStringList, headers);
        QFETCH(QStringList, printedLines);
        for (const QString& c : customers)
            addCustomer(*m_db, c.section('|', 0, 0), c.section('|', 1));
        for (const QString& d : documents)
            addDocument(*m_db, d.section('|', 0, 0), d.section('|', 1));
        QStringList descriptions;
        for (const QString& l : lines) {
            addLine(*m_db, l.section('|', 0, 0), l.section('|', 1));
            descriptions << l.section('|', 1);
        }
        const Key key = keyOf(selected.section('|', 0, 0));
        select(*m_db, key.kind, key.value, selected.section('|', 1));

        const DataEnvironment& de = DataEnvironment::renew(m_db->db(), key.kind);
        QCOMPARE(DataEnvironment::instance(key.kind), &de);
        const ReportRows& parents = de.command1().rows;
        QStringList codes;
        for (const QVariantList& row : parents.values)
            codes << row.at(parents.fieldIndex("Customer Code")).toString();
        QCOMPARE(codes, headers);

        const ReportDocument doc = layoutDocument(de);
        QCOMPARE(printed(doc, descriptions), printedLines);
        // One document per header row, each closed by its totals.
        QCOMPARE(printed(doc, {"Imponibile"}).size(), headers.size());
    }

    // One document of each kind through its report window's PDF export.
    void exportedDocument_data()
    {
        QTest::addColumn<DocumentKind>("kind");
        QTest::addColumn<QStringList>("expected"); // lines of the page, in order

        const QStringList customerBlock{"Via Roma 1", "20100", "Partita IVA 01234567890",
                                        "Codice Fiscale RSSMRA80A01F205X"};
        const QString headings = "Descrizione Q.tà UM Prezzo Totale iva Totale Riga DDT n. del";
        const QStringList lines{"Viti M6 100 pz 0,15 15 22 18,3 DDT7 05/03/2024",
                                "Staffa zincata 2 pz 1234567,89 2469135,78 10 2716049,358 DDT7 05/03/2024"};
        QTest::newRow("order") << Order
                               << QStringList{"ORDINE / PREVENTIVO", "Numero Ordine ORD7'Q Cliente Rossi Srl"}
                                      + QStringList{customerBlock[0], "Data Ordine 07/03/2024 Milano"}
                                      + customerBlock.mid(1) + QStringList{headings} + lines
                                      + QStringList{"Imponibile Iva Totale Ordine", "2469150,78 271604,578 2716067,658",
                                                    "Velinor - gestionale per la piccola impresa"};
        QTest::newRow("invoice") << Invoice
                                 << QStringList{"FATTURA DI VENDITA", "Numero Fattura 12 Cliente Rossi Srl"}
                                        + QStringList{customerBlock[0], "Data Fattura 07/03/2024 Milano"}
                                        + customerBlock.mid(1) + QStringList{headings} + lines
                                        + QStringList{"Imponibile Iva Totale Fattura",
                                                      "2469150,78 271604,578 2716067,658",
                                                      "Pagamento Aspetto N.Colli Vettore",
                                                      "Bonifico 30 gg Scatole 3 Corriere Espresso",
                                                      "Velinor - gestionale per la piccola impresa"};
    }
    void exportedDocument()
    {
        QFETCH(DocumentKind, kind);
        QFETCH(QStringList, expected);
        const QString key = kind == Order ? "O:ORD7'Q" : "I:12";
        addCustomer(*m_db, "C1", "Rossi Srl");
        addDocument(*m_db, key, "Rossi Srl", "2024-03-07", {2469150.78, 271604.578, 2716067.658},
                    {"Bonifico 30 gg", "Scatole", "3", "Corriere Espresso"});
        addLine(*m_db, key, "Viti M6", 100, 0.15, 22, "DDT7", "05/03/2024");
        addLine(*m_db, key, "Staffa zincata", 2, 1234567.89, 10, "DDT7", "05/03/2024");
        select(*m_db, kind, keyOf(key).value, "Rossi Srl");

        ReportWindow* window = printDocument(kind, m_db->db());
        QCOMPARE(window->objectName(), documentReportName(kind));
        QCOMPARE(window->windowTitle(), documentReportName(kind));
        QVERIFY(window->isVisible());
        const QList<QStringList> pages = exported(window);
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages[0], expected);
    }

    // More lines than a page holds: every page under the page header with
    // the document's header again, each line once, the totals once at the end.
    void documentOfSeveralPages_data()
    {
        QTest::addColumn<DocumentKind>("kind");
        QTest::addColumn<int>("lineCount");
        QTest::newRow("order") << Order << 70;
        QTest::newRow("invoice, totals pushed to a page of their own") << Invoice << 29;
    }
    void documentOfSeveralPages()
    {
        QFETCH(DocumentKind, kind);
        QFETCH(int, lineCount);
        const QString key = kind == Order ? "O:ORD9X" : "I:9";
        const QString number = keyOf(key).value;
        addCustomer(*m_db, "C1", "Rossi Srl");
        addDocument(*m_db, key, "Rossi Srl", "2024-03-07", {1, 2, 3});
        for (int i = 1; i <= lineCount; ++i)
            addLine(*m_db, key, QString("Articolo %1").arg(i, 3, 10, QChar('0')));
        select(*m_db, kind, number, "Rossi Srl");

        const QList<QStringList> pages = exported(printDocument(kind, m_db->db()));
        QVERIFY(pages.size() >= 2);
        QStringList all;
        for (int p = 0; p < pages.size(); ++p) {
            const QStringList& page = pages[p];
            QCOMPARE(page.first(), kind == Order ? QString("ORDINE / PREVENTIVO") : QString("FATTURA DI VENDITA"));
            QCOMPARE(page.value(1).section(" Cliente", 0, 0),
                     (kind == Order ? "Numero Ordine " : "Numero Fattura ") + number);
            QVERIFY(indexOf(page, "Descrizione Q.tà") > 0);
            QCOMPARE(page.last(), QString("Velinor - gestionale per la piccola impresa"));
            all += page;
        }
        QStringList printedLines;
        for (const QString& line : all)
            if (line.startsWith("Articolo "))
                printedLines << line.section(' ', 0, 1);
        QCOMPARE(printedLines.size(), lineCount);
        QCOMPARE(printedLines.first(), QString("Articolo 001"));
        QCOMPARE(printedLines.last(), QString("Articolo %1").arg(lineCount, 3, 10, QChar('0')));
        QCOMPARE(all.filter(QRegularExpression("^Imponibile Iva Totale")).size(), 1);
        const QStringList& last = pages.last();
        QVERIFY(indexOf(last, "Imponibile Iva Totale") > indexOf(last, "Articolo ")
                || indexOf(last, "Articolo ") < 0);
    }

    // Pick in the archive, "Stampa": the document in its report window
    // beside the screen, which stays usable; another pick and "Stampa" show
    // the other document in the same window.
    void stampaOnTheDocumentScreens_data()
    {
        QTest::addColumn<QString>("screenName");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("numberLines");
        QTest::newRow("orders") << "frmordini" << QStringList{"O:ORD1A", "O:ORD2'B"}
                                << QStringList{"Numero Ordine ORD1A Cliente Rossi Srl",
                                               "Numero Ordine ORD2'B Cliente Bianchi Spa"};
        QTest::newRow("invoices") << "frmFatture" << QStringList{"I:1", "I:2"}
                                  << QStringList{"Numero Fattura 1 Cliente Rossi Srl",
                                                 "Numero Fattura 2 Cliente Bianchi Spa"};
    }
    void stampaOnTheDocumentScreens()
    {
        QFETCH(QString, screenName);
        QFETCH(QStringList, keys);
        QFETCH(QStringList, numberLines);
        Messages messages;
        addCustomer(*m_db, "C1", "Rossi Srl");
        addCustomer(*m_db, "C2", "Bianchi Spa");
        addDocument(*m_db, keys[0], "Rossi Srl", "2024-03-07");
        addDocument(*m_db, keys[1], "Bianchi Spa", "2024-03-08");
        addLine(*m_db, keys[0], "Viti M6");
        addLine(*m_db, keys[1], "Dadi M8");
        const QString report = screenName == "frmordini" ? "DataReport9" : "DataReport8";

        QWidget* s = nav::show(screenName);
        clickRow(s, "DataGrid4", 0);
        click(s, "cmdSlip");
        QPointer<ReportWindow> window = ReportWindow::find(report);
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->windowTitle(), report);
        QVERIFY(s->isVisible() && s->isEnabled());
        QStringList page = exported(window).value(0);
        QVERIFY2(page.contains(numberLines[0]), qPrintable(page.join('\n')));
        QCOMPARE(indexOf(page, "Viti M6") > 0, true);
        QCOMPARE(indexOf(page, "Dadi M8"), -1);

        clickRow(s, "DataGrid4", 1);
        click(s, "cmdSlip");
        QCOMPARE(ReportWindow::find(report), window.data());
        page = exported(window).value(0);
        QVERIFY2(page.contains(numberLines[1]), qPrintable(page.join('\n')));
        QCOMPARE(indexOf(page, "Viti M6"), -1);
        QVERIFY(indexOf(page, "Dadi M8") > 0);
        QVERIFY(s->isEnabled());
        QCOMPARE(messages.count(), 0);
    }

    // Stampa again with another selection: the open window shows it. A
    // selection that names nothing opens an empty document and no message.
    void openWindowFollowsTheSelection()
    {
        Messages messages;
        addCustomer(*m_db, "C1", "Rossi Srl");
        addDocument(*m_db, "O:ORD1A", "Rossi Srl");
        addDocument(*m_db, "O:ORD2B", "Rossi Srl");
        select(*m_db, Order, "ORD1A", "Rossi Srl");
        QPointer<ReportWindow> window = printDocument(Order, m_db->db());
        QVERIFY(exported(window).value(0).contains("Numero Ordine ORD1A Cliente Rossi Srl"));

        select(*m_db, Order, "ORD2B", "Rossi Srl");
        QCOMPARE(printDocument(Order, m_db->db()), window.data());
        QVERIFY(exported(window).value(0).contains("Numero Ordine ORD2B Cliente Rossi Srl"));

        select(*m_db, Order, "ORD3C", "Rossi Srl");
        QCOMPARE(printDocument(Order, m_db->db()), window.data());
        QCOMPARE(exported(window).value(0),
                 (QStringList{"ORDINE / PREVENTIVO", "Velinor - gestionale per la piccola impresa"}));

        // A file that cannot be read: the error reaches the caller, the
        // window and the data environment stay as they were.
        const DataEnvironment* before = DataEnvironment::instance(Order);
        m_db->exec("ALTER TABLE Ydummy RENAME TO Ydummy_old");
        QVERIFY_THROWS_EXCEPTION(DbError, printDocument(Order, m_db->db()));
        QCOMPARE(DataEnvironment::instance(Order), before);
        QVERIFY(window);
        QCOMPARE(messages.count(), 0);
    }
};

QTEST_MAIN(DocumentPrintTest)
#include "tst_documentprint.moc"
