#pragma once

#include <QString>

#include <optional>

namespace velinor {

class Database;

namespace documents {

// The Natura a line picked for this customer takes, with VAT at 0: the
// customer's own exemption, else N2.2 when the seller is in the flat-rate
// regime (RF19). None for an ordinary sale, and none on a file made before
// these fields existed.
std::optional<QString> lineExemption(Database& db, const QString& customerCode);

} // namespace documents
} // namespace velinor
