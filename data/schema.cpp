#include "data/schema.h"

#include "data/database.h"
#include "data/sqlite/sqliteengine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace velinor {

namespace {

// Lines of a document: the same fields in the same order in the working
// table and in the archive, since saving copies one into the other with
// SELECT *. The grid addresses them by position. No key: lines are copied.
const char* const linesColumns = R"(
    "id" INTEGER,
    "Descrizione Articolo" TEXT,
    "Quantità" REAL,
    "Prezzo" REAL,
    "Imponibile" REAL,
    "Iva" REAL,
    "Totale Riga" REAL,
    "Misura 1" TEXT,
    "Misura 2" TEXT,
    "Numero Pezzi" TEXT,
    "Data" DATE,
    "Codice Cliente" TEXT,
    "Numero Fattura" INTEGER,
    "Codice Articolo" TEXT,
    "bolla" TEXT,
    "databolla" TEXT,
    "UM" TEXT,
    "Note" TEXT,
    "Numero Ordine" TEXT,
    "Natura" TEXT)";

} // namespace

QStringList schemaStatements()
{
    return {
        QStringLiteral(R"(CREATE TABLE "Users" ("Username" TEXT, "Password" TEXT))"),
        QStringLiteral(R"(CREATE TABLE "Categories" ("Category" TEXT))"),
        QStringLiteral(R"(CREATE TABLE "Patterns" ("Pattern" TEXT))"),
        QStringLiteral(R"(CREATE TABLE "Sizes" ("Size" TEXT))"),
        QStringLiteral(R"(CREATE TABLE "Tires" (
            "Tire Code" TEXT,
            "descrizione" TEXT,
            "Category" TEXT,
            "Pattern" TEXT,
            "Iva" REAL,
            "Quantity" REAL,
            "Min" REAL,
            "Max" REAL,
            "listino1" REAL,
            "listino2" REAL,
            "listino3" REAL,
            "Price" REAL,
            "Size" TEXT,
            "misura" TEXT))"),
        QStringLiteral(R"(CREATE TABLE "Customers" (
            "Customer Code" TEXT,
            "Cliente" TEXT,
            "Indirizzo" TEXT,
            "città" TEXT,
            "cap" TEXT,
            "NumeroTelefonico" TEXT,
            "PartitaIva" TEXT,
            "CodiceFiscale" TEXT,
            "listino" TEXT,
            "Provincia" TEXT,
            "Nazione" TEXT,
            "CodiceDestinatario" TEXT,
            "PEC" TEXT,
            "Natura" TEXT,
            "RiferimentoNormativo" TEXT))"),
        QStringLiteral(R"(CREATE TABLE "Fatture" (
            "Numero Ordine" TEXT,
            "Order Code" INTEGER,
            "Date" DATE,
            "Cliente" TEXT,
            "Codice Cliente" TEXT,
            "Totale Imponibile" REAL,
            "Totale Imposta" REAL,
            "Totale Fattura" REAL,
            "Pagamento" TEXT,
            "Aspetto" TEXT,
            "Numero Colli" TEXT,
            "Vettore" TEXT,
            "Scadenze" TEXT,
            "Destinazione Diversa" TEXT,
            "Causale" TEXT,
            "Numero DDT" TEXT,
            "Numero Preventivo" TEXT,
            "TipoDocumento" TEXT,
            "FatturaCollegata" INTEGER))"),
        // UTF-8, not Latin-1: "Quantità" must keep its accent.
        QStringLiteral(R"(CREATE TABLE "DettaglioFatture" (%1))")
            .arg(QString::fromUtf8(linesColumns)),
        // The working tables end with the copy each row belongs to (see
        // copyowner.h): after every line field, whose positions the grid uses.
        QStringLiteral(R"(CREATE TABLE "Odummy" (%1,
            "Owner" TEXT))").arg(QString::fromUtf8(linesColumns)),
        QStringLiteral(R"(CREATE TABLE "Ydummy" (
            "Numero Ordine" TEXT,
            "Order Code" INTEGER,
            "cliente" TEXT,
            "numerorighe" REAL,
            "Owner" TEXT))"),
        // The shared selection of a file made before copies had their own.
        QStringLiteral(R"(INSERT INTO "Ydummy" ("Numero Ordine", "Order Code", "cliente", "numerorighe")
            VALUES ('', 0, '', 0))"),
        QStringLiteral(R"(CREATE INDEX "Odummy_Owner" ON "Odummy" ("Owner"))"),
        // Opening a document reads its lines by number; saving checks the
        // number is free. A file without these still works, only slower.
        QStringLiteral(R"(CREATE INDEX "DettaglioFatture_Numero_Ordine" ON "DettaglioFatture" ("Numero Ordine"))"),
        QStringLiteral(R"(CREATE INDEX "DettaglioFatture_Numero_Fattura" ON "DettaglioFatture" ("Numero Fattura"))"),
        QStringLiteral(R"(CREATE INDEX "Fatture_Numero_Ordine" ON "Fatture" ("Numero Ordine"))"),
        QStringLiteral(R"(CREATE INDEX "Fatture_Order_Code" ON "Fatture" ("Order Code"))"),
        // No invoice number is given twice, even when two desks save at the
        // same moment: the second one is refused and told.
        QStringLiteral(R"(CREATE UNIQUE INDEX "Fatture_Order_Code_unique" ON "Fatture" ("Order Code") WHERE "Order Code" > 0)"),
        // The pick lists are read in these orders.
        QStringLiteral(R"(CREATE INDEX "Tires_descrizione" ON "Tires" ("descrizione"))"),
        QStringLiteral(R"(CREATE INDEX "Customers_Cliente" ON "Customers" ("Cliente"))"),
        // Saving a document checks its customer is still on file.
        QStringLiteral(R"(CREATE INDEX "Customers_Customer_Code" ON "Customers" ("Customer Code"))"),
        // The seller, for electronic invoices: always exactly one row.
        // ProgressivoInvio is the last number given to an exported file;
        // it only grows, so no file name is ever used twice.
        QStringLiteral(R"(CREATE TABLE "Azienda" (
            "Denominazione" TEXT,
            "PartitaIva" TEXT,
            "CodiceFiscale" TEXT,
            "Indirizzo" TEXT,
            "NumeroCivico" TEXT,
            "CAP" TEXT,
            "Comune" TEXT,
            "Provincia" TEXT,
            "Nazione" TEXT DEFAULT 'IT',
            "RegimeFiscale" TEXT DEFAULT 'RF01',
            "Telefono" TEXT,
            "Email" TEXT,
            "ProgressivoInvio" INTEGER NOT NULL DEFAULT 0,
            "BolloVirtuale" INTEGER NOT NULL DEFAULT 1,
            "IBAN" TEXT))"),
        QStringLiteral(R"(INSERT INTO "Azienda" DEFAULT VALUES)"),
        // Payment terms an invoice's Pagamento may name: the modality
        // (MP01...), the days to the due date and whether it then moves to
        // the end of that month.
        QStringLiteral(R"(CREATE TABLE "Pagamenti" (
            "Descrizione" TEXT,
            "Modalita" TEXT,
            "Giorni" INTEGER NOT NULL DEFAULT 0,
            "FineMese" INTEGER NOT NULL DEFAULT 0))"),
        QStringLiteral(R"(CREATE UNIQUE INDEX "Pagamenti_Descrizione" ON "Pagamenti" ("Descrizione"))"),
        // Every e-invoice file written, and what the exchange system said
        // of it.
        QStringLiteral(R"(CREATE TABLE "InviiPA" (
            "Numero Fattura" INTEGER,
            "Progressivo" INTEGER,
            "NomeFile" TEXT,
            "Data" TEXT,
            "Stato" TEXT,
            "Messaggio" TEXT))"),
        QStringLiteral(R"(CREATE INDEX "InviiPA_NomeFile" ON "InviiPA" ("NomeFile"))"),
        QStringLiteral(R"(CREATE INDEX "InviiPA_Numero_Fattura" ON "InviiPA" ("Numero Fattura"))"),
    };
}

void createSchema(Database& db)
{
    Transaction tx(db);
    for (const QString& sql : schemaStatements())
        db.exec(sql);
    for (const QString& sql : db.engine().supportStatements())
        db.exec(sql);
    tx.commit();
}

void createServerSchema(Database& db)
{
    const QStringList present = db.engine().tables();
    for (const QString& statement : schemaStatements())
        for (const QString& table : present)
            if (statement.startsWith(QStringLiteral("CREATE TABLE \"%1\"").arg(table), Qt::CaseInsensitive))
                throw DbError(QStringLiteral("the database %1 already holds the table %2; name an "
                                             "empty database (velinor-initdb --upgrade adds what "
                                             "an older one lacks)")
                                  .arg(db.path(), table));
    createSchema(db);
}

void createDatabaseFile(const QString& path, bool overwrite, const std::function<void(Database&)>& fill)
{
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(info.absoluteFilePath());
    if (info.exists() && !overwrite)
        throw DbError(QStringLiteral("%1 already exists; use --force to replace it.").arg(path));
    if (info.exists() && !info.isFile())
        throw DbError(QStringLiteral("%1 is not a regular file, so it is not replaced.").arg(shown));
    // Built beside the target and renamed over it once whole: a creation
    // that fails leaves nothing, and a file being replaced stays until then.
    QTemporaryFile temp(info.dir().absoluteFilePath(QStringLiteral(".velinor-XXXXXX")));
    if (!temp.open())
        throw DbError(QStringLiteral("%1 cannot be created: %2").arg(shown, temp.errorString()));
    temp.close();
    const QByteArray file = QFile::encodeName(temp.fileName());
    struct Journal {
        QString path;
        ~Journal() { QFile::remove(path); } // a failed write may leave one
    } journal{temp.fileName() + QStringLiteral("-journal")};
    createSqliteFile(temp.fileName());
    {
        Database db(temp.fileName());
        createSchema(db);
        if (fill)
            fill(db);
    }
    temp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                        | QFileDevice::ReadOther);
    if (std::rename(file.constData(), QFile::encodeName(info.absoluteFilePath()).constData()) != 0)
        throw DbError(QStringLiteral("%1 cannot be created: %2")
                          .arg(shown, QString::fromLocal8Bit(std::strerror(errno))));
    temp.setAutoRemove(false);
}

} // namespace velinor
