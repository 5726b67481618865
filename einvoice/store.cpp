#include "einvoice/store.h"

#include "data/database.h"
#include "data/schemaupgrade.h"

#include <QDir>

namespace velinor::einvoice {

namespace {

QString str(const Statement& st, int column) { return st.value(column).toString().trimmed(); }

// An empty text in a number field reads as no value.
QVariant numeric(const Statement& st, int column)
{
    const QVariant v = st.value(column);
    if (v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty())
        return {};
    return v;
}

Customer customerFrom(const Statement& st)
{
    return {str(st, 0), str(st, 1), str(st, 2), str(st, 3), str(st, 4), str(st, 5),
            str(st, 6), str(st, 7), str(st, 8), str(st, 9), str(st, 10)};
}

const char* const customerFields =
    R"("Customer Code", "Cliente", "Indirizzo", "città", "cap", "PartitaIva", "CodiceFiscale",
       "Provincia", "Nazione", "CodiceDestinatario", "PEC")";

} // namespace

QStringList missingForExport(Database& db)
{
    QStringList missing;
    for (const QString& item : missingSchema(db))
        // Indexes only speed things up; the export needs none of them.
        if (item == QLatin1String("table Azienda") || item.startsWith(QLatin1String("field Azienda."))
            || item.startsWith(QLatin1String("field Customers.")))
            missing << item;
    return missing;
}

QString upgradeAdvice(const QString& path, const QStringList& missing)
{
    return QStringLiteral("The database file %1 was made by an older version and lacks the "
                          "company data and the customers' e-invoicing fields (%2). Upgrade it "
                          "with: velinor-initdb --upgrade \"%1\"")
        .arg(QDir::toNativeSeparators(path), missing.join(QStringLiteral(", ")));
}

Company loadCompany(Database& db)
{
    Statement st(db, QStringLiteral(
        R"(SELECT "Denominazione", "PartitaIva", "CodiceFiscale", "Indirizzo", "NumeroCivico",
                  "CAP", "Comune", "Provincia", "Nazione", "RegimeFiscale", "Telefono", "Email"
           FROM "Azienda" ORDER BY rowid LIMIT 1)"));
    if (!st.step())
        return {};
    return {str(st, 0), str(st, 1), str(st, 2), str(st, 3), str(st, 4), str(st, 5),
            str(st, 6), str(st, 7), str(st, 8), str(st, 9), str(st, 10), str(st, 11)};
}

void saveCompany(Database& db, const Company& c)
{
    const QVariantList values = {c.denominazione, c.partitaIva, c.codiceFiscale, c.indirizzo,
                                 c.numeroCivico, c.cap, c.comune, c.provincia, c.nazione,
                                 c.regimeFiscale, c.telefono, c.email};
    Transaction tx(db);
    // The row is always there in a file we made; one removed by hand is put back.
    if (db.scalar(QStringLiteral(R"(SELECT count(*) FROM "Azienda")")).toInt() == 0)
        db.exec(QStringLiteral(R"(INSERT INTO "Azienda" DEFAULT VALUES)"));
    db.exec(QStringLiteral(
                R"(UPDATE "Azienda" SET "Denominazione" = ?, "PartitaIva" = ?,
                       "CodiceFiscale" = ?, "Indirizzo" = ?, "NumeroCivico" = ?, "CAP" = ?,
                       "Comune" = ?, "Provincia" = ?, "Nazione" = ?, "RegimeFiscale" = ?,
                       "Telefono" = ?, "Email" = ?)"),
            values);
    tx.commit();
}

std::optional<Invoice> loadInvoice(Database& db, int number)
{
    Invoice inv;
    {
        Statement st(db, QStringLiteral(
            R"(SELECT "Order Code", "Date", "Cliente", "Codice Cliente", "Aspetto", "Numero Colli"
               FROM "Fatture" WHERE "Order Code" = ? ORDER BY rowid LIMIT 1)"));
        st.bind(1, number);
        if (!st.step())
            return std::nullopt;
        inv.number = number;
        inv.date = st.value(1);
        inv.customerName = str(st, 2);
        inv.customerCode = str(st, 3);
        inv.appearance = str(st, 4);
        inv.packages = str(st, 5);
    }
    // The lines in the order they were entered; rows that are wholly empty
    // (a line started and never filled) are no lines.
    Statement st(db, QStringLiteral(
        R"(SELECT "Descrizione Articolo", "Codice Articolo", "UM", "Quantità", "Prezzo",
                  "Imponibile", "Iva", "bolla", "databolla"
           FROM "DettaglioFatture" WHERE "Numero Fattura" = ? ORDER BY rowid)"));
    st.bind(1, number);
    while (st.step()) {
        Line line{str(st, 0), str(st, 1), str(st, 2), numeric(st, 3), numeric(st, 4),
                  numeric(st, 5), numeric(st, 6), str(st, 7), str(st, 8)};
        const bool hasAmount = !line.amount.isNull() && line.amount.toDouble() != 0;
        if (line.articleCode.isEmpty() && !hasAmount && line.description.isEmpty())
            continue;
        inv.lines.append(line);
    }
    return inv;
}

CustomerMatch findCustomer(Database& db, const Invoice& invoice)
{
    auto matches = [&db](const QString& field, const QString& value) {
        Statement st(db, QStringLiteral(R"(SELECT %1 FROM "Customers" WHERE "%2" = ?)")
                             .arg(QString::fromUtf8(customerFields), field));
        st.bind(1, value);
        QList<Customer> found;
        while (st.step())
            found.append(customerFrom(st));
        return found;
    };
    QList<Customer> found;
    if (!invoice.customerCode.isEmpty())
        found = matches(QStringLiteral("Customer Code"), invoice.customerCode);
    if (found.isEmpty() && !invoice.customerName.isEmpty())
        found = matches(QStringLiteral("Cliente"), invoice.customerName);
    if (found.size() == 1)
        return {found.first(), {}};
    if (found.isEmpty())
        return {std::nullopt,
                QStringLiteral("The customer \"%1\" of the invoice is no longer among the "
                               "customers.")
                    .arg(invoice.customerName)};
    return {std::nullopt,
            QStringLiteral("%1 customers are called \"%2\": the invoice cannot tell which one "
                           "it is for. Give them different names or codes.")
                .arg(found.size())
                .arg(invoice.customerName)};
}

int nextProgressive(Database& db)
{
    return db.scalar(QStringLiteral(R"(SELECT max("ProgressivoInvio") FROM "Azienda")")).toInt() + 1;
}

void takeProgressive(Database& db, int progressive)
{
    db.exec(QStringLiteral(R"(UPDATE "Azienda" SET "ProgressivoInvio" = ? WHERE "ProgressivoInvio" = ?)"),
            {progressive, progressive - 1});
    if (db.changes() != 1)
        throw DbError(QStringLiteral("the file number %1 was taken by another export in the "
                                     "meantime; export again")
                          .arg(progressive));
}

} // namespace velinor::einvoice
