#include "data/connection.h"

namespace velinor {

void Connection::open()
{
    if (!m_db)
        m_db = Database::shared();
}

void Connection::close() { m_db.reset(); }

Database& Connection::database()
{
    if (!m_db)
        throw DbError(QStringLiteral("the database connection is not open"));
    return *m_db;
}

void Connection::execute(const QString& sql, const QVariantList& params)
{
    database().exec(sql, params);
}

void Connection::probe(const QString& sql)
{
    const Statement prepared(database(), sql);
}

std::unique_ptr<DataSource> Connection::openRecordset(const QString& sql, const QVariantList& params)
{
    database();
    auto rs = std::make_unique<DataSource>(m_db);
    rs->setSource(sql, params);
    return rs;
}

} // namespace velinor
