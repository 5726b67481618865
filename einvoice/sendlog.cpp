#include "einvoice/sendlog.h"

#include "data/database.h"
#include "einvoice/fatturapa.h"

#include <QDate>
#include <QDir>

namespace velinor::einvoice {

namespace {

std::optional<Sending> latest(Database& db, int invoice, bool standingOnly)
{
    Statement st(db, QStringLiteral(
        R"(SELECT "Numero Fattura", "Progressivo", "NomeFile", "Data", "Stato", "Messaggio"
           FROM "InviiPA" WHERE "Numero Fattura" = ?1 AND (?2 = 0 OR "Stato" NOT IN (?3, ?4))
           ORDER BY rowid DESC LIMIT 1)"));
    st.bindAll({invoice, standingOnly ? 1 : 0, state::rejected, state::notWritten});
    if (!st.step())
        return std::nullopt;
    return Sending{st.value(0).toInt(), st.value(1).toInt(), st.value(2).toString(),
                   st.value(3).toString(), st.value(4).toString(), st.value(5).toString()};
}

} // namespace

std::optional<Sending> standingSending(Database& db, int invoice)
{
    return latest(db, invoice, true);
}

std::optional<Sending> lastSending(Database& db, int invoice) { return latest(db, invoice, false); }

int nextProgressive(Database& db, const Company& company, const QDir& folder)
{
    int next = 1 + std::max(
        db.scalar(QStringLiteral(R"(SELECT max("ProgressivoInvio") FROM "Azienda")")).toInt(),
        db.scalar(QStringLiteral(R"(SELECT max("Progressivo") FROM "InviiPA")")).toInt());
    while (next <= 99999 && folder.exists(fileName(company, next)))
        ++next;
    return next;
}

void takeProgressive(Database& db, int progressive)
{
    const bool logged =
        db.scalar(QStringLiteral(R"(SELECT 1 FROM "InviiPA" WHERE "Progressivo" >= ?)"),
                  {progressive})
            .isValid();
    if (!logged)
        db.exec(QStringLiteral(R"(UPDATE "Azienda" SET "ProgressivoInvio" = ?1 WHERE "ProgressivoInvio" < ?1)"),
                {progressive});
    if (logged || db.changes() != 1)
        throw DbError(QStringLiteral("the file number %1 was taken by another export in the "
                                     "meantime; export again")
                          .arg(progressive));
}

void recordSending(Database& db, const Sending& s)
{
    db.exec(QStringLiteral(R"(INSERT INTO "InviiPA" ("Numero Fattura", "Progressivo", "NomeFile",
                                  "Data", "Stato", "Messaggio") VALUES (?, ?, ?, ?, ?, ?))"),
            {s.invoice, s.progressive, s.fileName,
             s.date.isEmpty() ? QDate::currentDate().toString(Qt::ISODate) : s.date, s.state,
             s.message});
}

bool setSendingState(Database& db, const QString& fileName, const QString& state,
                     const QString& message)
{
    db.exec(QStringLiteral(R"(UPDATE "InviiPA" SET "Stato" = ?, "Messaggio" = ? WHERE "NomeFile" = ?)"),
            {state, message, fileName});
    return db.changes() > 0;
}

} // namespace velinor::einvoice
