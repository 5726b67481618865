#pragma once

#include <QList>
#include <QString>

#include <optional>

class QDir;

namespace velinor {
class Database;
}

// InviiPA: every e-invoice file written and what the exchange system said
// of it. All of these throw DbError when the file cannot be read or written.
namespace velinor::einvoice {

struct Company;

// Stato of a logged file.
namespace state {
inline const QString written = QStringLiteral("Generato");
inline const QString notWritten = QStringLiteral("Non scritto");
inline const QString delivered = QStringLiteral("Consegnato");
inline const QString rejected = QStringLiteral("Scartato");
inline const QString notDelivered = QStringLiteral("Non consegnato");
inline const QString accepted = QStringLiteral("Accettato");
inline const QString refused = QStringLiteral("Rifiutato");
inline const QString lapsed = QStringLiteral("Decorrenza termini");
inline const QString undeliverable = QStringLiteral("Non recapitabile");
} // namespace state

struct Sending {
    int invoice = 0;
    int progressive = 0;
    QString fileName;
    QString date;
    QString state;
    QString message;
};

// The invoice's latest file that stands: neither rejected nor unwritten.
std::optional<Sending> standingSending(Database& db, int invoice);
// The invoice's latest file, whatever became of it.
std::optional<Sending> lastSending(Database& db, int invoice);

// The next file number: above every number given so far, in the company
// row and in the log, and above every file of the company's name already
// lying in `folder` (one written before a backup was restored).
int nextProgressive(Database& db, const Company& company, const QDir& folder);
// Takes that number for good; throws DbError when another export took it
// in the meantime.
void takeProgressive(Database& db, int progressive);

void recordSending(Database& db, const Sending& sending);
// Sets the state of the logged file of that name; false when none has it.
bool setSendingState(Database& db, const QString& fileName, const QString& state,
                     const QString& message);

} // namespace velinor::einvoice
