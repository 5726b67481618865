// Electronic invoices: files exported from saved invoices checked by
// xmllint against the published FatturaPA schema, the rounding of the file's
// sums, every refusal, older files and velinor-initdb --upgrade, the
// company screen, and velinor-fatturapa's exit codes.

#include "app/navigation.h"
#include "documents/fatturapaexport.h"
#include "masterdata/checkmark.h"
#include "tests/fatturapafiles.h"
#include "tests/support.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QXmlStreamReader>

using namespace velinor;
using namespace velinor::test;

class FatturaPATest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<Messages> m_messages;
    QString m_proposed;

    void company()
    {
        m_db->exec("UPDATE Azienda SET Denominazione = 'Kestrava Forniture S.r.l.', "
                   "PartitaIva = '02458130966', CodiceFiscale = '02458130966', "
                   "Indirizzo = 'Viale Monza', NumeroCivico = '212', CAP = '20127', "
                   "Comune = 'Milano', Provincia = 'MI'");
    }
    void customer(const QString& code, const QString& name, const QString& dest,
                  const QString& pec)
    {
        m_db->exec("INSERT INTO Customers ([Customer Code], Cliente, Indirizzo, città, cap, "
                   "PartitaIva, CodiceFiscale, Provincia, Nazione, CodiceDestinatario, PEC) "
                   "VALUES (?, ?, 'Via Nizza 133', 'Torino', '10126', '02457810014', "
                   "'VRDGPP65H04L219M', 'TO', 'IT', ?, ?)",
                   {code, name, dest, pec});
    }
    void invoice(int number, const QString& customerCode, const QString& name)
    {
        m_db->exec("INSERT INTO Fatture ([Order Code], Date, Cliente, [Codice Cliente]) VALUES "
                   "(?, '2026-12-07', ?, ?)",
                   {number, name, customerCode});
    }
    // A line as the invoice screen computes it, in double precision.
    void line(int number, const QString& description, double quantity, double price, double rate,
              const QString& ddt = {}, const QString& ddtDate = {})
    {
        const double amount = price * quantity;
        m_db->exec("INSERT INTO DettaglioFatture ([Descrizione Articolo], [Quantità], Prezzo, "
                   "Imponibile, Iva, [Totale Riga], [Numero Fattura], [Codice Articolo], bolla, "
                   "databolla, UM) VALUES (?, ?, ?, ?, ?, ?, ?, 'TIR104827A', ?, ?, 'pz')",
                   {description, quantity, price, amount, rate, amount + amount * rate / 100,
                    number, ddt, ddtDate});
    }
    // A valid invoice 1 with one line at 22%.
    void validInvoice()
    {
        company();
        customer("CUS1A", "Idrotermica Verdi", "T04ZHR3", "");
        invoice(1, "CUS1A", "Idrotermica Verdi");
        line(1, "Viti legno 4x40", 4, 6.9, 22);
    }
    // Exports from the invoice screen's entry point; the file, or empty.
    QString exportInvoice(int number)
    {
        m_proposed.clear();
        exportFatturaPA(nullptr, QString::number(number));
        return m_proposed.isEmpty() || !QFile::exists(m_proposed) ? QString() : m_proposed;
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TempDatabase>();
        m_messages = std::make_unique<Messages>();
        setSaveDialogHook([this](const QString& proposed) {
            m_proposed = proposed;
            return proposed;
        });
    }
    void cleanup()
    {
        closeAll();
        setSaveDialogHook({});
        m_messages.reset();
        m_db.reset();
    }

    void validatesAgainstSchema_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::newRow("one rate, one DDT, Codice Destinatario") << "ddt";
        QTest::newRow("three rates, PEC only") << "rates";
        QTest::newRow("accents, ampersand, typographic quotes") << "text";
        QTest::newRow("two DDTs and a line without one") << "twoDdt";
        QTest::newRow("a line with an amount only, packages") << "amountOnly";
        QTest::newRow("customer abroad") << "abroad";
    }
    void validatesAgainstSchema()
    {
        QFETCH(QString, setup);
        company();
        if (setup == "rates") {
            customer("CUS2B", "Ferramenta Bianchi", "", "bianchi@pec.example.it");
            invoice(1, "CUS2B", "Ferramenta Bianchi");
            line(1, "Concime", 25, 2.4, 4);
            line(1, "Basilico", 12, 2.1, 10);
            line(1, "Tubo", 3, 21.4, 22);
        } else if (setup == "text") {
            customer("CUS3C", "Caffè & Pâtisserie «Ñoño» S.r.l.", "A4707H7", "");
            invoice(1, "CUS3C", "Caffè & Pâtisserie «Ñoño» S.r.l.");
            line(1, "Smalto “lucido” – 0,75 l <bianco> & più…", 2, 14.9, 22);
        } else if (setup == "twoDdt") {
            customer("CUS4D", "Edil Partenope", "W7YVJK9", "");
            invoice(1, "CUS4D", "Edil Partenope");
            line(1, "Cavo", 100, 0.45, 22, "118", "01/12/2026");
            line(1, "Nastro", 10, 1.2, 22, "121", "2026-12-03");
            line(1, "Trasporto", 1, 15, 22);
        } else if (setup == "abroad") {
            m_db->exec("INSERT INTO Customers ([Customer Code], Cliente, Indirizzo, città, cap, "
                       "PartitaIva, Nazione) VALUES ('CUS6F', 'Quincaillerie Dupont SARL', "
                       "'12 rue de la Paix', 'Lyon', '69002', '40303265045', 'FR')");
            invoice(1, "CUS6F", "Quincaillerie Dupont SARL");
            line(1, "Lucchetto", 5, 9.9, 22);
        } else if (setup == "amountOnly") {
            customer("CUS5E", "Costruzioni Zanon", "5RUO82D", "");
            invoice(1, "CUS5E", "Costruzioni Zanon");
            m_db->exec("UPDATE Fatture SET [Numero Colli] = '3', Aspetto = 'Scatole'");
            line(1, "Rubinetto", 2, 7.8, 22);
            m_db->exec("INSERT INTO DettaglioFatture ([Descrizione Articolo], Imponibile, Iva, "
                       "[Numero Fattura]) VALUES ('Spese di imballo', 4.5, 22, 1)");
        } else {
            customer("CUS1A", "Rossi Forniture", "M5UXCR1", "");
            invoice(1, "CUS1A", "Rossi Forniture");
            line(1, "Viti", 4, 6.9, 22, "118", "01/12/2026");
            line(1, "Martello", 2, 18.5, 22, "118", "01/12/2026");
        }
        const QString file = exportInvoice(1);
        QVERIFY2(!file.isEmpty(), qPrintable(m_messages->texts().join('\n')));
        QCOMPARE(QFileInfo(file).fileName(), QString("IT02458130966_00001.xml"));
        const QString errors = schemaErrors(file);
        QVERIFY2(errors.isEmpty(), qPrintable(errors));
        QVERIFY(m_messages->last().contains("was written to"));

        if (setup == "rates") {
            QCOMPARE(texts(file, "CodiceDestinatario"), QStringList{"0000000"});
            QCOMPARE(texts(file, "PECDestinatario"), QStringList{"bianchi@pec.example.it"});
            QCOMPARE(texts(file, "ImponibileImporto"), (QStringList{"60.00", "25.20", "64.20"}));
            QCOMPARE(texts(file, "Imposta"), (QStringList{"2.40", "2.52", "14.12"}));
            QCOMPARE(texts(file, "ImportoTotaleDocumento"), QStringList{"168.44"});
        } else if (setup == "text") {
            QCOMPARE(texts(file, "Denominazione").last(),
                     QString("Caffè & Pâtisserie «Ñoño» S.r.l."));
            QCOMPARE(texts(file, "Descrizione"),
                     QStringList{"Smalto \"lucido\" - 0,75 l <bianco> & più..."});
        } else if (setup == "twoDdt") {
            QCOMPARE(texts(file, "NumeroDDT"), (QStringList{"118", "121"}));
            QCOMPARE(texts(file, "DataDDT"), (QStringList{"2026-12-01", "2026-12-03"}));
            QCOMPARE(texts(file, "RiferimentoNumeroLinea"), (QStringList{"1", "2"}));
        } else if (setup == "abroad") {
            QCOMPARE(texts(file, "CodiceDestinatario"), QStringList{"XXXXXXX"});
            QCOMPARE(texts(file, "CAP").last(), QString("00000"));
            QCOMPARE(texts(file, "IdPaese").last(), QString("FR"));
        } else if (setup == "amountOnly") {
            QCOMPARE(texts(file, "Quantita"), QStringList{"2.00"});
            QCOMPARE(texts(file, "PrezzoUnitario"), (QStringList{"7.80", "4.50"}));
            QCOMPARE(texts(file, "NumeroColli"), QStringList{"3"});
        } else {
            QCOMPARE(texts(file, "NumeroDDT"), QStringList{"118"});
            QVERIFY(texts(file, "RiferimentoNumeroLinea").isEmpty()); // it covers every line
        }
    }

    // The lines keep their doubles; the file rounds half up, per rate, after
    // summing the lines.
    void rounding_data()
    {
        QTest::addColumn<QList<double>>("prices"); // quantity 1 unless noted
        QTest::addColumn<double>("quantity");
        QTest::addColumn<double>("rate");
        QTest::addColumn<QString>("lineTotal");
        QTest::addColumn<QString>("taxable");
        QTest::addColumn<QString>("tax");
        QTest::addColumn<QString>("total");
        QTest::newRow("1.15 x 3 at 21%") << QList<double>{1.15} << 3.0 << 21.0 << "3.45" << "3.45"
                                         << "0.72" << "4.17";
        QTest::newRow("cents agree only when summed first")
            << QList<double>{1.333, 1.333, 1.334} << 1.0 << 22.0 << "1.333" << "4.00" << "0.88"
            << "4.88";
        QTest::newRow("tax half a cent rounds up") << QList<double>{1.25} << 1.0 << 10.0 << "1.25"
                                                   << "1.25" << "0.13" << "1.38";
        QTest::newRow("0.1 x 3 at 20%") << QList<double>{0.1} << 3.0 << 20.0 << "0.30" << "0.30"
                                        << "0.06" << "0.36";
    }
    void rounding()
    {
        QFETCH(QList<double>, prices);
        QFETCH(double, quantity);
        QFETCH(double, rate);
        company();
        customer("CUS1A", "Verdi", "T04ZHR3", "");
        invoice(1, "CUS1A", "Verdi");
        for (double price : prices)
            line(1, "Articolo", quantity, price, rate);
        const QString file = exportInvoice(1);
        QVERIFY2(!file.isEmpty(), qPrintable(m_messages->texts().join('\n')));
        QVERIFY2(schemaErrors(file).isEmpty(), qPrintable(schemaErrors(file)));
        QTEST(texts(file, "PrezzoTotale").first(), "lineTotal");
        QTEST(texts(file, "ImponibileImporto").join(' '), "taxable");
        QTEST(texts(file, "Imposta").join(' '), "tax");
        QTEST(texts(file, "ImportoTotaleDocumento").join(' '), "total");
        QCOMPARE(texts(file, "AliquotaIVA").last(), QString::number(rate, 'f', 2));
    }

    // Each refusal lists the problem, writes nothing and keeps the file
    // number free; company problems open the company screen.
    void refusals_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("opensCompany");
        QTest::newRow("company without Partita IVA")
            << "UPDATE Azienda SET PartitaIva = ''" << QStringList{"Partita IVA is missing"} << true;
        QTest::newRow("company Partita IVA mistyped")
            << "UPDATE Azienda SET PartitaIva = '02458130967'" << QStringList{"wrong check digit"}
            << true;
        QTest::newRow("company without CAP and Comune")
            << "UPDATE Azienda SET CAP = '', Comune = NULL"
            << QStringList{"The CAP is missing", "town (Comune) is missing"} << true;
        QTest::newRow("customer without Partita IVA and Codice Fiscale")
            << "UPDATE Customers SET PartitaIva = '', CodiceFiscale = ''"
            << QStringList{"Both the Partita IVA and the Codice Fiscale are missing"} << false;
        QTest::newRow("customer Codice Fiscale mistyped")
            << "UPDATE Customers SET CodiceFiscale = 'VRDGPP65H04L219N'"
            << QStringList{"wrong check letter"} << false;
        QTest::newRow("company without Codice Destinatario, PEC and Codice Fiscale")
            << "UPDATE Customers SET CodiceDestinatario = '', PEC = NULL, CodiceFiscale = ''"
            << QStringList{"Both the Codice Destinatario and the PEC are missing"} << false;
        QTest::newRow("public body's code") << "UPDATE Customers SET CodiceDestinatario = 'UFABCD'"
                                             << QStringList{"public bodies"} << false;
        QTest::newRow("line at 0%") << "UPDATE DettaglioFatture SET Iva = 0"
                                    << QStringList{"Natura"} << false;
        QTest::newRow("no lines") << "DELETE FROM DettaglioFatture"
                                  << QStringList{"The invoice has no lines."} << false;
        QTest::newRow("customer name shared, no code")
            << "UPDATE Fatture SET [Codice Cliente] = NULL; INSERT INTO Customers (Cliente) "
               "VALUES ('Idrotermica Verdi')"
            << QStringList{"2 customers are called"} << false;
        QTest::newRow("character outside Latin-1")
            << "UPDATE DettaglioFatture SET [Descrizione Articolo] = 'Viti ✓'"
            << QStringList{"does not accept: ✓"} << false;
        QTest::newRow("every problem at once")
            << "UPDATE Azienda SET CAP = ''; UPDATE Customers SET PEC = '', "
               "CodiceDestinatario = '', CodiceFiscale = ''; UPDATE DettaglioFatture SET Iva = 0"
            << QStringList{"The CAP is missing", "Codice Destinatario and the PEC", "Natura"}
            << true;
    }
    void refusals()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, expected);
        QFETCH(bool, opensCompany);
        validInvoice();
        for (const QString& sql : change.split("; "))
            m_db->exec(sql);
        QCOMPARE(exportInvoice(1), QString());
        QVERIFY(m_proposed.isEmpty()); // refused before the save dialog
        QCOMPARE(m_messages->count(), 1);
        QCOMPARE(m_messages->lastIcon(), msg::Icon::Critical);
        for (const QString& part : expected)
            QVERIFY2(m_messages->last().contains(part), qPrintable(m_messages->last()));
        QCOMPARE(m_db->scalar("SELECT ProgressivoInvio FROM Azienda").toInt(), 0);
        QCOMPARE(screen("frmAzienda") != nullptr, opensCompany);
    }

    // File numbers only grow, and a cancelled dialog takes none.
    void progressiveNeverReused()
    {
        validInvoice();
        setSaveDialogHook([this](const QString& proposed) {
            m_proposed = proposed;
            return QString();
        });
        QCOMPARE(exportInvoice(1), QString());
        QVERIFY(m_proposed.endsWith("_00001.xml"));
        setSaveDialogHook([this](const QString& proposed) {
            m_proposed = proposed;
            return proposed;
        });
        QVERIFY(exportInvoice(1).endsWith("_00001.xml"));
        msg::setAskHook([](const QString&) { return true; }); // export it again
        QVERIFY(exportInvoice(1).endsWith("_00002.xml"));
        msg::setAskHook({});
        QCOMPARE(m_db->scalar("SELECT ProgressivoInvio FROM Azienda").toInt(), 2);
    }

    // A file made before the company table and the customers' e-invoicing
    // fields: the screens work, the export and the company screen name the
    // upgrade, which adds them in one go and leaves every row as it was.
    void olderFileUpgrades()
    {
        m_db->exec("DROP TABLE Azienda");
        for (const char* field : {"Provincia", "Nazione", "CodiceDestinatario", "PEC"})
            m_db->exec(QString("ALTER TABLE Customers DROP COLUMN %1").arg(field));
        m_db->exec("INSERT INTO Customers ([Customer Code], Cliente, Indirizzo, città, cap, "
                   "NumeroTelefonico, PartitaIva, CodiceFiscale, listino) VALUES ('CUS1A', "
                   "'Idrotermica Verdi', 'Via Nizza 133', 'Torino', '10126', '011', "
                   "'02457810014', 'VRDGPP65H04L219M', '2')");
        invoice(1, "CUS1A", "Idrotermica Verdi");
        line(1, "Viti", 4, 6.9, 22);
        auto dump = [this] {
            return m_db->column("Customers", "Cliente") + m_db->column("Customers", "listino")
                + m_db->column("Customers", "PartitaIva");
        };
        const QStringList before = dump();

        QWidget* customers = nav::show("frmCustomer");
        QVERIFY(customers);
        QVERIFY(!customers->findChild<QLineEdit*>("txtpec"));
        QCOMPARE(exportInvoice(1), QString());
        QVERIFY2(m_messages->last().contains("velinor-initdb --upgrade"), qPrintable(m_messages->last()));
        QVERIFY(!nav::show("frmAzienda"));
        QVERIFY(m_messages->last().contains("velinor-initdb --upgrade"));
        closeAll();

        const QString path = m_db->path();
        Run upgrade = run(VELINOR_INITDB, {"--upgrade", path});
        QCOMPARE(upgrade.exitCode, 0);
        for (const char* added : {"table Azienda", "field Customers.Provincia", "field Customers.PEC"})
            QVERIFY2(upgrade.out.contains(added), qPrintable(upgrade.out));
        Run again = run(VELINOR_INITDB, {"--upgrade", path});
        QCOMPARE(again.exitCode, 0);
        QVERIFY2(again.out.contains("nothing was added"), qPrintable(again.out));

        QCOMPARE(dump(), before);
        QCOMPARE(m_db->count("Azienda"), 1);
        // The customers screen now keeps the e-invoicing data, with warnings.
        QWidget* upgraded = nav::show("frmCustomer");
        type(upgraded, "txtcoddest", "AB1");
        QVERIFY(!control<CheckMark>(upgraded, "txtcoddestMark")->problem().isEmpty());
        type(upgraded, "txtcoddest", "T04ZHR3");
        QVERIFY(control<CheckMark>(upgraded, "txtcoddestMark")->problem().isEmpty());
        type(upgraded, "txtpec", "verdi@pec.example.it");
        click(upgraded, "cmdUpdate");
        click(upgraded, "cmdSave");
        QCOMPARE(m_db->scalar("SELECT CodiceDestinatario || ' ' || PEC FROM Customers").toString(),
                 QString("T04ZHR3 verdi@pec.example.it"));
    }

    // The company screen: problems shown as typed, Salva writes the row,
    // Cancella leaves it.
    void companyScreen()
    {
        QWidget* s = nav::show("frmAzienda");
        QVERIFY(s);
        QCOMPARE(s->windowTitle(), QString("Dati Azienda"));
        auto* problems = control<QLabel>(s, "lblProblems");
        QVERIFY(problems->text().contains("Partita IVA is missing"));
        type(s, "txtDenominazione", "Kestrava & Figli S.r.l.");
        type(s, "txtPartitaIva", "02458130966");
        type(s, "txtIndirizzo", "Viale Monza");
        type(s, "txtCAP", "201");
        type(s, "txtComune", "Milano");
        type(s, "txtProvincia", "mi");
        QVERIFY2(problems->text().contains("The CAP must be 5 digits"), qPrintable(problems->text()));
        type(s, "txtCAP", "20127");
        QVERIFY2(problems->isHidden(), qPrintable(problems->text()));
        click(s, "cmdSave");
        QCOMPARE(m_db->scalar("SELECT Denominazione || '|' || Provincia || '|' || Nazione || '|' "
                              "|| RegimeFiscale FROM Azienda")
                     .toString(),
                 QString("Kestrava & Figli S.r.l.|MI|IT|RF01"));
        QVERIFY(!screen("frmAzienda"));

        s = nav::show("frmAzienda");
        type(s, "txtComune", "Monza");
        click(s, "cmdCancel");
        QCOMPARE(m_db->scalar("SELECT Comune FROM Azienda").toString(), QString("Milano"));
        QCOMPARE(m_db->count("Azienda"), 1);
    }

    // The invoice screen: "FatturaPA" only for an invoice picked in the
    // archive while browsing; it writes that invoice's file.
    void invoiceScreenButtons()
    {
        validInvoice();
        invoice(2, "CUS1A", "Idrotermica Verdi");
        line(2, "Martello", 1, 18.5, 10);
        QWidget* s = nav::show("frmFatture");
        QVERIFY(s);
        auto* exportButton = control<QPushButton>(s, "cmdFatturaPA");
        QCOMPARE(exportButton->text(), QString("FatturaPA"));
        QVERIFY(!exportButton->isEnabled());

        auto* archive = control<QTableView>(s, "DataGrid4");
        const QRect row = archive->visualRect(archive->model()->index(1, 0));
        QTest::mouseClick(archive->viewport(), Qt::LeftButton, {}, row.center());
        QVERIFY(exportButton->isEnabled());
        click(s, "cmdFatturaPA");
        QVERIFY2(!m_proposed.isEmpty(), qPrintable(m_messages->texts().join('\n')));
        QCOMPARE(texts(m_proposed, "Numero"), QStringList{"2"});
        QVERIFY2(schemaErrors(m_proposed).isEmpty(), qPrintable(schemaErrors(m_proposed)));

        click(s, "cmdAdd");
        QVERIFY(!exportButton->isEnabled());
        click(s, "cmdAzienda");
        QVERIFY(screen("frmAzienda"));
        QVERIFY(screen("frmFatture")); // the invoice screen stays open beneath
    }

    // velinor-fatturapa: a path per file on stdout, a line per refused
    // invoice on stderr, exit 0 only when every invoice was written.
    void commandLineTool_data()
    {
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("written");
        QTest::addColumn<int>("errorLines");
        QTest::newRow("all exported") << QStringList{"1", "2"} << 0 << 2 << 0;
        QTest::newRow("one refused") << QStringList{"1", "3"} << 1 << 1 << 1;
        QTest::newRow("unknown and not a number") << QStringList{"9", "x"} << 1 << 0 << 2;
        QTest::newRow("no number") << QStringList{} << 2 << 0 << -1;
    }
    void commandLineTool()
    {
        QFETCH(QStringList, numbers);
        validInvoice();
        invoice(2, "CUS1A", "Idrotermica Verdi");
        line(2, "Martello", 1, 18.5, 10);
        invoice(3, "CUS1A", "Idrotermica Verdi"); // no lines
        const QString out = QDir(m_db->dir()).absoluteFilePath("out");
        QVERIFY(QDir().mkpath(out));
        const Run r = run(VELINOR_FATTURAPA, QStringList{"--db", m_db->path(), "--out", out} + numbers);
        QTEST(r.exitCode, "exitCode");
        const QStringList paths = r.out.split('\n', Qt::SkipEmptyParts);
        QTEST(int(paths.size()), "written");
        QFETCH(int, errorLines);
        if (errorLines >= 0)
            QCOMPARE(int(r.err.split('\n', Qt::SkipEmptyParts).size()), errorLines);
        QCOMPARE(QDir(out).entryList(QDir::Files).size(), paths.size());
        for (const QString& path : paths)
            QVERIFY2(schemaErrors(path).isEmpty(), qPrintable(schemaErrors(path)));
        QCOMPARE(run(VELINOR_FATTURAPA, {"--db", "no-such.mdb", "1"}).exitCode, 2);
    }

    // The demo database's invoices export as they are, for the totals
    // their headers hold.
    void demoInvoicesExport()
    {
        const QString path = QDir(m_db->dir()).absoluteFilePath("demo.mdb");
        QCOMPARE(run(VELINOR_INITDB, {"--demo", path}).exitCode, 0);
        const Run r = run(VELINOR_FATTURAPA, {"--db", path, "--out", m_db->dir(), "1", "2"});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        const QStringList files = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(files.size(), 2);
        Database demo(path);
        for (const QString& file : files) {
            QVERIFY2(schemaErrors(file).isEmpty(), qPrintable(schemaErrors(file)));
            const QVariant stored = demo.scalar("SELECT \"Totale Fattura\" FROM Fatture WHERE \"Order Code\" = ?",
                                                {texts(file, "Numero").value(0)});
            QCOMPARE(texts(file, "ImportoTotaleDocumento"), QStringList{QString::number(stored.toDouble(), 'f', 2)});
            QCOMPARE(QString::number(stored.toDouble(), 'f', 2).toDouble(), stored.toDouble());
        }
    }
};

QTEST_MAIN(FatturaPATest)
#include "tst_fatturapa.moc"
