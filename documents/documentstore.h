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

// Gives every working line the document's number, so that lines picked
// before the number was changed still belong to the document saved.
void stampLines(Database& db, const DocumentKind& kind, const QVariant& number);

} // namespace documents
} // namespace velinor
