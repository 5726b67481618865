#pragma once

#include <QString>

namespace velinor {

// The credit line that follows " - " in some captions and on printed documents.
inline QString creditLine() { return QStringLiteral("gestionale per la piccola impresa"); }

inline QString withCredit(const QString& caption) { return caption + QStringLiteral(" - ") + creditLine(); }

// The caption without its credit line, as messages name a window.
inline QString withoutCredit(const QString& caption)
{
    const QString tail = QStringLiteral(" - ") + creditLine();
    return caption.endsWith(tail) ? caption.chopped(tail.size()) : caption;
}

} // namespace velinor
