#pragma once

#include <QList>
#include <QString>

namespace velinor {

class Database;

namespace demo {

struct Login {
    QString user;
    QString password;
    bool hashed; // false: stored as plain text, the way older files keep it
};

// The accounts that fill() creates, with the passwords that open them.
QList<Login> logins();

// Fills an empty database with a small Italian sample business: merchandise
// groups, units, VAT rates, articles, customers, the company, two saved
// invoices and the demo accounts.
// One transaction: on failure nothing is left half-written.
void fill(Database& db);

} // namespace demo
} // namespace velinor
