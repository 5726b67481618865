// The printed order/quotation and sales invoice: the rows their data
// environments read from the print selection on a real file, and the PDF
// their report window exports after "Stampa" on the real screens.

#include "app/navigation.h"
#include "reports/documentprint.h"
#include "reports/documentreport.h"
#include "reports/reportwindow.h"
#include "data/copyowner.h"
#include "tests/support.h"

#include <QPointer>
#include <QTableView>

using namespace velinor;
using namespace velinor::reports;
using namespace velinor::test;

namespace {

// "ORD1A" is an order's number, "I:3" invoice 3.
bool isInvoice(const QString& key) { return key.startsWith("I:"); }
QVariant number(const QString& key) { return isInvoice(key) ? QVariant(key.mid(2).toLongLong()) : QVariant(key); }

void select(TempDatabase& db, const QString& key, const QString& customer)
{
    // The one row of a new file becomes this copy's selection.
    db.exec(QString(R"(UPDATE Ydummy SET "%1" = ?, cliente = ?, Owner = ?)").arg(isInvoice(key) ? "Order Code" : "Numero Ordine"),
            {number(key), customer, copyowner::text()});
}

// Orders carry invoice number 0 and invoices an empty order number, the
// worst a screen could leave in the other key.
void addDocument(TempDatabase& db, const QString& key, const QString& customer, const QVariantList& more = {})
{
    db.exec(R"(INSERT INTO Fatture ("Numero Ordine", "Order Code", Cliente, Date, "Totale Imponibile",
               "Totale Imposta", "Totale Fattura", Pagamento, Aspetto, "Numero Colli", Vettore)
               VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?))",
            QVariantList{isInvoice(key) ? QVariant("") : number(key), isInvoice(key) ? number(key) : 0, customer}
                + (more.isEmpty() ? QVariantList(8) : more));
}

void addLine(TempDatabase& db, const QString& key, const QString& description, double quantity = 1,
             double price = 1, double vat = 22)
{
    const double taxable = quantity * price;
    db.exec(R"(INSERT INTO DettaglioFatture ("Descrizione Articolo", "Quantità", Prezzo, Imponibile, Iva,
               "Totale Riga", UM, bolla, databolla, "Numero Ordine", "Numero Fattura")
               VALUES (?, ?, ?, ?, ?, ?, 'pz', 'DDT7', '05/03/2024', ?, ?))",
            {description, quantity, price, taxable, vat, taxable + taxable * vat / 100,
             isInvoice(key) ? QVariant() : number(key), isInvoice(key) ? number(key) : QVariant()});
}

void addCustomer(TempDatabase& db, const QString& code, const QString& name)
{
    db.exec(R"(INSERT INTO Customers ("Customer Code", Cliente, Indirizzo, "città", cap, PartitaIva,
               CodiceFiscale) VALUES (?, ?, 'Via Roma 1', 'Milano', '20100', '01234567890', 'RSSMRA80A01F205X'))",
            {code, name});
}

// The PDF the window exports, page by page, each line's columns one space apart.
QList<QStringList> exported(ReportWindow* window)
{
    QTemporaryDir dir;
    if (!window || !window->exportPdf(dir.filePath("document.pdf")))
        return {};
    QList<QStringList> pages;
    for (const QString& page : pdfPages(dir.filePath("document.pdf"))) {
        pages << QStringList();
        for (const QString& line : page.split('\n'))
            if (!line.trimmed().isEmpty())
                pages.last() << line.simplified();
    }
    return pages;
}

const QString footer = "Velinor - gestionale per la piccola impresa";

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

    // Which customers head the printout, and which lines print under them.
    void rowsOfTheSelection_data()
    {
        QTest::addColumn<QStringList>("customers"); // "code|name"
        QTest::addColumn<QStringList>("documents"); // "key|customer"
        QTest::addColumn<QStringList>("lines"); // "key|description"
        QTest::addColumn<QString>("selected"); // "key|customer"
        QTest::addColumn<QStringList>("headers"); // customer codes of the parent rows
        QTest::addColumn<QStringList>("printed");

        const QStringList two{"C1|Rossi", "C2|Bianchi"};
        QTest::newRow("order: equal lines once, other documents out")
            << two << QStringList{"ORD1A|Rossi", "ORD2B|Rossi", "I:1|Rossi"}
            << QStringList{"ORD1A|Viti", "ORD1A|Viti", "ORD1A|Dadi", "ORD2B|Altro", "I:1|Fattura"} << "ORD1A|Rossi"
            << QStringList{"C1"} << QStringList{"Viti", "Dadi"};
        QTest::newRow("invoice: equal lines once, other documents out")
            << two << QStringList{"I:3|Rossi", "I:4|Rossi", "ORD3C|Rossi"}
            << QStringList{"I:3|Viti", "I:3|Dadi", "I:3|Viti", "I:4|Altro", "ORD3C|Ordine"} << "I:3|Rossi"
            << QStringList{"C1"} << QStringList{"Viti", "Dadi"};
        QTest::newRow("two customers of one name, one document each")
            << QStringList{"C1|Rossi", "C2|Bianchi", "C3|Rossi"} << QStringList{"I:2|Rossi"}
            << QStringList{"I:2|Viti"} << "I:2|Rossi" << QStringList{"C1", "C3"} << QStringList{"Viti", "Viti"};
        QTest::newRow("no matching customer, nothing printed")
            << two << QStringList{"ORD1A|Verdi"} << QStringList{"ORD1A|Viti"} << "ORD1A|Verdi" << QStringList{}
            << QStringList{};
        QTest::newRow("customer of the selection, not of the document")
            << two << QStringList{"ORD1A|Rossi"} << QStringList{"ORD1A|Viti"} << "ORD1A|Bianchi"
            << QStringList{"C2"} << QStringList{"Viti"};
        QTest::newRow("order without lines")
            << two << QStringList{"ORD1A|Rossi"} << QStringList{} << "ORD1A|Rossi" << QStringList{"C1"} << QStringList{};
        QTest::newRow("quotes in the number and the name")
            << QStringList{"C4|d'Amico"} << QStringList{"ORD1'A|d'Amico", "ORD1|d'Amico"}
            << QStringList{"ORD1'A|Viti", "ORD1|Altro"} << "ORD1'A|d'Amico" << QStringList{"C4"} << QStringList{"Viti"};
        QTest::newRow("empty order number names no document")
            << two << QStringList{"I:1|Rossi"} << QStringList{"I:1|Fattura"} << "|Rossi" << QStringList{}
            << QStringList{};
        QTest::newRow("invoice number 0 names no document")
            << two << QStringList{"ORD1A|Rossi"} << QStringList{"ORD1A|Viti"} << "I:0|Rossi" << QStringList{}
            << QStringList{};
    }
    void rowsOfTheSelection()
    {
        QFETCH(QStringList, customers);
        QFETCH(QStringList, documents);
        QFETCH(QStringList, lines);
        QFETCH(QString, selected);
        QFETCH(QStringList, headers);
        QFETCH(QStringList, printed);
        for (const QString& c : customers)
            addCustomer(*m_db, c.section('|', 0, 0), c.section('|', 1));
        for (const QString& d : documents)
            addDocument(*m_db, d.section('|', 0, 0), d.section('|', 1));
        QStringList descriptions;
        for (const QString& l : lines)
            addLine(*m_db, l.section('|', 0, 0), descriptions.emplaceBack(l.section('|', 1)));
        select(*m_db, selected.section('|', 0, 0), selected.section('|', 1));

        const auto kind = isInvoice(selected) ? DocumentKind::Invoice : DocumentKind::Order;
        const DataEnvironment& de = DataEnvironment::renew(m_db->db(), kind);
        QCOMPARE(DataEnvironment::instance(kind), &de);
        QStringList codes;
        for (const QVariantList& row : de.command1().rows.values)
            codes << row.at(de.command1().rows.fieldIndex("Customer Code")).toString();
        QCOMPARE(codes, headers);

        // What prints: the lines under each document, each closed by its totals.
        const ReportDocument doc = layoutDocument(de);
        QStringList shown;
        int totals = 0;
        for (int p = 0; p < doc.pageCount(); ++p)
            for (const QString& t : doc.texts(p)) {
                if (descriptions.contains(t))
                    shown << t;
                totals += t == "Iva";
            }
        QCOMPARE(shown, printed);
        QCOMPARE(totals, headers.size());
    }

    // Pick in the archive, "Stampa": the document in its report window,
    // the screen still usable; another pick and "Stampa" show the other
    // document in the same window.
    void stampaOnTheDocumentScreens_data()
    {
        QTest::addColumn<QString>("screenName");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("expected"); // the first document's page

        const QStringList customer{"Via Roma 1", "20100", "Partita IVA 01234567890", "Codice Fiscale RSSMRA80A01F205X",
                                   "Descrizione Q.tà UM Prezzo Totale iva Totale Riga DDT n. del",
                                   "Viti M6 100 pz 0,15 15,00 22 18,30 DDT7 05/03/2024",
                                   "Staffa zincata 2 pz 1234567,89 2469135,78 10 2716049,358 DDT7 05/03/2024",
                                   "Aliquota IVA Imponibile Imposta", "10% 2469135,78 246913,58", "22% 15,00 3,30"};
        // Stored before totals were kept in cents: printed as they stand.
        const QString sums = "2469150,78 271604,578 2716067,658";
        const QString footer = ::footer + " Pagina 1 di 1";
        QTest::newRow("orders") << "frmordini" << QStringList{"ORD7'Q", "ORD8R"}
                                << QStringList{"ORDINE / PREVENTIVO", "Numero Ordine ORD7'Q Cliente Rossi Srl",
                                               customer[0], "Data Ordine 07/03/2024 Milano"}
                                       + customer.mid(1) + QStringList{"Imponibile Iva Totale Ordine", sums, footer};
        QTest::newRow("invoices") << "frmFatture" << QStringList{"I:12", "I:13"}
                                  << QStringList{"FATTURA DI VENDITA", "Numero Fattura 12 Cliente Rossi Srl",
                                                 customer[0], "Data Fattura 07/03/2024 Milano"}
                                         + customer.mid(1)
                                         + QStringList{"Imponibile Iva Totale Fattura", sums,
                                                       "Pagamento Aspetto N.Colli Vettore",
                                                       "Bonifico 30 gg Scatole 3 Corriere Espresso", footer};
    }
    void stampaOnTheDocumentScreens()
    {
        QFETCH(QString, screenName);
        QFETCH(QStringList, keys);
        QFETCH(QStringList, expected);
        Messages messages;
        addCustomer(*m_db, "C1", "Rossi Srl");
        addCustomer(*m_db, "C2", "Bianchi Spa");
        addDocument(*m_db, keys[0], "Rossi Srl",
                    {"2024-03-07", 2469150.78, 271604.578, 2716067.658, "Bonifico 30 gg", "Scatole", "3",
                     "Corriere Espresso"});
        addDocument(*m_db, keys[1], "Bianchi Spa");
        addLine(*m_db, keys[0], "Viti M6", 100, 0.15, 22);
        addLine(*m_db, keys[0], "Staffa zincata", 2, 1234567.89, 10);
        addLine(*m_db, keys[1], "Dadi M8");
        const QString report = screenName == "frmordini" ? "DataReport9" : "DataReport8";

        QWidget* s = nav::show(screenName);
        clickRow(s, "DataGrid4", 0);
        click(s, "cmdSlip");
        QPointer<ReportWindow> window = ReportWindow::find(report);
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->windowTitle(), report);
        QCOMPARE(exported(window), QList<QStringList>{expected});
        QVERIFY(s->isVisible() && s->isEnabled());

        clickRow(s, "DataGrid4", 1);
        click(s, "cmdSlip");
        QCOMPARE(ReportWindow::find(report), window.data());
        const QStringList page = exported(window).value(0);
        QCOMPARE(page.value(1), expected[1].replace(keys[0].mid(isInvoice(keys[0]) ? 2 : 0),
                                                    keys[1].mid(isInvoice(keys[1]) ? 2 : 0))
                                    .replace("Rossi Srl", "Bianchi Spa"));
        QCOMPARE(page.filter("Viti M6").size(), 0);
        QCOMPARE(page.filter("Dadi M8").size(), 1);
        QCOMPARE(messages.count(), 0);
    }

    // Printed as a shop hands it over: the seller above the title, every
    // word of every line, the VAT summary and the totals, page numbers.
    void sellerSummaryAndEveryWord_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("seller");
        QTest::newRow("invoice") << "I:3" << true;
        QTest::newRow("order") << "ORD5A" << true;
        QTest::newRow("invoice, file without the company table") << "I:4" << false;
    }
    void sellerSummaryAndEveryWord()
    {
        QFETCH(QString, key);
        QFETCH(bool, seller);
        if (seller)
            m_db->exec("UPDATE Azienda SET Denominazione = 'Kestrava Forniture S.r.l.', PartitaIva = '02458130966', "
                       "CodiceFiscale = '02458130966', Indirizzo = 'Viale Monza', NumeroCivico = '212', "
                       "CAP = '20127', Comune = 'Milano', Provincia = 'MI'");
        else
            m_db->exec("DROP TABLE Azienda");
        const QString name = "Edilcasa Bergamasca S.n.c. di Locatelli & C.";
        addCustomer(*m_db, "C1", name);
        addDocument(*m_db, key, name, {"2026-12-05", 192.1, 41.33, 233.43, "", "", "", ""});
        addLine(*m_db, key, "Trapano avvitatore 18V con 2 batterie", 1, 149.9, 22);
        addLine(*m_db, key, "Viti", 250, 0.045, 22);
        addLine(*m_db, key, "Tasselli", 5, 0.469, 10);
        addLine(*m_db, key, "Pane", 3, 1.2, 4);
        for (int i = 1; i <= 25; ++i)
            addLine(*m_db, key, QString("Articolo %1").arg(i));
        select(*m_db, key, name);

        const QList<QStringList> pages =
            exported(printDocument(isInvoice(key) ? DocumentKind::Invoice : DocumentKind::Order, m_db->db()));
        QCOMPARE(pages.size(), 2);
        const QStringList sellerLines{"Kestrava Forniture S.r.l.", "Viale Monza 212", "20127 Milano (MI)",
                                      "Partita IVA 02458130966", "Codice Fiscale 02458130966"};
        QStringList all;
        for (int p = 0; p < 2; ++p) {
            const QStringList& page = pages[p];
            QCOMPARE(page.mid(0, seller ? 5 : 0), seller ? sellerLines : QStringList());
            QCOMPARE(page.value(seller ? 5 : 0), isInvoice(key) ? "FATTURA DI VENDITA" : "ORDINE / PREVENTIVO");
            // The customer's name whole, under itself where it is too long.
            const qsizetype customer = page.indexOf(QRegularExpression(".* Cliente Edilcasa Bergamasca S.n.c. di Locatelli"));
            QVERIFY(customer > 0);
            QCOMPARE(page.value(customer + 1), "& C.");
            QCOMPARE(page.last(), QString("%1 Pagina %2 di 2").arg(footer).arg(p + 1));
            all += page;
        }
        const qsizetype drill = all.indexOf(QRegularExpression("Trapano avvitatore 18V con 2 1 pz 149,90 149,90 22 .*"));
        QVERIFY(drill > 0);
        QCOMPARE(all.value(drill + 1), "batterie");
        QCOMPARE(all.filter(QRegularExpression("^Articolo \\d+ 1 pz 1,00 1,00 22 1,22 ")).size(), 25);
        // The summary adds up to the totals the document stores.
        const qsizetype summary = all.indexOf("Aliquota IVA Imponibile Imposta");
        QVERIFY(summary > all.indexOf(QRegularExpression("^Articolo 25 .*")));
        QCOMPARE(all.mid(summary + 1, 3), (QStringList{"4% 3,60 0,14", "10% 2,35 0,24", "22% 186,15 40,95"}));
        QCOMPARE(all.value(summary + 4), QString("Imponibile Iva Totale %1").arg(isInvoice(key) ? "Fattura" : "Ordine"));
        QCOMPARE(all.value(summary + 5), "192,10 41,33 233,43");
    }

    // Two pages of lines and the invoice's totals on a third: every page
    // under the page header with the document's header again, each line
    // once, the totals once after the last line.
    void documentOfSeveralPages()
    {
        const QString key = "I:9";
        const int lineCount = 58; // 29 a page
        addCustomer(*m_db, "C1", "Rossi Srl");
        addDocument(*m_db, key, "Rossi Srl");
        for (int i = 1; i <= lineCount; ++i)
            addLine(*m_db, key, QString("Articolo %1").arg(i, 3, 10, QChar('0')));
        select(*m_db, key, "Rossi Srl");

        const QList<QStringList> pages = exported(printDocument(DocumentKind::Invoice, m_db->db()));
        QCOMPARE(pages.size(), 3);
        QStringList all;
        for (const QStringList& page : pages) {
            QCOMPARE(page.value(1), QString("Numero Fattura 9 Cliente Rossi Srl"));
            QCOMPARE(page.filter(QRegularExpression("^Descrizione Q.tà")).size(), 1);
            QCOMPARE(page.last(), QString("%1 Pagina %2 di 3").arg(footer).arg(pages.indexOf(page) + 1));
            all += page;
        }
        const QStringList printed = all.filter(QRegularExpression("^Articolo "));
        QCOMPARE(printed.size(), lineCount);
        QVERIFY(printed.last().startsWith(QString("Articolo %1 ").arg(lineCount, 3, 10, QChar('0'))));
        QCOMPARE(all.filter(QRegularExpression("^Imponibile Iva Totale")).size(), 1);
        const QString last = pages.last().join('\n');
        QVERIFY(last.indexOf("Imponibile Iva Totale") > last.lastIndexOf("Articolo"));
    }
};

QTEST_MAIN(DocumentPrintTest)
#include "tst_documentprint.moc"
