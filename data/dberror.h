#pragma once

#include <QString>

#include <stdexcept>

namespace velinor {

// A failure of the database or of a value on its way there. The text says
// what went wrong in words a user can act on; the screen that caught it
// names the operation.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

} // namespace velinor
