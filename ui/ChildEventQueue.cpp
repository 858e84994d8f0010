#include "ui/ChildEventQueue.h"

void CChildEventQueue::Push(CChildEvent event, HWND window, UINT message)
{
    bool wasEmpty;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        wasEmpty = m_events.empty();
        m_events.push_back(std::move(event));
    }
    if (wasEmpty)
        PostMessageW(window, message, 0, 0);
}

std::deque<CChildEvent> CChildEventQueue::Take(size_t maxBytes, bool& more)
{
    std::deque<CChildEvent> taken;
    std::lock_guard<std::mutex> guard(m_lock);
    size_t bytes = 0;
    while (!m_events.empty() && (taken.empty() || bytes < maxBytes)) {
        bytes += m_events.front().strBytes.size();
        taken.push_back(std::move(m_events.front()));
        m_events.pop_front();
    }
    more = !m_events.empty();
    return taken;
}
