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

    int next[2] = {0, 0};
    for (const CChildEvent& event : queue.TakeAll()) {
        int& expected = next[event.nKind == CChildEvent::StdoutText ? 0 : 1];
        ASSERT_EQ(event.strBytes, std::to_string(expected));
        ++expected;
    }
    EXPECT_EQ(next[0], kPerStream);
    EXPECT_EQ(next[1], kPerStream);

    queue.Push({CChildEvent::Ended, "", 3, true}, window, kWakeUp);
    EXPECT_EQ(CountWakeUps(window), 1);
    auto rest = queue.TakeAll();
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(rest.front().dwExitCode, 3u);
    EXPECT_TRUE(queue.TakeAll().empty());
    DestroyWindow(window);
}
