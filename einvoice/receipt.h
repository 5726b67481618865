#pragma once

#include <QByteArray>
#include <QString>

namespace velinor {
class Database;
}

namespace velinor::einvoice {

// A notification of the exchange system about a file sent: its two-letter
// kind (RC, NS, MC, NE, DT, AT), the file it is about and what it means
// for that file.
struct Receipt {
    QString kind;
    QString fileName; // NomeFile, without a signature's .p7m
    QString state;    // the Stato it gives the file
    QString message;  // what it says: errors, the customer's answer...
    QString problem;  // set when the text is no notification the program reads
};

// Reads the notification in either form the system sends (MessaggiTypes,
// or the newer receipts of FPR12 files).
Receipt parseReceipt(const QByteArray& xml);

// Reads the notification file and records it against the logged file it
// names. Returns the sentence for the user; `ok` is false when the file
// changed nothing (unreadable, unknown, or about a file not in the log).
// Throws DbError when the database cannot be written.
QString applyReceiptFile(Database& db, const QString& path, bool* ok);

} // namespace velinor::einvoice
