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

// A write refused because another program changed or deleted the row since
// it was read. Nothing was written; the pending changes are kept.
class ConflictError : public DbError {
public:
    ConflictError();
};

// A write refused because it would give a key that must be unique (an
// invoice number) to a second row.
class DuplicateError : public DbError {
public:
    using DbError::DbError;
};

inline ConflictError::ConflictError()
    : DbError(QStringLiteral("another user changed or deleted this record since it was shown, "
                             "so nothing was written. Leave this screen and open it again to "
                             "see the current data"))
{
}

} // namespace velinor
