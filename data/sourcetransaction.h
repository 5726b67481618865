#pragma once

#include "data/database.h"
#include "data/datasource.h"

#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

namespace velinor {

// One write across the statements of a connection and the data sources of a
// screen that share it: all of it is stored, or none. When it is left
// without commit() the file is rolled back and every source given here gets
// back the rows, current row and pending changes it had at the start, so
// that what the screen shows matches the file again.
class SourceTransaction {
public:
    SourceTransaction(Database& db, std::initializer_list<DataSource*> sources);
    ~SourceTransaction();
    SourceTransaction(const SourceTransaction&) = delete;
    SourceTransaction& operator=(const SourceTransaction&) = delete;

    void commit();

private:
    std::optional<Transaction> m_tx;
    std::vector<std::pair<DataSource*, DataSource::Snapshot>> m_saved;
    bool m_done = false;
};

} // namespace velinor
