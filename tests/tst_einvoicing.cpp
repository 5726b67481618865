// E-invoices for every kind of sale: consumers and customers abroad,
// exemptions (Natura) and the stamp duty, payment terms, credit notes and
// deferred invoices, every file checked by xmllint against the published
// schema; the refusals of what the exchange system would reject; the
// sending log, re-exports and the system's notifications; and the invoice
// screen's part in it.

#include "app/navigation.h"
#include "documents/einvoicepanel.h"
#include "documents/fatturapaexport.h"
#include "tests/fatturapafiles.h"
#include "tests/support.h"

#include <QCheckBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStringListModel>
#include <QTableView>

using namespace velinor;
using namespace velinor::test;

class EInvoicingTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<Messages> m_messages;
    QString m_proposed;

    void exec(const QStringList& statements)
    {
        for (const QString& sql : statements)
            m_db->exec(sql);
    }
    // Invoice 1 of 15 November 2026 to an Italian company with its code:
    // 4 x 6.90 at 22%.
    void base()
    {
        exec({"UPDATE Azienda SET Denominazione = 'Kestrava Forniture S.r.l.', PartitaIva = "
              "'02458130966', CodiceFiscale = '02458130966', Indirizzo = 'Viale Monza', CAP = "
              "'20127', Comune = 'Milano', Provincia = 'MI'",
              "INSERT INTO Customers ([Customer Code], Cliente, Indirizzo, città, cap, PartitaIva, "
              "CodiceFiscale, Provincia, Nazione, CodiceDestinatario, listino) VALUES ('CUS1A', "
              "'Idrotermica Verdi', 'Via Nizza 133', 'Torino', '10126', '02457810014', "
              "'VRDGPP65H04L219M', 'TO', 'IT', 'T04ZHR3', '1')",
              "INSERT INTO Fatture ([Order Code], Date, Cliente, [Codice Cliente]) VALUES (1, "
              "'2026-11-15', 'Idrotermica Verdi', 'CUS1A')"});
        line("Viti legno 4x40", 4, 6.9, 22);
    }
    void line(const QString& description, double quantity, double price, double rate,
              const QString& natura = {}, const QString& ddt = {}, const QString& ddtDate = {})
    {
        m_db->exec("INSERT INTO DettaglioFatture ([Descrizione Articolo], [Quantità], Prezzo, "
                   "Imponibile, Iva, [Numero Fattura], bolla, databolla, Natura) VALUES (?, ?, ?, "
                   "?, ?, 1, ?, ?, ?)",
                   {description, quantity, price, price * quantity, rate, ddt, ddtDate,
                    natura.isEmpty() ? QVariant() : QVariant(natura)});
    }
    QString exportInvoice(int number)
    {
        m_proposed.clear();
        exportFatturaPA(nullptr, QString::number(number));
        return m_proposed.isEmpty() || !QFile::exists(m_proposed) ? QString() : m_proposed;
    }
    Run tool(const QStringList& args)
    {
        return run(VELINOR_FATTURAPA, QStringList{"--db", m_db->path(), "--out", m_db->dir()} + args);
    }
    // A notification of the exchange system about a file.
    QString notification(const QString& kind, const QString& file, const QString& body)
    {
        const bool newer = kind == "RicevutaScarto" || kind == "RicevutaImpossibilitaRecapito";
        const QString ns = newer ? "http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fattura/messaggi/v1.0"
                                 : "http://www.fatturapa.gov.it/sdi/messaggi/v1.0";
        const QString path = QDir(m_db->dir()).absoluteFilePath(kind + "_notifica.xml");
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(QString("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ns3:%1 xmlns:ns3=\"%2\" "
                        "versione=\"1.0\"><IdentificativoSdI>1119</IdentificativoSdI><NomeFile>%3"
                        "</NomeFile><DataOraRicezione>2026-11-16T10:00:00.000+01:00"
                        "</DataOraRicezione>%4<MessageId>7211</MessageId></ns3:%1>")
                    .arg(kind, ns, file, body)
                    .toUtf8());
        return path;
    }
    QString state() { return m_db->scalar("SELECT Stato || '|' || coalesce(Messaggio, '') FROM InviiPA ORDER BY rowid DESC LIMIT 1").toString(); }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
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
        setReceiptDialogHook({});
        msg::setAskHook({});
        QLocale::setDefault(QLocale::c());
        m_messages.reset();
        m_db.reset();
    }

    // Each file passes the schema, says what the invoice says, and names
    // the same fiscal code in its name and in IdTrasmittente.
    void exports_data()
    {
        QTest::addColumn<QStringList>("setup");
        QTest::addColumn<QStringList>("expected"); // element=texts joined by |, empty: absent
        QTest::addColumn<QString>("notice");
        QTest::newRow("consumer") << QStringList{"UPDATE Customers SET PartitaIva = '', CodiceDestinatario = ''"}
                                  << QStringList{"CodiceDestinatario=0000000", "PECDestinatario=",
                                                 "IdCodice=02458130966|02458130966"}
                                  << "paper copy";
        QTest::newRow("PEC with 0000000")
            << QStringList{"UPDATE Customers SET CodiceDestinatario = '0000000', PEC = 'verdi@pec.example.it'"}
            << QStringList{"CodiceDestinatario=0000000", "PECDestinatario=verdi@pec.example.it"} << "";
        QTest::newRow("San Marino")
            << QStringList{"UPDATE Customers SET Nazione = 'SM', PartitaIva = 'SM12345', "
                           "CodiceFiscale = '', Provincia = '', CodiceDestinatario = ''"}
            << QStringList{"CodiceDestinatario=2R4GTO8", "IdCodice=02458130966|02458130966|12345"} << "";
        QTest::newRow("prefixed VAT number abroad")
            << QStringList{"UPDATE Customers SET Nazione = 'FR', PartitaIva = 'FR40303265045'"}
            << QStringList{"CodiceDestinatario=XXXXXXX", "IdCodice=02458130966|02458130966|40303265045"}
            << "abroad";
        QTest::newRow("file name and IdTrasmittente with a personal Codice Fiscale")
            << QStringList{"UPDATE Azienda SET CodiceFiscale = 'VRDGPP65H04L219M'"}
            << QStringList{"IdCodice=02458130966|02458130966|02457810014"} << "";
        for (const char* natura : {"N1", "N2.1", "N2.2", "N3.1", "N3.2", "N3.3", "N3.4", "N3.5",
                                   "N3.6", "N4", "N5", "N6.1", "N6.2", "N6.3", "N6.4", "N6.5",
                                   "N6.6", "N6.7", "N6.8", "N6.9", "N7"})
            QTest::addRow("0%% with %s", natura)
                << QStringList{QString("UPDATE DettaglioFatture SET Iva = 0, Natura = '%1'").arg(natura),
                               QString("UPDATE Customers SET Natura = '%1', RiferimentoNormativo = "
                                       "'Art. 8 DPR 633/72'").arg(natura)}
                << QStringList{QString("Natura=%1|%1").arg(natura), "AliquotaIVA=0.00|0.00",
                               "RiferimentoNormativo=Art. 8 DPR 633/72",
                               "ImportoTotaleDocumento=27.60", "Imposta=0.00"}
                << "";
        QTest::newRow("a rate and two Natura")
            << QStringList{"INSERT INTO DettaglioFatture ([Descrizione Articolo], Prezzo, "
                           "Imponibile, Iva, Natura, [Numero Fattura]) VALUES ('Export', 20, 20, 0, "
                           "'N3.1', 1), ('Esente', 10, 10, 0, 'N4', 1)"}
            << QStringList{"Natura=N3.1|N4|N3.1|N4", "ImponibileImporto=20.00|10.00|27.60",
                           "ImportoTotaleDocumento=63.67"}
            << "";
        QTest::newRow("forfettario") << QStringList{"UPDATE Azienda SET RegimeFiscale = 'RF19'",
                                                    "UPDATE DettaglioFatture SET Iva = 0, Natura = 'N2.2'"}
                                     << QStringList{"RegimeFiscale=RF19", "Natura=N2.2|N2.2",
                                                    "RiferimentoNormativo=Operazione in franchigia da "
                                                    "IVA, art. 1 c. 54-89 L. 190/2014",
                                                    "BolloVirtuale="}
                                     << "";
        const QString exempt = "UPDATE DettaglioFatture SET Iva = 0, Natura = '%1', [Quantità] = "
                               "1, Prezzo = %2, Imponibile = %2";
        QTest::newRow("bollo just above 77.47") << QStringList{exempt.arg("N4", "77.48")}
                                               << QStringList{"BolloVirtuale=SI", "ImportoBollo=2.00",
                                                              "ImportoTotaleDocumento=77.48"}
                                               << "";
        QTest::newRow("bollo at 77.47") << QStringList{exempt.arg("N4", "77.47")}
                                        << QStringList{"BolloVirtuale="} << "";
        QTest::newRow("no bollo on exports") << QStringList{exempt.arg("N3.1", "500")}
                                             << QStringList{"BolloVirtuale="} << "";
        QTest::newRow("bollo not virtual")
            << QStringList{exempt.arg("N4", "500"), "UPDATE Azienda SET BolloVirtuale = 0"}
            << QStringList{"BolloVirtuale="} << "";
        QTest::newRow("payment terms to the end of the month")
            << QStringList{"INSERT INTO Pagamenti VALUES ('Bonifico 30 gg f.m.', 'MP05', 30, 1)",
                           "UPDATE Azienda SET IBAN = 'IT60X0542811101000000123456'",
                           "UPDATE Fatture SET Pagamento = 'Bonifico 30 gg f.m.'"}
            << QStringList{"CondizioniPagamento=TP02", "ModalitaPagamento=MP05",
                           "DataScadenzaPagamento=2026-12-31", "ImportoPagamento=33.67",
                           "IBAN=IT60X0542811101000000123456"}
            << "";
        QTest::newRow("payment terms in days")
            << QStringList{"INSERT INTO Pagamenti VALUES ('RiBa 60 gg', 'MP12', 60, 0)",
                           "UPDATE Fatture SET Pagamento = 'RiBa 60 gg', Date = '2026-01-31'"}
            << QStringList{"ModalitaPagamento=MP12", "DataScadenzaPagamento=2026-04-01", "IBAN="} << "";
        QTest::newRow("payment as free text")
            << QStringList{"UPDATE Fatture SET Pagamento = 'Contanti alla consegna'"}
            << QStringList{"ModalitaPagamento="} << "";
        QTest::newRow("credit note linked")
            << QStringList{"INSERT INTO Fatture ([Order Code], Date, Cliente) VALUES (5, "
                           "'2026-10-02', 'Idrotermica Verdi')",
                           "UPDATE Fatture SET TipoDocumento = 'TD04', FatturaCollegata = 5 WHERE "
                           "[Order Code] = 1"}
            << QStringList{"TipoDocumento=TD04", "IdDocumento=5", "Data=2026-11-15|2026-10-02",
                           "ImportoTotaleDocumento=33.67"}
            << "";
        QTest::newRow("deferred invoice with two DDTs")
            << QStringList{"UPDATE DettaglioFatture SET bolla = '118', databolla = '02/11/2026'",
                           "INSERT INTO DettaglioFatture ([Descrizione Articolo], Prezzo, Imponibile, "
                           "Iva, bolla, databolla, [Numero Fattura]) VALUES ('Colla', 5, 5, 22, "
                           "'121', '5.11.2026', 1), ('Nastro', 2, 2, 22, '118', '2/11/2026', 1)"}
            << QStringList{"TipoDocumento=TD24", "NumeroDDT=118|121", "DataDDT=2026-11-02|2026-11-05",
                           "RiferimentoNumeroLinea=1|3|2"}
            << "";
        QTest::newRow("DDT of the invoice's day")
            << QStringList{"UPDATE DettaglioFatture SET bolla = '7', databolla = '15/11/2026'"}
            << QStringList{"TipoDocumento=TD01", "DataDDT=2026-11-15"} << "";
        QTest::newRow("DDT date read the Italian way under en_US")
            << QStringList{"locale en_US", "UPDATE DettaglioFatture SET bolla = '9', databolla = '01/11/2026'"}
            << QStringList{"DataDDT=2026-11-01", "TipoDocumento=TD24"} << "";
    }
    void exports()
    {
        QFETCH(QStringList, setup);
        QFETCH(QStringList, expected);
        QFETCH(QString, notice);
        base();
        for (const QString& step : setup) {
            if (step == "locale en_US")
                QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
            else
                m_db->exec(step);
        }
        const QString file = exportInvoice(1);
        QVERIFY2(!file.isEmpty(), qPrintable(m_messages->texts().join('\n')));
        const QString errors = schemaErrors(file);
        QVERIFY2(errors.isEmpty(), qPrintable(errors));
        for (const QString& item : expected) {
            const QString element = item.section('=', 0, 0);
            QCOMPARE(texts(file, element).join('|'), item.section('=', 1));
        }
        QVERIFY(QFileInfo(file).fileName().startsWith(
            "IT" + texts(file, "IdCodice").value(0) + "_"));
        QCOMPARE(m_messages->last().contains(notice), true);
        QCOMPARE(m_db->scalar("SELECT NomeFile || ' ' || Stato FROM InviiPA").toString(),
                 QFileInfo(file).fileName() + " Generato");
    }

    // Refused before anything is written, with a message the user can act
    // on; the file number stays free.
    void refusals_data()
    {
        QTest::addColumn<QStringList>("setup");
        QTest::addColumn<QString>("expected");
        QTest::newRow("XXXXXXX for an Italian customer")
            << QStringList{"UPDATE Customers SET CodiceDestinatario = 'XXXXXXX'"} << "only for customers abroad";
        QTest::newRow("company e-mail a@b.it") << QStringList{"UPDATE Azienda SET Email = 'a@b.it'"}
                                               << "at least 7 characters";
        QTest::newRow("PEC with a comma")
            << QStringList{"UPDATE Customers SET CodiceDestinatario = '', PEC = 'uff,verdi@pec.example.it'"}
            << "no comma";
        QTest::newRow("PEC with an accented letter")
            << QStringList{"UPDATE Customers SET PEC = 'verdì@pec.example.it'"} << "accented letter";
        QTest::newRow("dated after today") << QStringList{"UPDATE Fatture SET Date = '"
                                         + QDate::currentDate().addDays(1).toString(Qt::ISODate) + "'"}
                                           << "after today";
        QTest::newRow("Natura on a taxed line") << QStringList{"UPDATE DettaglioFatture SET Natura = 'N4'"}
                                                << "a line with a Natura is at 0%";
        QTest::newRow("Natura no longer taken")
            << QStringList{"UPDATE DettaglioFatture SET Iva = 0, Natura = 'N2'"} << "which is none of";
        QTest::newRow("forfettario with VAT") << QStringList{"UPDATE Azienda SET RegimeFiscale = 'RF19'"}
                                              << "flat-rate regime (RF19)";
        QTest::newRow("credit note without its invoice")
            << QStringList{"UPDATE Fatture SET TipoDocumento = 'TD04'"} << "which invoice it corrects";
        QTest::newRow("credit note of an invoice not on file")
            << QStringList{"UPDATE Fatture SET TipoDocumento = 'TD04', FatturaCollegata = 77"}
            << "invoice 77, which is not on file";
        QTest::newRow("a return as a negative invoice")
            << QStringList{"UPDATE DettaglioFatture SET Prezzo = -6.9, Imponibile = -27.6"}
            << "made as a credit note";
        QTest::newRow("DDT date not a date")
            << QStringList{"UPDATE DettaglioFatture SET bolla = '118', databolla = '32/13/2026'"}
            << "Line 1 names the DDT \"118\" dated \"32/13/2026\", which is not a date";
        QTest::newRow("100 billion")
            << QStringList{"UPDATE DettaglioFatture SET [Quantità] = 1, Prezzo = 1e11, Imponibile = 1e11"}
            << "beyond the largest the file carries";
        QTest::newRow("92 billion twice")
            << QStringList{"UPDATE DettaglioFatture SET [Quantità] = 1, Prezzo = 92e9, Imponibile = 92e9, Iva = 10"}
            << "The invoice total 101200000000.00 is beyond";
        QTest::newRow("10,000 lines")
            << QStringList{"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                           "9999) INSERT INTO DettaglioFatture ([Descrizione Articolo], Prezzo, "
                           "Imponibile, Iva, [Numero Fattura]) SELECT 'Riga', 1, 1, 22, 1 FROM n"}
            << "The invoice has 10000 lines; the file takes at most 9999";
        QTest::newRow("bank transfer without IBAN")
            << QStringList{"INSERT INTO Pagamenti VALUES ('Bonifico', 'MP05', 0, 0)",
                           "UPDATE Fatture SET Pagamento = 'Bonifico'"}
            << "IBAN is missing";
    }
    void refusals()
    {
        QFETCH(QStringList, setup);
        QFETCH(QString, expected);
        base();
        exec(setup);
        QCOMPARE(exportInvoice(1), QString());
        QVERIFY(m_proposed.isEmpty());
        QCOMPARE(m_messages->count(), 1);
        QVERIFY2(m_messages->last().contains(expected), qPrintable(m_messages->last()));
        QCOMPARE(m_db->scalar("SELECT ProgressivoInvio FROM Azienda").toInt(), 0);
        QCOMPARE(m_db->count("InviiPA"), 0);
    }

    // A second file of an invoice only on purpose; a rejected one goes
    // again freely; no file number twice, even after a restored backup.
    void sendingLog()
    {
        base();
        const QString first = QDir(m_db->dir()).absoluteFilePath("IT02458130966_00001.xml");
        Run r = tool({"1"});
        QCOMPARE(r.out.trimmed(), QDir::toNativeSeparators(first));
        r = tool({"1"});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("already exported as IT02458130966_00001.xml") && r.err.contains("--again"),
                 qPrintable(r.err));
        QCOMPARE(m_db->count("InviiPA"), 1);
        r = tool({"--again", "1"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains("_00002.xml"));

        // Both rejected: the next export needs no --again.
        for (const char* file : {"IT02458130966_00001.xml", "IT02458130966_00002.xml"})
            QCOMPARE(tool({"--receipt", notification("NotificaScarto", file,
                                                     "<ListaErrori><Errore><Codice>00404</Codice>"
                                                     "<Descrizione>Fattura duplicata</Descrizione>"
                                                     "</Errore></ListaErrori>")})
                         .exitCode,
                     0);
        r = tool({"1"});
        QVERIFY2(r.exitCode == 0 && r.out.contains("_00003.xml"), qPrintable(r.err));

        // A backup from before these exports: counter and log are back to
        // nothing, the files are still in the folder.
        exec({"UPDATE Azienda SET ProgressivoInvio = 0", "DELETE FROM InviiPA"});
        r = tool({"1"});
        QVERIFY2(r.exitCode == 0 && r.out.contains("_00004.xml"), qPrintable(r.out + r.err));
        for (const QString& file : QDir(m_db->dir()).entryList({"IT*.xml"}))
            QVERIFY2(schemaErrors(QDir(m_db->dir()).absoluteFilePath(file)).isEmpty(), qPrintable(file));
    }

    // Each notification in both forms sets the state of the file it names;
    // what the program cannot read changes nothing and says why.
    void receipts_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("state"); // Stato|Messaggio after it; "" for a refusal
        const QString sent = "IT02458130966_00001.xml";
        const QString errors = "<ListaErrori><Errore><Codice>00404</Codice><Descrizione>Fattura "
                               "duplicata</Descrizione></Errore><Errore><Codice>00423</Codice>"
                               "<Descrizione>Prezzo totale errato</Descrizione><Suggerimento>"
                               "Ricalcolare</Suggerimento></Errore></ListaErrori>";
        QTest::newRow("RC delivered")
            << "RicevutaConsegna" << "<DataOraConsegna>2026-11-16T10:05:00</DataOraConsegna>"
               "<Destinatario><Codice>T04ZHR3</Codice><Descrizione>Verdi</Descrizione></Destinatario>"
            << sent << "Consegnato|Consegnata il 2026-11-16T10:05:00";
        QTest::newRow("NS rejected") << "NotificaScarto" << errors << sent
                                     << "Scartato|00404 Fattura duplicata; 00423 Prezzo totale errato";
        QTest::newRow("RicevutaScarto, newer form") << "RicevutaScarto" << errors << sent
                                                    << "Scartato|00404 Fattura duplicata; 00423 Prezzo totale errato";
        QTest::newRow("MC not delivered")
            << "NotificaMancataConsegna" << "<Descrizione>Casella PEC piena</Descrizione>" << sent
            << "Non consegnato|Casella PEC piena";
        QTest::newRow("RicevutaImpossibilitaRecapito, newer form")
            << "RicevutaImpossibilitaRecapito" << "<Descrizione>Recapito impossibile</Descrizione>"
            << sent + ".p7m" << "Non consegnato|Recapito impossibile";
        QTest::newRow("NE accepted")
            << "NotificaEsito" << "<EsitoCommittente><IdentificativoSdI>1119</IdentificativoSdI>"
               "<Esito>EC01</Esito></EsitoCommittente>" << sent << "Accettato|";
        QTest::newRow("NE refused")
            << "NotificaEsito" << "<EsitoCommittente><Esito>EC02</Esito><Descrizione>Prezzi "
               "errati</Descrizione></EsitoCommittente>" << sent << "Rifiutato|Prezzi errati";
        QTest::newRow("DT terms lapsed") << "NotificaDecorrenzaTermini" << "" << sent
                                         << "Decorrenza termini|";
        QTest::newRow("AT not deliverable") << "AttestazioneTrasmissioneFattura" << "" << sent
                                            << "Non recapitabile|";
        QTest::newRow("a file not written here") << "RicevutaConsegna" << "" << "IT09999999999_00001.xml" << "";
        QTest::newRow("unknown notification") << "FileMetadati" << "" << sent << "";
        QTest::newRow("NE without an outcome") << "NotificaEsito" << "" << sent << "";
        QTest::newRow("malformed") << "NotificaScarto" << "<ListaErrori><Errore>" << sent << "";
    }
    void receipts()
    {
        QFETCH(QString, kind);
        QFETCH(QString, body);
        QFETCH(QString, file);
        QFETCH(QString, state);
        base();
        QCOMPARE(tool({"1"}).exitCode, 0);
        const QString before = this->state();
        const Run r = tool({"--receipt", notification(kind, file, body)});
        QCOMPARE(r.exitCode, state.isEmpty() ? 1 : 0);
        QCOMPARE(this->state(), state.isEmpty() ? before : state);
        if (state.isEmpty())
            QVERIFY2(r.err.contains("velinor-fatturapa: ") && r.out.isEmpty(), qPrintable(r.err));
    }

    // A file of the version before: the export names the upgrade, which
    // adds every new table and field and leaves the rows as they were.
    void upgrade()
    {
        base();
        exec({"DROP TABLE Pagamenti", "DROP TABLE InviiPA"});
        const char* fields[][2] = {{"Odummy", "Natura"}, {"DettaglioFatture", "Natura"},
                                   {"Customers", "Natura"}, {"Customers", "RiferimentoNormativo"},
                                   {"Azienda", "BolloVirtuale"}, {"Azienda", "IBAN"},
                                   {"Fatture", "TipoDocumento"}, {"Fatture", "FatturaCollegata"}};
        for (const auto& f : fields)
            m_db->exec(QString("ALTER TABLE %1 DROP COLUMN %2").arg(f[0], f[1]));
        auto dump = [this] {
            return m_db->column("Customers", "Cliente") + m_db->column("Customers", "PartitaIva")
                + m_db->column("DettaglioFatture", "Prezzo") + m_db->column("DettaglioFatture", "Iva")
                + m_db->column("Azienda", "Denominazione");
        };
        const QStringList before = dump();
        Run r = tool({"1"});
        QVERIFY2(r.exitCode == 1 && r.err.contains("velinor-initdb --upgrade"), qPrintable(r.err));
        r = run(VELINOR_INITDB, {"--upgrade", m_db->path()});
        QCOMPARE(r.exitCode, 0);
        for (const char* added : {"table Pagamenti", "table InviiPA", "field Odummy.Natura",
                                  "field Azienda.BolloVirtuale", "field Fatture.FatturaCollegata",
                                  "field Customers.RiferimentoNormativo"})
            QVERIFY2(r.out.contains(added), qPrintable(r.out));
        QCOMPARE(dump(), before);
        QCOMPARE(m_db->scalar("SELECT BolloVirtuale FROM Azienda").toInt(), 1);
        r = tool({"1"});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    }

    // The payment terms are kept from the main menu; what the file cannot
    // carry and a second term of the same description are refused.
    void paymentTermsScreen_data()
    {
        QTest::addColumn<QStringList>("typed"); // description, modality, days, end of month
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("stored");
        QTest::newRow("end of month, code in lower case")
            << QStringList{" Bonifico 30 gg f.m. ", "mp05", "30", "1"} << ""
            << "Bonifico 30 gg f.m.|MP05|30|1";
        QTest::newRow("days and end of month left empty") << QStringList{"Contanti", "MP01", "", ""}
                                                          << "" << "Contanti|MP01|0|0";
        QTest::newRow("no such modality") << QStringList{"Bonifico", "MP24", "30", "0"} << "MP01 to MP23" << "";
        QTest::newRow("days not a number") << QStringList{"Bonifico", "MP05", "3O", "0"} << "whole number" << "";
        QTest::newRow("end of month not 0 or 1") << QStringList{"Bonifico", "MP05", "30", "2"} << "Fine mese" << "";
        QTest::newRow("description on file") << QStringList{"RiBa 60 gg", "MP12", "60", "0"} << "already on file" << "";
        QTest::newRow("no description") << QStringList{"", "MP12", "60", "0"} << "needs a description" << "";
    }
    void paymentTermsScreen()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, refusal);
        m_db->exec("INSERT INTO Pagamenti VALUES ('RiBa 60 gg', 'MP12', 60, 0)");
        QWidget* menu = nav::show("frmMenu");
        click(menu, "cmdPagamenti");
        QWidget* s = screen("frmPagamenti");
        QVERIFY(s);
        click(s, "cmdAdd");
        const char* boxes[] = {"txtDescrizione", "txtModalita", "txtGiorni", "txtFineMese"};
        for (int i = 0; i < 4; ++i)
            type(s, boxes[i], typed[i]);
        click(s, "cmdSave");
        const QString all = "SELECT group_concat(Descrizione || '|' || Modalita || '|' || Giorni "
                            "|| '|' || FineMese, ' ') FROM Pagamenti WHERE Descrizione <> 'RiBa 60 gg'";
        if (refusal.isEmpty()) {
            QCOMPARE(m_messages->texts(), QStringList());
            QTEST(m_db->scalar(all).toString(), "stored");
            QVERIFY(!control<QPushButton>(s, "cmdSave")->isEnabled());
        } else {
            QVERIFY2(m_messages->last().contains(refusal), qPrintable(m_messages->last()));
            QCOMPARE(m_db->count("Pagamenti"), 1);
            QVERIFY(control<QPushButton>(s, "cmdSave")->isEnabled()); // still editing, typed kept
            QCOMPARE(control<QLineEdit>(s, "txtGiorni")->text().isEmpty(), typed[2].isEmpty());
        }
    }

    // On the invoice screen: lines picked for an exempt customer or by a
    // flat-rate seller are at 0% with the Natura; a credit note must name
    // an invoice on file; the payment box offers the terms; a second
    // export asks; "Ricevute SdI" shows the file's state.
    void invoiceScreen()
    {
        base();
        exec({"INSERT INTO Tires ([Tire Code], descrizione, Pattern, Iva, listino1) VALUES "
              "('TIR1A', 'Vite 4x40', 'pz', 22, 10)",
              "UPDATE Customers SET Natura = 'N3.5', RiferimentoNormativo = 'Art. 8 c.1 lett. c'",
              "INSERT INTO Pagamenti VALUES ('Bonifico 30 gg', 'MP05', 30, 0)"});
        QWidget* s = nav::show("frmFatture");
        click(s, "cmdAdd");
        clickRow(s, "DataGrid1", 0);
        clickRow(s, "DataGrid2", 0);
        auto* grid = control<QTableView>(s, "DataGrid5");
        auto cell = [grid](const QString& field) {
            for (int c = 0; c < grid->model()->columnCount(); ++c)
                if (grid->model()->headerData(c, Qt::Horizontal).toString() == field)
                    return grid->model()->index(0, c).data().toString();
            return QString("no column");
        };
        QCOMPARE(cell("Natura"), QString("N3.5"));
        QCOMPARE(cell("Iva"), QString("0"));
        auto* payment = control<QLineEdit>(s, "txtpagamento");
        QVERIFY(payment->completer());
        QCOMPARE(static_cast<QStringListModel*>(payment->completer()->model())->stringList(),
                 QStringList{"Bonifico 30 gg"});

        // A credit note: its invoice is required and must be on file.
        type(s, "txtCode", "2");
        control<QCheckBox>(s, "chkNotaCredito")->click();
        click(s, "cmdSave");
        QVERIFY2(m_messages->last().contains("needs the number of the invoice"), qPrintable(m_messages->last()));
        type(s, "txtFatturaCollegata", "9");
        click(s, "cmdSave");
        QVERIFY(m_messages->last().contains("no invoice number 9"));
        type(s, "txtFatturaCollegata", "1");
        click(s, "cmdSave");
        QCOMPARE(m_db->scalar("SELECT TipoDocumento || ' ' || FatturaCollegata FROM Fatture WHERE "
                              "[Order Code] = 2").toString(),
                 QString("TD04 1"));
        QCOMPARE(m_db->scalar("SELECT Natura FROM DettaglioFatture WHERE [Numero Fattura] = 2").toString(),
                 QString("N3.5"));

        // Invoice 1 twice: the second time asks, and No writes nothing.
        clickRow(s, "DataGrid4", 0);
        QCOMPARE(control<QLabel>(s, "lblStatoSdI")->text(), QString("SdI: not exported"));
        click(s, "cmdFatturaPA");
        QVERIFY(!m_proposed.isEmpty());
        QStringList asked;
        msg::setAskHook([&asked](const QString& text) {
            asked << text;
            return false;
        });
        m_proposed.clear();
        click(s, "cmdFatturaPA");
        QVERIFY(m_proposed.isEmpty());
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked.first().contains("already exported as IT02458130966_00001.xml"));

        const QString receipt = notification("RicevutaConsegna", "IT02458130966_00001.xml", "");
        setReceiptDialogHook([receipt] { return QStringList{receipt}; });
        click(s, "cmdRicevute");
        QCOMPARE(m_messages->lastIcon(), msg::Icon::Information);
        QVERIFY(control<QLabel>(s, "lblStatoSdI")->text().startsWith("SdI: Consegnato (IT02458130966_00001.xml)"));

        // A flat-rate seller's lines.
        exec({"UPDATE Customers SET Natura = NULL", "UPDATE Azienda SET RegimeFiscale = 'RF19'"});
        click(s, "cmdAdd");
        clickRow(s, "DataGrid1", 0);
        clickRow(s, "DataGrid2", 0);
        QCOMPARE(cell("Natura") + " " + cell("Iva"), QString("N2.2 0"));
    }
};

QTEST_MAIN(EInvoicingTest)
#include "tst_einvoicing.moc"
