#pragma once
// Hands what the redirector's threads report over to the dialog's thread: a locked queue, and
// one wake-up message posted only when the queue goes from empty to non-empty (a message per
// chunk could overflow the thread's message queue and lose output).
#include <windows.h>

#include <deque>
#include <mutex>
#include <string>

struct CChildEvent {
    enum Kind { StdoutText, StderrText, Ended };
    Kind nKind;
    std::string strBytes;  // the chunk, for the two text kinds
    DWORD dwExitCode;      // for Ended
    bool bStopped;         // for Ended: the run was ended by a stop
};

class CChildEventQueue {
public:
    // Queues the event and posts `message` to `window` when the queue was empty.
    void Push(CChildEvent event, HWND window, UINT message);
    // The oldest events, in arrival order, up to about maxBytes of text (at least one event),
    // so that a flood of output is handled in slices and the window stays responsive.
    // more tells whether events are left; no wake-up message is posted for those.
    std::deque<CChildEvent> Take(size_t maxBytes, bool& more);

private:
    std::mutex m_lock;
    std::deque<CChildEvent> m_events;
};
