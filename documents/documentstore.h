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

// Whether the customer a header names is still on file: by its code, or by
// its name when the header has no code.
bool customerOnFile(Database& db, const QString& code, const QString& name);

} // namespace documents
} // namespace velinor
