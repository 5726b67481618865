#include "data/sourcetransaction.h"

#include <stdexcept>

namespace velinor {

SourceTransaction::SourceTransaction(Database& db, std::initializer_list<DataSource*> sources)
{
    m_tx.emplace(db);
    for (DataSource* source : sources) {
        if (source->database().get() != &db)
            throw std::invalid_argument("a transaction spans the sources of one connection only");
        m_saved.emplace_back(source, source->snapshot());
    }
}

SourceTransaction::~SourceTransaction()
{
    if (m_done)
        return;
    // The file first, so that a source read again during the transaction
    // reads the rolled-back rows.
    m_tx.reset();
    for (auto& [source, saved] : m_saved)
        source->restore(saved);
}

void SourceTransaction::commit()
{
    m_tx->commit();
    m_done = true;
}

} // namespace velinor
