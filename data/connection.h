#pragma once

#include "data/datasource.h"

#include <memory>

namespace velinor {

// The explicit connection of the document screens: statements run on it, and
// record sets opened on it are data sources whose current row is written
// with update().
class Connection {
public:
    void open();
    void close();
    bool isOpen() const { return m_db != nullptr; }

    void execute(const QString& sql, const QVariantList& params = {});
    // Proves that a query can be run (its tables and fields exist) without
    // reading its rows.
    void probe(const QString& sql);
    std::unique_ptr<DataSource> openRecordset(const QString& sql, const QVariantList& params = {});
    Database& database();

private:
    std::shared_ptr<Database> m_db;
};

} // namespace velinor
