// The orders and invoices screens, driven through their widgets on a real file.

#include "app/navigation.h"
#include "common/numbertext.h"
#include "common/recordcode.h"
#include "data/copyowner.h"
#include "documents/fatturapaexport.h"
#include "reports/reportwindow.h"
#include "tests/support.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>

using namespace velinor;
using namespace velinor::test;

namespace {

QString screenOf(const QString& kind) { return kind == "order" ? "frmordini" : "frmFatture"; }

// What can be used: N S C P(rint) K (customers) A (articles) R (archive)
// E (lines editable).
QString usable(QWidget* s)
{
    QString state;
    const char* names[] = {"cmdAdd", "cmdSave", "cmdCancel", "cmdSlip", "DataGrid1", "DataGrid2",
                           "DataGrid4"};
    for (int i = 0; i < 7; ++i)
        if (control<QWidget>(s, names[i])->isEnabled())
            state += QChar("NSCPKAR"[i]);
    auto* lines = control<QTableView>(s, "DataGrid5");
    if (lines->model()->rowCount() > 0
        && lines->model()->flags(lines->model()->index(0, 0)).testFlag(Qt::ItemIsEditable))
        state += 'E';
    return state;
}

QString cell(QWidget* s, int row, int column)
{
    auto* model = control<QTableView>(s, "DataGrid5")->model();
    return model->data(model->index(row, column)).toString();
}

QString box(QWidget* s, const QString& name) { return control<QLineEdit>(s, name)->text(); }

} // namespace

class DocumentsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;

    void addCustomer(const QString& code, const QString& name, const QString& list)
    {
        m_db->exec("INSERT INTO Customers (\"Customer Code\", Cliente, listino) VALUES (?, ?, ?)",
                   {code, name, list});
    }
    // A field of this copy's print selection.
    QString selection(const QString& field)
    {
        return m_db->scalar(QString("SELECT \"%1\" FROM Ydummy WHERE Owner = ?").arg(field),
                            {copyowner::text()})
            .toString();
    }
    // Every saved row of both document tables, to see that nothing changed.
    QString documents()
    {
        QString all;
        for (const char* table : {"Fatture", "DettaglioFatture"}) {
            Statement st(m_db->db(), QString("SELECT * FROM %1 ORDER BY rowid").arg(table));
            while (st.step())
                for (int c = 0; c < st.columnCount(); ++c)
                    all += st.value(c).toString() + '|';
        }
        return all;
    }
    // Nuova, the first customer and one line per quantity from the articles.
    QWidget* enterDocument(const QString& kind, const QStringList& quantities)
    {
        QWidget* s = nav::show(screenOf(kind));
        click(s, "cmdAdd");
        clickRow(s, "DataGrid1", 0);
        for (int i = 0; i < quantities.size(); ++i) {
            if (i > 0)
                click(s, "cmdriga");
            clickRow(s, "DataGrid2", i);
            editCell(s, i, 2, quantities[i]);
        }
        return s;
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        setRecordCodeDraws({});
        m_db = std::make_unique<TempDatabase>();
        addCustomer("CUS1A", "Bottega Rossi", "2");
        m_db->exec("INSERT INTO Tires (\"Tire Code\", descrizione, Pattern, Iva, listino1, "
                   "listino2, listino3) VALUES ('TIR1A', 'Vite 4x40', 'pz', 22, 10, 20, 30), "
                   "('TIR2B', 'Colla vinilica', 'kg', 10, 1.15, 2, 3)");
    }
    void cleanup()
    {
        closeAll();
        QLocale::setDefault(QLocale::c());
        setRecordCodeDraws({});
        m_db.reset();
    }

    void numbering_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QVariantList>("onFile");
        QTest::addColumn<QList<double>>("draws");
        QTest::addColumn<QString>("number");
        QTest::newRow("first invoice") << "invoice" << QVariantList{} << QList<double>{} << "^1$";
        QTest::newRow("after 1..7") << "invoice" << QVariantList{1, 2, 3, 4, 5, 6, 7}
                                    << QList<double>{} << "^8$";
        QTest::newRow("last no number") << "invoice" << QVariantList{1, 2, "x"}
                                        << QList<double>{} << "^1$";
        QTest::newRow("past 16 bits") << "invoice" << QVariantList{32767} << QList<double>{}
                                      << "^32768$";
        QTest::newRow("order code") << "order" << QVariantList{} << QList<double>{}
                                    << "^ORD(0|[1-9]\\d{0,5})[A-Z]$";
        QTest::newRow("order code on file") << "order" << QVariantList{"ORD0A"}
                                            << QList<double>{0, 0, 0.5, 0.5} << "^ORD500000M$";
    }
    void numbering()
    {
        QFETCH(QString, kind);
        QFETCH(QVariantList, onFile);
        QFETCH(QList<double>, draws);
        QFETCH(QString, number);
        if (m_db->isServer() && onFile.contains(QVariant("x")))
            QSKIP("a server's whole-number field holds no text");
        for (const QVariant& n : onFile)
            m_db->exec(kind == "order" ? "INSERT INTO Fatture (\"Numero Ordine\") VALUES (?)"
                                       : "INSERT INTO Fatture (\"Order Code\") VALUES (?)",
                       {n});
        if (!draws.isEmpty())
            setRecordCodeDraws([draws, next = std::make_shared<int>(0)] { return draws.at((*next)++); });
        // Lines left over from an abandoned document.
        m_db->exec("INSERT INTO Odummy (\"Descrizione Articolo\", Owner) VALUES ('vecchia', ?1), "
                   "('riga', ?1)",
                   {copyowner::text()});

        QWidget* s = nav::show(screenOf(kind));
        QCOMPARE(usable(s), QString(onFile.isEmpty() ? "NKAR" : "NPKAR"));
        click(s, "cmdAdd");
        QVERIFY2(QRegularExpression(number).match(box(s, "txtCode")).hasMatch(),
                 qPrintable(box(s, "txtCode")));
        QCOMPARE(box(s, "txtDate"), formatDate(QDate::currentDate()));
        QCOMPARE(usable(s), QString("SCKAE"));
        QCOMPARE(m_db->count("Odummy"), 0);
        auto* lines = control<QTableView>(s, "DataGrid5")->model();
        QCOMPARE(lines->rowCount(), 1);
        QCOMPARE(lines->columnCount(), 20);
        QCOMPARE(lines->headerData(18, Qt::Horizontal).toString(), QString("Numero Ordine"));
        QCOMPARE(lines->headerData(19, Qt::Horizontal).toString(), QString("Natura"));
    }

    void lineFromArticle_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("price");
        QTest::newRow("invoice, list 2") << "invoice" << "2" << "2";
        QTest::newRow("order, list 3") << "order" << "3" << "3";
        QTest::newRow("invoice, list 1") << "invoice" << "1" << "1.15";
        QTest::newRow("order, no list") << "order" << "" << "1.15";
        QTest::newRow("invoice, list 4") << "invoice" << "4" << "1.15";
        QTest::newRow("order, 02") << "order" << "02" << "1.15";
        QTest::newRow("invoice, space 2") << "invoice" << " 2" << "1.15";
    }
    void lineFromArticle()
    {
        QFETCH(QString, kind);
        QFETCH(QString, list);
        QFETCH(QString, price);
        m_db->exec("UPDATE Customers SET listino = ?", {list});
        QWidget* s = enterDocument(kind, {"3"});
        if (kind == "invoice") {
            type(s, "txtBolla", "B/12");
            type(s, "txtdatabolla", "1/3/2024");
        }
        clickRow(s, "DataGrid2", 0); // again: keeps the quantity, takes the DDT
        const bool invoice = kind == "invoice";
        QCOMPARE(cell(s, 0, 1), QString("Colla vinilica"));
        QCOMPARE(cell(s, 0, 2), QString("3"));
        QCOMPARE(cell(s, 0, 3), price);
        QCOMPARE(cell(s, 0, 5), QString("10"));
        QCOMPARE(cell(s, 0, 10), formatDate(QDate::currentDate()));
        QCOMPARE(cell(s, 0, 11), QString("CUS1A"));
        QCOMPARE(cell(s, 0, 13), QString("TIR2B"));
        QCOMPARE(cell(s, 0, 14), QString(invoice ? "B/12" : ""));
        QCOMPARE(cell(s, 0, 15), QString(invoice ? "1/3/2024" : ""));
        QCOMPARE(cell(s, 0, 16), QString("kg"));
        QCOMPARE(cell(s, 0, invoice ? 12 : 18), box(s, "txtCode"));
        QCOMPARE(cell(s, 0, invoice ? 18 : 12), QString());
        QCOMPARE(box(s, "txtSupplier"), QString("Bottega Rossi"));
    }

    void amounts_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("typed"); // price, VAT rate, quantity
        QTest::addColumn<QString>("taxable");
        QTest::addColumn<QString>("total");
        QTest::newRow("12.5 x 3 at 20") << "invoice" << "C" << "F2"
                                        << QStringList{"12.5", "20", "3"} << "37.5" << "45";
        QTest::newRow("1.15 x 3 at 21") << "order" << "C" << "type"
                                        << QStringList{"1.15", "21", "3"} << "3.45" << "4.1745";
        QTest::newRow("0.1 x 3 at 20") << "invoice" << "C" << "double"
                                       << QStringList{"0.1", "20", "3"} << "0.3" << "0.36";
        QTest::newRow("12,5 x 3 at 20, Italian") << "order" << "it_IT" << "F2"
                                                 << QStringList{"12,5", "20", "3"} << "37,5" << "45";
        QTest::newRow("1,15 x 3 at 21, Italian") << "invoice" << "it_IT" << "type"
                                                 << QStringList{"1,15", "21", "3"} << "3,45"
                                                 << "4,1745";
        QTest::newRow("0,1 x 3 at 20, Italian") << "order" << "it_IT" << "double"
                                                << QStringList{"0,1", "20", "3"} << "0,3" << "0,36";
        QTest::newRow("VAT 0") << "order" << "C" << "F2" << QStringList{"7.25", "0", "2"}
                               << "14.5" << "14.5";
        QTest::newRow("quantity no number") << "invoice" << "C" << "F2"
                                            << QStringList{"2", "20", "tre"} << "" << "";
    }
    void amounts()
    {
        QFETCH(QString, kind);
        QFETCH(QString, locale);
        QFETCH(QString, how);
        QFETCH(QStringList, typed);
        QFETCH(QString, taxable);
        QFETCH(QString, total);
        QLocale::setDefault(QLocale(locale));
        QWidget* s = nav::show(screenOf(kind));
        click(s, "cmdAdd");
        editCell(s, 0, 3, typed[0], how);
        editCell(s, 0, 5, typed[1], how);
        editCell(s, 0, 2, typed[2], how);
        QCOMPARE(cell(s, 0, 4), taxable);
        QCOMPARE(cell(s, 0, 6), total);
    }

    // "valorizza" and "Salva": totals by VAT rate in cents, shown with two
    // decimals in the user's locale and stored as shown; for an invoice the
    // printed total and the e-invoice's say the same.
    void totals_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("lines"); // "price rate quantity" as typed, "" for a line without amounts
        QTest::addColumn<QStringList>("totals"); // taxable, VAT, document, as the boxes show them
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("37.5 at 20%, 10 at 22%") << "invoice" << "C" << QStringList{"12.5 20 3", "10 22 1"}
                                                << QStringList{"47.50", "9.70", "57.20"}
                                                << QStringList{"47.5", "9.7", "57.2"};
        QTest::newRow("the same, Italian") << "order" << "it_IT" << QStringList{"12,5 20 3", "10 22 1"}
                                           << QStringList{"47,50", "9,70", "57,20"}
                                           << QStringList{"47.5", "9.7", "57.2"};
        QTest::newRow("3.45 at 21%, 0.3 at 20%") << "order" << "C" << QStringList{"1.15 21 3", "0.1 20 3"}
                                                 << QStringList{"3.75", "0.78", "4.53"}
                                                 << QStringList{"3.75", "0.78", "4.53"};
        QTest::newRow("the same, Italian invoice") << "invoice" << "it_IT" << QStringList{"1,15 21 3", "0,1 20 3"}
                                                   << QStringList{"3,75", "0,78", "4,53"}
                                                   << QStringList{"3.75", "0.78", "4.53"};
        QTest::newRow("three-decimal prices") << "invoice" << "it_IT" << QStringList{"0,045 22 25", "0,469 10 5"}
                                              << QStringList{"3,48", "0,49", "3,97"}
                                              << QStringList{"3.48", "0.49", "3.97"};
        QTest::newRow("line without amounts between") << "order" << "C" << QStringList{"12.5 20 3", "", "10 22 1"}
                                                      << QStringList{"47.50", "9.70", "57.20"}
                                                      << QStringList{"47.5", "9.7", "57.2"};
        QTest::newRow("empty line last") << "invoice" << "C" << QStringList{"12.5 20 3", ""}
                                         << QStringList{"37.50", "7.50", "45.00"} << QStringList{"37.5", "7.5", "45"};
        QTest::newRow("no lines") << "invoice" << "it_IT" << QStringList{} << QStringList{"0,00", "0,00", "0,00"}
                                  << QStringList{"0", "0", "0"};
    }
    void totals()
    {
        QFETCH(QString, kind);
        QFETCH(QString, locale);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, totals);
        QFETCH(QStringList, stored);
        QLocale::setDefault(QLocale(locale));
        Messages messages;
        QWidget* s = nav::show(screenOf(kind));
        click(s, "cmdAdd");
        clickRow(s, "DataGrid1", 0);
        for (int i = 0; i < lines.size(); ++i) {
            if (i > 0)
                click(s, "cmdriga");
            const QStringList typed = lines[i].split(' ');
            if (lines[i].isEmpty()) {
                editCell(s, i, 1, "nota");
                continue;
            }
            clickRow(s, "DataGrid2", 0);
            editCell(s, i, 3, typed[0]);
            editCell(s, i, 5, typed[1]);
            editCell(s, i, 2, typed[2]);
        }
        for (int twice = 0; twice < 2; ++twice) {
            click(s, "cmdTotali");
            QCOMPARE((QStringList{box(s, "txtimponibile"), box(s, "txtimposta"), box(s, "txttotale")}), totals);
        }
        click(s, "cmdSave");
        QCOMPARE(messages.texts(), QStringList());
        QCOMPARE((QStringList{m_db->column("Fatture", "Totale Imponibile").value(0),
                              m_db->column("Fatture", "Totale Imposta").value(0),
                              m_db->column("Fatture", "Totale Fattura").value(0)}),
                 stored);
        QCOMPARE((QStringList{box(s, "txtimponibile"), box(s, "txtimposta"), box(s, "txttotale")}), totals);
        // An invoice of whole lines only: an empty one could not be filed.
        if (kind == "order" || lines.isEmpty() || lines.contains(""))
            return;

        // Printed, the total under "Totale Fattura"; filed, ImportoTotaleDocumento.
        clickRow(s, "DataGrid4", 0);
        click(s, "cmdSlip");
        QTemporaryDir dir;
        const QString pdf = dir.filePath("invoice.pdf");
        QVERIFY(reports::ReportWindow::find("DataReport8")->exportPdf(pdf));
        const QStringList printed = pdfPages(pdf).join('\n').split('\n');
        const qsizetype heading = printed.indexOf(QRegularExpression("\\s*Imponibile\\s+Iva\\s+Totale Fattura\\s*"));
        QVERIFY(heading >= 0);
        QCOMPARE(printed.value(heading + 1).simplified(), QStringList(totals).join(' '));

        m_db->exec("UPDATE Azienda SET Denominazione = 'Kestrava Forniture S.r.l.', PartitaIva = '02458130966', "
                   "Indirizzo = 'Viale Monza', CAP = '20127', Comune = 'Milano', Provincia = 'MI'");
        m_db->exec("UPDATE Customers SET Indirizzo = 'Via Nizza 133', \"città\" = 'Torino', cap = '10126', "
                   "PartitaIva = '02457810014', Provincia = 'TO', CodiceDestinatario = 'T04ZHR3'");
        QString file;
        setSaveDialogHook([&](const QString& proposed) { return file = QDir(dir.path()).filePath(QFileInfo(proposed).fileName()); });
        exportFatturaPA(s, box(s, "txtCode"));
        setSaveDialogHook({});
        QCOMPARE(messages.texts().filter("was written to").size(), 1);
        QFile xml(file);
        QVERIFY(xml.open(QIODevice::ReadOnly));
        const QString filed = QString::fromUtf8(xml.readAll()).section("<ImportoTotaleDocumento>", 1).section('<', 0, 0);
        QCOMPARE(filed, QString::number(stored[2].toDouble(), 'f', 2));
    }

    void saveAndFindAgain_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("indexed");
        QTest::newRow("order") << "order" << true;
        QTest::newRow("invoice") << "invoice" << true;
        QTest::newRow("invoice, file without indexes") << "invoice" << false;
    }
    void saveAndFindAgain()
    {
        QFETCH(QString, kind);
        QFETCH(bool, indexed);
        if (!indexed) {
            QStringList indexes = m_db->db().engine().indexes();
            indexes.removeIf([](const QString& name) { return name.endsWith("_pkey"); });
            QVERIFY(!indexes.isEmpty());
            for (const QString& index : indexes)
                m_db->exec(QString("DROP INDEX \"%1\"").arg(index));
        }
        const bool invoice = kind == "invoice";
        m_db->exec("INSERT INTO Ydummy (\"Numero Ordine\", \"Order Code\", Owner) VALUES ('ORDX', 99, ?)",
                   {copyowner::text()});
        Messages messages;
        QWidget* s = enterDocument(kind, {"2", "3"});
        if (invoice)
            type(s, "txtCode", "40000"); // after the lines were picked: they follow it
        click(s, "cmdSave");
        QCOMPARE(messages.texts(), QStringList());
        QCOMPARE(usable(s), QString("NPR"));
        QCOMPARE(m_db->count("Odummy"), 0);
        QCOMPARE(m_db->count("Fatture"), 1);
        const QString key = invoice ? "Order Code" : "Numero Ordine";
        const QString number = m_db->column("Fatture", key).value(0);
        QCOMPARE(number, invoice ? QString("40000") : box(s, "txtCode"));
        QCOMPARE(m_db->column("Fatture", "Totale Imponibile"), QStringList{"64"}); // 2 x 2 + 3 x 20, list 2
        QCOMPARE(m_db->column("Fatture", "Cliente"), QStringList{"Bottega Rossi"});
        QCOMPARE(m_db->column("Fatture", "Date"), QStringList{QDate::currentDate().toString(Qt::ISODate)});
        QCOMPARE(m_db->column("DettaglioFatture", invoice ? "Numero Fattura" : "Numero Ordine"),
                 (QStringList{number, number}));

        closeAll();
        s = nav::show(screenOf(kind));
        clickRow(s, "DataGrid4", 0);
        QCOMPARE(selection(key), number);
        QCOMPARE(selection(invoice ? "Numero Ordine" : "Order Code"), QString(invoice ? "ORDX" : "99"));
        QCOMPARE(selection("cliente"), QString("Bottega Rossi"));
        QCOMPARE(selection("numerorighe"), QString("0"));
        QCOMPARE(control<QTableView>(s, "DataGrid5")->model()->rowCount(), 2);
        QCOMPARE(cell(s, 1, 1), QString("Vite 4x40"));
    }

    void saveRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        QTest::newRow("order, no customer") << "order" << "customer" << "Invalid data.";
        QTest::newRow("invoice, no customer") << "invoice" << "customer" << "Invalid data.";
        QTest::newRow("invoice number 0") << "invoice" << "0" << "Invalid data.";
        QTest::newRow("invoice number abc") << "invoice" << "abc" << "Invalid data.";
        QTest::newRow("invoice number 2.5") << "invoice" << "2.5" << "Invalid data.";
        QTest::newRow("invoice number taken") << "invoice" << "7"
                                              << "The invoice number 7 is already on file";
        QTest::newRow("order, file locked") << "order" << "lock" << "Saving the order failed: the "
                                                                    "database file is in use";
        QTest::newRow("order, header refused") << "order" << "trigger"
                                               << "Saving the order failed: header refused";
        QTest::newRow("invoice, file locked") << "invoice" << "lock" << "Saving the invoice failed";
        QTest::newRow("invoice, date no date") << "invoice" << "31/31/2024"
                                               << "Saving the invoice failed: \"Data Fattura\" holds "
                                                  "dates only";
    }
    void saveRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QString, fault);
        if (m_db->isServer() && (fault == "trigger" || fault == "lock"))
            QSKIP("written in SQLite's own trigger and lock statements");
        QFETCH(QString, message);
        m_db->exec("INSERT INTO Fatture (\"Order Code\") VALUES (7)");
        m_db->exec("INSERT INTO DettaglioFatture (\"Numero Fattura\") VALUES (7)");
        const QString before = documents();
        Messages messages;
        QWidget* s = nav::show(screenOf(kind));
        click(s, "cmdAdd");
        if (fault != "customer")
            clickRow(s, "DataGrid1", 0);
        clickRow(s, "DataGrid2", 0);
        editCell(s, 0, 2, "2");
        click(s, "cmdriga");
        clickRow(s, "DataGrid2", 1);
        editCell(s, 1, 2, "1");
        clickRow(s, "DataGrid5", 0, 1); // the lines are in the working table now
        const QString number = box(s, "txtCode");
        if (fault.contains('/'))
            type(s, "txtDate", fault);
        else if (fault == "0" || fault == "abc" || fault == "2.5" || fault == "7")
            type(s, "txtCode", fault);
        if (fault == "trigger")
            m_db->exec("CREATE TRIGGER refuse BEFORE INSERT ON Fatture "
                       "BEGIN SELECT RAISE(ABORT, 'header refused'); END");
        std::unique_ptr<Database> other;
        if (fault == "lock") {
            other = std::make_unique<Database>(m_db->path());
            other->exec("BEGIN IMMEDIATE");
        }
        click(s, "cmdSave");
        QVERIFY2(messages.last().startsWith(message), qPrintable(messages.last()));
        QCOMPARE(messages.lastIcon(), msg::Icon::Critical);
        QCOMPARE(documents(), before);
        QCOMPARE(m_db->count("Odummy"), 2);
        QCOMPARE(usable(s), QString("SCKAE"));
        QCOMPARE(box(s, "txtSupplier"), QString(fault == "customer" ? "" : "Bottega Rossi"));
        QCOMPARE(box(s, "txttotale"), QString("28.80"));
        QCOMPARE(control<QTableView>(s, "DataGrid5")->model()->rowCount(), 2);
        if (fault == "lock") {
            // Once the other program lets go, the same document is stored once.
            other->exec("ROLLBACK");
            messages.clear();
            click(s, "cmdSave");
            QCOMPARE(messages.texts(), QStringList());
            QCOMPARE(m_db->count("Fatture"), 2);
            QCOMPARE(m_db->count("DettaglioFatture"), 3);
            QCOMPARE(m_db->count("Odummy"), 0);
            QCOMPARE(m_db->scalar(QString("SELECT count(*) FROM Fatture WHERE \"%1\" = ?")
                                      .arg(kind == "order" ? "Numero Ordine" : "Order Code"),
                                  {number}).toInt(), 1);
        }
    }

    void savedDocumentUnchanged_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("number");
        QTest::newRow("order with a quote") << "order" << "ORD'1A";
        QTest::newRow("invoice") << "invoice" << "3";
    }
    void savedDocumentUnchanged()
    {
        QFETCH(QString, kind);
        QFETCH(QString, number);
        const bool invoice = kind == "invoice";
        const QString key = invoice ? "Order Code" : "Numero Ordine";
        const QString lineKey = invoice ? "Numero Fattura" : "Numero Ordine";
        m_db->exec(QString("INSERT INTO Fatture (\"%1\", Cliente, \"Totale Fattura\") "
                           "VALUES (?, 'Altro', 5)").arg(key), {number});
        m_db->exec(QString("INSERT INTO DettaglioFatture (\"%1\", \"Descrizione Articolo\", "
                           "\"Quantità\") VALUES (?, 'a', 1), (?, 'b', 2), ('9', 'c', 3)")
                       .arg(lineKey),
                   {number, number});
        const QString before = documents();
        Messages messages;
        QWidget* s = nav::show(screenOf(kind));
        auto* lines = control<QTableView>(s, "DataGrid5");
        // Before the first "Nuova" and after picking the document: picks,
        // new lines, totals and typing into its lines change nothing.
        for (int round = 0; round < 2; ++round) {
            if (round == 1)
                clickRow(s, "DataGrid4", 0);
            clickRow(s, "DataGrid1", 0);
            clickRow(s, "DataGrid2", 0);
            click(s, "cmdriga");
            click(s, "cmdTotali");
            if (lines->model()->rowCount() > 0) {
                clickRow(s, "DataGrid5", 0, 2);
                QTest::keyClick(lines, Qt::Key_F2);
                QTest::keyClicks(lines, "9");
                QTest::keyClick(lines, Qt::Key_Return);
            }
        }
        QCOMPARE(lines->model()->rowCount(), 2);
        QCOMPARE(box(s, "txtSupplier"), QString("Altro"));
        closeAll();
        QCOMPARE(documents(), before);
        QCOMPARE(messages.texts(), QStringList());
        QCOMPARE(selection(key), number);
    }
};

QTEST_MAIN(DocumentsTest)
#include "tst_documents.moc"
