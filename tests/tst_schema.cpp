// The database file velinor-initdb creates: tables, fields and their order,
// the kinds the data layer reads from them, and the demo fill.

#include "app/password.h"
#include "data/database.h"
#include "data/datasource.h"
#include "data/schema.h"
#include "tools/demodata.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace velinor;

namespace {

const QStringList linesFields = {
    "id",           "Descrizione Articolo", "Quantità",       "Prezzo",          "Imponibile",
    "Iva",          "Totale Riga",          "Misura 1",       "Misura 2",        "Numero Pezzi",
    "Data",         "Codice Cliente",       "Numero Fattura", "Codice Articolo", "bolla",
    "databolla",    "UM",                   QString(), /* position 17: any name */
    "Numero Ordine", "Natura"};

struct TableFields {
    const char* table;
    QStringList fields;
};

QList<TableFields> expectedTables()
{
    return {
        {"Users", {"Username", "Password"}},
        {"Categories", {"Category"}},
        {"Patterns", {"Pattern"}},
        {"Sizes", {"Size"}},
        {"Tires",
         {"Tire Code", "descrizione", "Category", "Pattern", "Iva", "Quantity", "Min", "Max",
          "listino1", "listino2", "listino3", "Price", "Size", "misura"}},
        {"Customers",
         {"Customer Code", "Cliente", "Indirizzo", "città", "cap", "NumeroTelefonico",
          "PartitaIva", "CodiceFiscale", "listino", "Provincia", "Nazione",
          "CodiceDestinatario", "PEC", "Natura", "RiferimentoNormativo"}},
        {"Fatture",
         {"Numero Ordine", "Order Code", "Date", "Cliente", "Codice Cliente",
          "Totale Imponibile", "Totale Imposta", "Totale Fattura", "Pagamento", "Aspetto",
          "Numero Colli", "Vettore", "Scadenze", "Destinazione Diversa", "Causale",
          "Numero DDT", "Numero Preventivo", "TipoDocumento", "FatturaCollegata"}},
        {"DettaglioFatture", linesFields},
        {"Odummy", linesFields + QStringList{"Owner"}},
        {"Ydummy", {"Numero Ordine", "Order Code", "cliente", "numerorighe", "Owner"}},
        {"Azienda",
         {"Denominazione", "PartitaIva", "CodiceFiscale", "Indirizzo", "NumeroCivico", "CAP",
          "Comune", "Provincia", "Nazione", "RegimeFiscale", "Telefono", "Email",
          "ProgressivoInvio", "BolloVirtuale", "IBAN"}},
        {"Pagamenti", {"Descrizione", "Modalita", "Giorni", "FineMese"}},
        {"InviiPA", {"Numero Fattura", "Progressivo", "NomeFile", "Data", "Stato", "Messaggio"}},
    };
}

QStringList columnsOf(Database& db, const QString& table)
{
    Statement st(db, "SELECT name FROM pragma_table_info(?) ORDER BY cid");
    st.bind(1, table);
    QStringList names;
    while (st.step())
        names << st.value(0).toString();
    return names;
}

} // namespace

class SchemaTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    std::unique_ptr<Database> m_db;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_path = QDir(m_dir->path()).absoluteFilePath("db1.mdb");
        createDatabaseFile(m_path, false);
        m_db = std::make_unique<Database>(m_path);
    }
    void cleanup()
    {
        m_db.reset();
        m_dir.reset();
    }

    void tablesAndFields_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("fields");
        for (const TableFields& t : expectedTables())
            QTest::newRow(t.table) << QString(t.table) << t.fields;
    }
    void tablesAndFields()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, fields);
        // Spelled exactly: the table's stored name, not just a match ignoring case.
        QCOMPARE(m_db->scalar("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?",
                              {table})
                     .toString(),
                 table);
        QStringList actual = columnsOf(*m_db, table);
        QCOMPARE(actual.size(), fields.size());
        for (int i = 0; i < fields.size(); ++i)
            if (fields[i].isNull())
                actual[i] = QString();
        QCOMPARE(actual, fields);
    }

    void linesTablesMatchOneAnother()
    {
        // The grid shows both by position; the working lines end with the
        // copy they belong to.
        QCOMPARE(columnsOf(*m_db, "DettaglioFatture") + QStringList{"Owner"},
                 columnsOf(*m_db, "Odummy"));
        const QString spare = columnsOf(*m_db, "Odummy").value(17);
        QVERIFY(!spare.trimmed().isEmpty());
        QVERIFY(!linesFields.contains(spare, Qt::CaseInsensitive));
    }

    // The data layer reads a field's kind from its declared type: a number
    // field declared as text would let "abc" into a price.
    void fieldKinds_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("kind");
        const int text = int(FieldKind::Text), number = int(FieldKind::Number),
                  date = int(FieldKind::Date);
        auto row = [](const char* t, const char* f, int k) {
            QTest::addRow("%s.%s", t, f) << QString(t) << QString::fromUtf8(f) << k;
        };
        row("Users", "Username", text);
        row("Users", "Password", text);
        row("Categories", "Category", text);
        row("Patterns", "Pattern", text);
        row("Sizes", "Size", text);
        row("Tires", "Tire Code", text);
        row("Tires", "descrizione", text);
        for (const char* f : {"Iva", "Quantity", "Min", "Max", "listino1", "listino2", "listino3"})
            row("Tires", f, number);
        row("Customers", "città", text);
        row("Customers", "cap", text);
        row("Customers", "listino", text);
        row("Fatture", "Numero Ordine", text);
        row("Fatture", "Order Code", number);
        row("Fatture", "Date", date);
        for (const char* f : {"Totale Imponibile", "Totale Imposta", "Totale Fattura"})
            row("Fatture", f, number);
        for (const char* t : {"Odummy", "DettaglioFatture"}) {
            for (const char* f : {"Quantità", "Prezzo", "Imponibile", "Iva", "Totale Riga",
                                  "Numero Fattura"})
                row(t, f, number);
            row(t, "Data", date);
            for (const char* f : {"Descrizione Articolo", "Codice Cliente", "Codice Articolo",
                                  "bolla", "databolla", "UM", "Numero Ordine"})
                row(t, f, text);
        }
        row("Ydummy", "Order Code", number);
        row("Ydummy", "numerorighe", number);
        row("Ydummy", "cliente", text);
    }
    void fieldKinds()
    {
        QFETCH(QString, table);
        QFETCH(QString, field);
        QFETCH(int, kind);
        auto db = std::make_shared<Database>(m_path);
        DataSource source(db);
        source.setSource(table);
        const int column = source.fieldIndex(field);
        QVERIFY(column >= 0);
        QCOMPARE(source.field(column).name, field);
        QCOMPARE(int(source.field(column).kind), kind);
    }

    void valuesKeepTheirKind()
    {
        // Dates stay ISO text; invoice numbers whole numbers; amounts reals.
        m_db->exec("INSERT INTO Fatture ([Order Code], [Date], [Totale Fattura], Cliente) "
                   "VALUES (3.0, '2024-03-05', 12.5, '007')");
        QCOMPARE(m_db->scalar("SELECT typeof([Order Code]) FROM Fatture").toString(),
                 QString("integer"));
        QCOMPARE(m_db->scalar("SELECT typeof([Date]) || ' ' || [Date] FROM Fatture").toString(),
                 QString("text 2024-03-05"));
        QCOMPARE(m_db->scalar("SELECT typeof([Totale Fattura]) FROM Fatture").toString(),
                 QString("real"));
        // A name of digits stays text, leading zeros and all.
        QCOMPARE(m_db->scalar("SELECT Cliente FROM Fatture").toString(), QString("007"));
        m_db->exec("INSERT INTO Customers (listino) VALUES (2)");
        QCOMPARE(m_db->scalar("SELECT listino = '2' FROM Customers").toInt(), 1);
    }

    void ydummyHasOneRow()
    {
        QCOMPARE(m_db->scalar("SELECT count(*) FROM Ydummy").toInt(), 1);
        // It is overwritten in place, and stays one row.
        m_db->exec("UPDATE Ydummy SET [Numero Ordine] = 'ORD1A', [Order Code] = 5, cliente = "
                   "'Rossi', numerorighe = 3");
        QCOMPARE(m_db->scalar("SELECT count(*) FROM Ydummy").toInt(), 1);
    }

    void otherTablesStartEmpty()
    {
        for (const TableFields& t : expectedTables())
            if (QString(t.table) != "Ydummy" && QString(t.table) != "Azienda")
                QCOMPARE(m_db->scalar(QString("SELECT count(*) FROM \"%1\"").arg(t.table)).toInt(),
                         0);
    }

    // The company row is always there, with the usual country and regime,
    // so the company screen and the export only ever update it.
    void companyStartsWithOneRow()
    {
        QCOMPARE(m_db->scalar("SELECT count(*) FROM Azienda").toInt(), 1);
        QCOMPARE(m_db->scalar("SELECT Nazione || RegimeFiscale || ProgressivoInvio FROM Azienda")
                     .toString(),
                 QString("ITRF010"));
    }

    void savingCopiesLinesTwice()
    {
        m_db->exec("INSERT INTO Odummy (id, [Descrizione Articolo], [Quantità], [Numero Fattura]) "
                   "VALUES (1, 'Viti', 2, 4), (1, 'Viti', 2, 4), (NULL, NULL, NULL, NULL)");
        for (int i = 0; i < 2; ++i)
            m_db->exec("INSERT INTO DettaglioFatture (id, [Descrizione Articolo], [Quantità], "
                       "[Numero Fattura]) SELECT id, [Descrizione Articolo], [Quantità], "
                       "[Numero Fattura] FROM Odummy");
        QCOMPARE(m_db->scalar("SELECT count(*) FROM DettaglioFatture").toInt(), 6);
        QCOMPARE(m_db->scalar("SELECT count(*) FROM DettaglioFatture WHERE id = 1").toInt(), 4);
        // Field by field, in the same places.
        QCOMPARE(m_db->scalar("SELECT [Quantità] FROM DettaglioFatture WHERE id = 1").toDouble(),
                 2.0);
    }

    // A row with nothing but one field set, as a screen appends it, is taken
    // by every table: no field is required.
    void noFieldIsRequired_data()
    {
        QTest::addColumn<QString>("table");
        for (const TableFields& t : expectedTables())
            QTest::newRow(t.table) << QString(t.table);
    }
    void noFieldIsRequired()
    {
        QFETCH(QString, table);
        const QString sql = QString("INSERT INTO \"%1\" DEFAULT VALUES").arg(table);
        m_db->exec(sql);
        m_db->exec(sql);
        QVERIFY(m_db->scalar(QString("SELECT count(*) FROM \"%1\"").arg(table)).toInt() >= 2);
    }

    void existingFileIsKept()
    {
        m_db.reset();
        const QString path = QDir(m_dir->path()).absoluteFilePath("other.mdb");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("keep me");
        }
        QVERIFY_THROWS_EXCEPTION(DbError, createDatabaseFile(path, false));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("keep me"));
        f.close();

        // A database with rows is not emptied either.
        Database(m_path).exec("INSERT INTO Users VALUES ('mario', 'x')");
        QVERIFY_THROWS_EXCEPTION(DbError, createDatabaseFile(m_path, false));
        QCOMPARE(Database(m_path).scalar("SELECT count(*) FROM Users").toInt(), 1);
    }

    void overwriteReplaces()
    {
        m_db->exec("INSERT INTO Users VALUES ('mario', 'x')");
        m_db.reset();
        createDatabaseFile(m_path, true);
        Database db(m_path);
        QCOMPARE(db.scalar("SELECT count(*) FROM Users").toInt(), 0);
        QCOMPARE(db.scalar("SELECT count(*) FROM Ydummy").toInt(), 1);

        const QString junk = QDir(m_dir->path()).absoluteFilePath("junk.mdb");
        QFile f(junk);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a database at all");
        f.close();
        createDatabaseFile(junk, true);
        QCOMPARE(Database(junk).scalar("SELECT count(*) FROM Ydummy").toInt(), 1);
    }

    void unwritablePlaceIsRefused()
    {
        const QString path = QDir(m_dir->path()).absoluteFilePath("no/such/folder/db1.mdb");
        QVERIFY_THROWS_EXCEPTION(DbError, createDatabaseFile(path, false));
        QVERIFY(!QFile::exists(path));
    }

    void demoFill()
    {
        demo::fill(*m_db);
        for (const char* t : {"Categories", "Patterns", "Sizes", "Tires", "Customers", "Users"})
            QVERIFY2(m_db->scalar(QString("SELECT count(*) FROM \"%1\"").arg(t)).toInt() > 0, t);
        QCOMPARE(m_db->scalar("SELECT count(*) FROM Ydummy").toInt(), 1);

        QSet<QString> rates;
        {
            Statement st(*m_db, "SELECT Size FROM Sizes");
            while (st.step())
                rates.insert(st.value(0).toString());
        }
        QCOMPARE(rates, (QSet<QString>{"4", "10", "22"}));

        // Every price list has customers; articles carry values of the lookups.
        for (const char* list : {"1", "2", "3"})
            QVERIFY2(m_db->scalar("SELECT count(*) FROM Customers WHERE listino = ?", {list})
                             .toInt()
                         > 0,
                     list);
        QCOMPARE(m_db->scalar("SELECT count(*) FROM Tires WHERE Category NOT IN "
                              "(SELECT Category FROM Categories) OR Pattern NOT IN "
                              "(SELECT Pattern FROM Patterns) OR Iva NOT IN "
                              "(SELECT val(Size) FROM Sizes)")
                     .toInt(),
                 0);
        QCOMPARE(m_db->scalar("SELECT count(*) FROM Tires WHERE typeof(listino1) <> 'real' OR "
                              "typeof(listino2) <> 'real' OR typeof(listino3) <> 'real'")
                     .toInt(),
                 0);
        static const QRegularExpression articleCode("^TIR\\d{1,6}[A-Z]$");
        static const QRegularExpression customerCode("^CUS\\d{1,6}[A-Z]$");
        Statement st(*m_db, "SELECT [Tire Code] FROM Tires");
        while (st.step())
            QVERIFY2(articleCode.match(st.value(0).toString()).hasMatch(),
                     qPrintable(st.value(0).toString()));
        Statement cs(*m_db, "SELECT [Customer Code] FROM Customers");
        while (cs.step())
            QVERIFY2(customerCode.match(cs.value(0).toString()).hasMatch(),
                     qPrintable(cs.value(0).toString()));
    }

    void demoLoginsOpen()
    {
        demo::fill(*m_db);
        const auto logins = demo::logins();
        QVERIFY(!logins.isEmpty());
        for (const demo::Login& login : logins) {
            const QString stored =
                m_db->scalar("SELECT Password FROM Users WHERE Username = ?", {login.user})
                    .toString();
            QVERIFY2(!stored.isEmpty(), qPrintable(login.user));
            QVERIFY2(password::matches(login.password, stored), qPrintable(login.user));
            QVERIFY(!password::matches(login.password + "x", stored));
            QVERIFY(!password::matches(QString(), stored));
            // Hashed rows do not hold the password itself.
            QCOMPARE(stored == login.password, !login.hashed);
        }
    }
};

QTEST_MAIN(SchemaTest)
#include "tst_schema.moc"
