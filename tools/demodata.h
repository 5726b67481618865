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

// What every new business starts from, and nothing of its own: the Italian
// VAT rates (22, 10, 5, 4) and the common units of measure (pz, kg, m, l,
// conf). No groups, customers, articles, documents or accounts.
// One transaction.
void seed(Database& db);

} // namespace demo
} // namespace velinor
