#include "reports/dataenvironment.h"

#include "data/copyowner.h"
#include "data/database.h"
#include "reports/seller.h"

#include <QHash>
#include <QSet>

#include <memory>

namespace velinor::reports {

namespace {

// The print selection is joined in the statements, never written into them;
// %1 picks this copy's selection (copyowner.h).
// A selection that names no document of the kind (an empty order number,
// invoice number 0) finds no parent: the report then holds no document
// rather than some row that happens to carry the empty key.
struct Commands {
    const char* parent;
    const char* children;
    const char* parentKey;
    const char* childKey;
    const char* amounts; // of every line, for the totals
};

const Commands orderCommands{
    R"(SELECT DISTINCT Ydummy.*, Fatture.*, Customers.*
         FROM Ydummy, Fatture, Customers
        WHERE Customers.Cliente = Ydummy.cliente
          AND Ydummy."Numero Ordine" = Fatture."Numero Ordine"
          AND Fatture."Numero Ordine" <> ''
          AND %1
        ORDER BY Customers.rowid, Fatture.rowid)",
    R"(SELECT DISTINCT DettaglioFatture.*, Ydummy.*
         FROM Ydummy, DettaglioFatture
        WHERE Ydummy."Numero Ordine" = DettaglioFatture."Numero Ordine"
          AND %1
        ORDER BY DettaglioFatture.rowid)",
    "Fatture.Numero Ordine",
    "Ydummy.Numero Ordine",
    R"(SELECT DettaglioFatture.Imponibile, DettaglioFatture.Iva
         FROM Ydummy, DettaglioFatture
        WHERE Ydummy."Numero Ordine" = DettaglioFatture."Numero Ordine"
          AND %1)",
};

const Commands invoiceCommands{
    R"(SELECT DISTINCT Ydummy.*, Customers.*, Fatture.*
         FROM Ydummy, Customers, Fatture
        WHERE Ydummy.cliente = Customers.Cliente
          AND Ydummy."Order Code" = Fatture."Order Code"
          AND Fatture."Order Code" > 0
          AND %1
        ORDER BY Customers.rowid, Fatture.rowid)",
    R"(SELECT DISTINCT Ydummy."Order Code" AS Expr1, DettaglioFatture.*
         FROM Ydummy, DettaglioFatture
        WHERE Ydummy."Order Code" = DettaglioFatture."Numero Fattura"
          AND %1
        ORDER BY DettaglioFatture.rowid)",
    "Ydummy.Order Code",
    "Numero Fattura",
    R"(SELECT DettaglioFatture.Imponibile, DettaglioFatture.Iva
         FROM Ydummy, DettaglioFatture
        WHERE Ydummy."Order Code" = DettaglioFatture."Numero Fattura"
          AND %1)",
};

// A line whose taxable amount or rate is no number counts as nothing, as on
// the document screens.
einvoice::VatTotals totalsOf(const ReportRows& amounts)
{
    QList<einvoice::TaxedLine> taxed;
    for (const QVariantList& row : amounts.values) {
        bool taxableOk = false, rateOk = false;
        const double taxable = row.at(0).toDouble(&taxableOk);
        const double rate = row.at(1).toDouble(&rateOk);
        if (!taxableOk || !rateOk)
            continue;
        if (const auto line = einvoice::taxedLine(taxable, rate))
            taxed.append(*line);
    }
    return einvoice::vatTotals(taxed);
}

std::unique_ptr<DataEnvironment>& slot(DocumentKind kind)
{
    static std::unique_ptr<DataEnvironment> order, invoice;
    return kind == DocumentKind::Order ? order : invoice;
}

} // namespace

DataEnvironment::DataEnvironment(Database& db, DocumentKind kind) : m_kind(kind)
{
    const Commands& c = kind == DocumentKind::Order ? orderCommands : invoiceCommands;
    // One read, so that parent and lines see the same selection.
    Transaction tx(db);
    const auto own = copyowner::rowsOf(db, QStringLiteral("Ydummy"), QStringLiteral("Ydummy."));
    m_data.rows = queryRows(db, QString::fromUtf8(c.parent).arg(own.sql), own.params);
    m_data.children = queryRows(db, QString::fromUtf8(c.children).arg(own.sql), own.params);
    m_vatTotals = totalsOf(queryRows(db, QString::fromUtf8(c.amounts).arg(own.sql), own.params));
    m_seller = printedSeller(db);
    tx.commit();
    m_data.parentKey = QString::fromUtf8(c.parentKey);
    m_data.childKey = QString::fromUtf8(c.childKey);
}

QString DataEnvironment::name() const
{
    return m_kind == DocumentKind::Order ? QStringLiteral("DE9") : QStringLiteral("DE8");
}

const DataEnvironment* DataEnvironment::instance(DocumentKind kind) { return slot(kind).get(); }

const DataEnvironment& DataEnvironment::renew(Database& db, DocumentKind kind)
{
    auto fresh = std::make_unique<DataEnvironment>(db, kind);
    slot(kind) = std::move(fresh);
    return *slot(kind);
}

ReportRows queryRows(Database& db, const QString& sql, const QVariantList& params)
{
    Statement st(db, sql);
    st.bindAll(params);
    ReportRows rows;
    const int columns = st.columnCount();
    QHash<QString, int> uses;
    for (int c = 0; c < columns; ++c)
        ++uses[st.columnName(c).toLower()];
    for (int c = 0; c < columns; ++c) {
        const QString name = st.columnName(c);
        const QString table = st.originTable(c);
        rows.fields << (uses.value(name.toLower()) > 1 && !table.isEmpty()
                            ? table + QLatin1Char('.') + name
                            : name);
    }
    // A server's tables carry a row id of their own into the join, so that
    // DISTINCT cannot see equal rows: they are left out here instead.
    const bool distinct = db.isServer()
        && sql.trimmed().startsWith(QLatin1String("SELECT DISTINCT"), Qt::CaseInsensitive);
    QSet<QString> seen;
    while (st.step()) {
        QVariantList values;
        values.reserve(columns);
        QStringList key;
        for (int c = 0; c < columns; ++c) {
            values << st.value(c);
            if (distinct)
                key << (values.last().isNull() ? QStringLiteral("\x01") : values.last().toString());
        }
        if (distinct) {
            const QString k = key.join(QChar(0));
            if (seen.contains(k))
                continue;
            seen.insert(k);
        }
        rows.values.push_back(std::move(values));
    }
    return rows;
}

} // namespace velinor::reports
