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

std::deque<CChildEvent> CChildEventQueue::TakeAll()
{
    std::deque<CChildEvent> taken;
    std::lock_guard<std::mutex> guard(m_lock);
    taken.swap(m_events);
    return taken;
}
