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
            str(st, 6), str(st, 7), str(st, 8), str(st, 9), str(st, 10), str(st, 11).toUpper(),
            str(st, 12)};
}

const char* const customerFields =
    R"("Customer Code", "Cliente", "Indirizzo", "città", "cap", "PartitaIva", "CodiceFiscale",
       "Provincia", "Nazione", "CodiceDestinatario", "PEC", "Natura", "RiferimentoNormativo")";


} // namespace

std::optional<PaymentTerm> paymentTerm(Database& db, const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    Statement st(db, QStringLiteral(
        R"(SELECT "Modalita", "Giorni", "FineMese" FROM "Pagamenti" WHERE "Descrizione" = ?)"));
    st.bind(1, text);
    if (!st.step())
        return std::nullopt;
    return PaymentTerm{str(st, 0).toUpper(), st.value(1).toInt(), st.value(2).toInt() != 0};
}

QStringList paymentTermNames(Database& db)
{
    QStringList names;
    Statement st(db, QStringLiteral(R"(SELECT "Descrizione" FROM "Pagamenti" ORDER BY "Descrizione")"));
    while (st.step())
        names << st.value(0).toString();
    return names;
}

QStringList missingForExport(Database& db)
{
    QStringList missing;
    for (const QString& item : missingSchema(db))
        // Indexes only speed things up; the export needs none of them.
        if (!item.startsWith(QLatin1String("index ")))
            missing << item;
    return missing;
}

QString upgradeAdvice(const QString& path, const QStringList& missing)
{
    return QStringLiteral("The database file %1 was made by an older version and lacks what "
                          "electronic invoices need (%2). Upgrade it "
                          "with: velinor-initdb --upgrade \"%1\"")
        .arg(QDir::toNativeSeparators(path), missing.join(QStringLiteral(", ")));
}

Company loadCompany(Database& db)
{
    Statement st(db, QStringLiteral(
        R"(SELECT "Denominazione", "PartitaIva", "CodiceFiscale", "Indirizzo", "NumeroCivico",
                  "CAP", "Comune", "Provincia", "Nazione", "RegimeFiscale", "Telefono", "Email",
                  "IBAN", "BolloVirtuale"
           FROM "Azienda" ORDER BY rowid LIMIT 1)"));
    if (!st.step())
        return {};
    return {str(st, 0), str(st, 1), str(st, 2), str(st, 3), str(st, 4), str(st, 5),
            str(st, 6), str(st, 7), str(st, 8), str(st, 9), str(st, 10), str(st, 11),
            str(st, 12).toUpper(), st.value(13).isNull() || st.value(13).toInt() != 0};
}

void saveCompany(Database& db, const Company& c)
{
    const QVariantList values = {c.denominazione, c.partitaIva, c.codiceFiscale, c.indirizzo,
                                 c.numeroCivico, c.cap, c.comune, c.provincia, c.nazione,
                                 c.regimeFiscale, c.telefono, c.email, c.iban,
                                 c.bolloVirtuale ? 1 : 0};
    Transaction tx(db);
    // The row is always there in a file we made; one removed by hand is put back.
    if (db.scalar(QStringLiteral(R"(SELECT count(*) FROM "Azienda")")).toInt() == 0)
        db.exec(QStringLiteral(R"(INSERT INTO "Azienda" DEFAULT VALUES)"));
    db.exec(QStringLiteral(
                R"(UPDATE "Azienda" SET "Denominazione" = ?, "PartitaIva" = ?,
                       "CodiceFiscale" = ?, "Indirizzo" = ?, "NumeroCivico" = ?, "CAP" = ?,
                       "Comune" = ?, "Provincia" = ?, "Nazione" = ?, "RegimeFiscale" = ?,
                       "Telefono" = ?, "Email" = ?, "IBAN" = ?, "BolloVirtuale" = ?)"),
            values);
    tx.commit();
}

std::optional<Invoice> loadInvoice(Database& db, int number)
{
    Invoice inv;
    {
        Statement st(db, QStringLiteral(
            R"(SELECT f."Order Code", f."Date", f."Cliente", f."Codice Cliente", f."Aspetto",
                      f."Numero Colli", f."TipoDocumento", f."FatturaCollegata", f."Pagamento",
                      (SELECT c."Date" FROM "Fatture" c WHERE c."Order Code" = f."FatturaCollegata"
                       AND c."Order Code" <> f."Order Code" ORDER BY c.rowid LIMIT 1),
                      EXISTS (SELECT 1 FROM "Fatture" c WHERE c."Order Code" = f."FatturaCollegata"
                              AND c."Order Code" <> f."Order Code")
               FROM "Fatture" f WHERE f."Order Code" = ? ORDER BY f.rowid LIMIT 1)"));
        st.bind(1, number);
        if (!st.step())
            return std::nullopt;
        inv.number = number;
        inv.date = st.value(1);
        inv.customerName = str(st, 2);
        inv.customerCode = str(st, 3);
        inv.appearance = str(st, 4);
        inv.packages = str(st, 5);
        inv.tipoDocumento = str(st, 6).toUpper();
        inv.linkedNumber = numeric(st, 7);
        inv.payment = str(st, 8);
        inv.linkedDate = st.value(9);
        inv.linkedOnFile = st.value(10).toInt() != 0;
    }
    inv.paymentTerm = paymentTerm(db, inv.payment);
    // The lines in the order they were entered; rows that are wholly empty
    // (a line started and never filled) are no lines.
    Statement st(db, QStringLiteral(
        R"(SELECT "Descrizione Articolo", "Codice Articolo", "UM", "Quantità", "Prezzo",
                  "Imponibile", "Iva", "bolla", "databolla", "Natura"
           FROM "DettaglioFatture" WHERE "Numero Fattura" = ? ORDER BY rowid)"));
    st.bind(1, number);
    while (st.step()) {
        Line line{str(st, 0), str(st, 1), str(st, 2), numeric(st, 3), numeric(st, 4),
                  numeric(st, 5), numeric(st, 6), str(st, 7), str(st, 8), str(st, 9).toUpper()};
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

} // namespace velinor::einvoice
