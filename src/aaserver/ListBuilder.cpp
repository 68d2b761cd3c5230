#include "aaserver/ListBuilder.h"

namespace garrison {

ListBuilder::ListBuilder(CatalogueSettings settings, std::function<void(Catalogue &&)> done)
    : m_settings(std::move(settings)), m_done(std::move(done)), m_thread([this] { run(); })
{
}

ListBuilder::~ListBuilder()
{
    {
        std::lock_guard guard(m_lock);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void ListBuilder::request()
{
    {
        std::lock_guard guard(m_lock);
        m_wanted = true;
    }
    m_wake.notify_one();
}

void ListBuilder::run()
{
    for (;;) {
        {
            std::unique_lock guard(m_lock);
            m_wake.wait(guard, [this] { return m_wanted || m_stopping; });
            if (m_stopping)
                return;
            m_wanted = false;
        }
        Catalogue catalogue = buildCatalogue(m_settings, &m_cache, [this] { return m_stopping.load(); });
        if (m_stopping)
            return;
        m_done(std::move(catalogue));
    }
}

} // namespace garrison
