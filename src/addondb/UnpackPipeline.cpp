#include "addondb/UnpackPipeline.h"

#include <new>

namespace garrison {

UnpackPipeline::UnpackPipeline(ZipReader &zip, std::vector<const ZipReader::Member *> members)
    : m_zip(zip), m_members(std::move(members)), m_thread([this] { run(); })
{
}

UnpackPipeline::~UnpackPipeline()
{
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

bool UnpackPipeline::push(Piece piece)
{
    std::unique_lock<std::mutex> hold(m_lock);
    // One piece larger than the bound still passes when nothing waits.
    m_changed.wait(hold, [&] { return m_stop || m_pieces.empty() || m_waitingBytes < kMaxWaitingBytes; });
    if (m_stop)
        return false;
    m_waitingBytes += piece.data.size();
    m_pieces.push_back(std::move(piece));
    hold.unlock();
    m_changed.notify_all();
    return true;
}

void UnpackPipeline::run()
{
    for (const ZipReader::Member *member : m_members) {
        bool whole = false;
        Piece end;
        end.end = true;
        try {
            whole = m_zip.unpack(*member, [&](std::vector<char> &&block) {
                Piece piece;
                piece.data = std::move(block);
                return push(std::move(piece));
            });
            if (!whole)
                end.failure = m_zip.failure();
        } catch (const std::bad_alloc &) {
            end.failure = "there is not enough memory to unpack \"" + member->name + "\"";
        }
        end.ok = whole;
        if (!push(std::move(end)) || !whole)
            return;
    }
}

UnpackPipeline::Piece UnpackPipeline::next()
{
    std::unique_lock<std::mutex> hold(m_lock);
    m_changed.wait(hold, [&] { return !m_pieces.empty(); });
    Piece piece = std::move(m_pieces.front());
    m_pieces.pop_front();
    m_waitingBytes -= piece.data.size();
    hold.unlock();
    m_changed.notify_all();
    return piece;
}

} // namespace garrison
