#pragma once

#include <QVariant>

namespace velinor {

class Database;
struct DocumentKind;

// The checks and fixes saving needs beyond the document screens' own
// queries. No widgets here.
namespace documents {

// Whether a header of this kind already carries the number.
bool numberOnFile(Database& db, const DocumentKind& kind, const QVariant& number);

} // namespace documents
} // namespace velinor
