#include "ui/ChildEventQueue.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

const UINT kWakeUp = WM_APP + 7;

int CountWakeUps(HWND window)
{
    int count = 0;
    MSG msg;
    while (PeekMessageW(&msg, window, kWakeUp, kWakeUp, PM_REMOVE))
        ++count;
    return count;
}

}  // namespace

TEST(ChildEventQueueTest, OneWakeUpPerEmptyQueueAndEveryEventInOrder)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    CChildEventQueue queue;
    const int kPerStream = 20000;  // more than a thread's message queue would hold
    auto produce = [&](CChildEvent::Kind kind) {
        for (int i = 0; i < kPerStream; ++i)
            queue.Push({kind, std::to_string(i), 0, false}, window, kWakeUp);
    };
    std::thread out(produce, CChildEvent::StdoutText);
    std::thread err(produce, CChildEvent::StderrText);
    out.join();
    err.join();
    EXPECT_EQ(CountWakeUps(window), 1);

    // Taken in slices of about 1000 bytes: all of them, each stream in order.
    int next[2] = {0, 0};
    int slices = 0;
    for (bool more = true; more; ++slices) {
        std::deque<CChildEvent> slice = queue.Take(1000, more);
        size_t bytes = 0;
        for (const CChildEvent& event : slice) {
            int& expected = next[event.nKind == CChildEvent::StdoutText ? 0 : 1];
            ASSERT_EQ(event.strBytes, std::to_string(expected));
            ++expected;
            bytes += event.strBytes.size();
        }
        EXPECT_LT(bytes, 1000u + 10);
    }
    EXPECT_EQ(next[0], kPerStream);
    EXPECT_EQ(next[1], kPerStream);
    EXPECT_GT(slices, 100);
    EXPECT_EQ(CountWakeUps(window), 0);

    // The end of a run carries no text, and a slice always holds at least one event.
    queue.Push({CChildEvent::Ended, "", 3, true}, window, kWakeUp);
    EXPECT_EQ(CountWakeUps(window), 1);
    bool more = true;
    auto rest = queue.Take(0, more);
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_FALSE(more);
    EXPECT_EQ(rest.front().dwExitCode, 3u);
    EXPECT_TRUE(queue.Take(1000, more).empty());
    DestroyWindow(window);
}
