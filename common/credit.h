#pragma once

#include <QString>

namespace velinor {

// The credit line that follows " - " in some captions and on printed documents.
inline QString creditLine() { return QStringLiteral("gestionale per la piccola impresa"); }

inline QString withCredit(const QString& caption) { return caption + QStringLiteral(" - ") + creditLine(); }

} // namespace velinor
