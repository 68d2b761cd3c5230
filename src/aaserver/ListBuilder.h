#pragma once

#include "aaserver/ZipCatalogue.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace garrison {

// Makes the catalogue of the zips folder on a thread of its own, so that a
// folder of large or hostile zips never holds up the answers to clients.
// Asked again while it works, it makes one more after. Zips that did not
// change are not read again.
class ListBuilder {
public:
    // done is called on the builder's thread with each catalogue made.
    ListBuilder(CatalogueSettings settings, std::function<void(Catalogue &&)> done);
    ~ListBuilder();
    ListBuilder(const ListBuilder &) = delete;
    ListBuilder &operator=(const ListBuilder &) = delete;

    void request();

private:
    void run();

    CatalogueSettings m_settings;
    std::function<void(Catalogue &&)> m_done;
    PlanCache m_cache;
    std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_wanted = false;
    std::atomic<bool> m_stopping{false}; // read between zips, so that an end waits for one zip at most
    std::thread m_thread;
};

} // namespace garrison
