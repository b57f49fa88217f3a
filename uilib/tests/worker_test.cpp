// The worker thread helper with real threads, windows and posted messages.
#include <atomic>
#include <memory>
#include <stdexcept>

#include "uilib/VxWorker.h"
#include "uilib/tests/test_support.h"

namespace {

constexpr UINT kDone = WM_APP + 7;

// A result that counts how many of its kind are alive, to see leaks.
struct Tracked {
  static std::atomic<int> alive;
  explicit Tracked(int v) : value(v) { ++alive; }
  ~Tracked() { --alive; }
  int value;
};
std::atomic<int> Tracked::alive{0};
using Result = std::unique_ptr<Tracked>;

HWND MakeWindow() {
  return ::CreateWindowExW(0, L"STATIC", L"worker", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           ::GetModuleHandleW(nullptr), nullptr);
}

// Waits for the worker's message to reach `hwnd` through the thread's queue.
bool ReceiveDone(HWND hwnd, DWORD timeoutMs = 5000) {
  const DWORD start = ::GetTickCount();
  MSG msg;
  while (::GetTickCount() - start < timeoutMs) {
    if (::PeekMessageW(&msg, hwnd, kDone, kDone, PM_REMOVE)) return true;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_POSTMESSAGE);
  }
  return false;
}

}  // namespace

// Results reach the window's thread in order; an exception in a job ends it quietly and
// the worker can run the next one.
TEST(Worker, DeliversResultsInOrderAndSurvivesAFailingJob) {
  HWND hwnd = MakeWindow();
  {
    VxWorker<Result> worker;
    ASSERT_TRUE(worker.Start(hwnd, kDone, [](VxWorkerJob<Result>& job) {
      for (int i = 1; i <= 3; ++i) job.Post(std::make_unique<Tracked>(i));
      throw std::runtime_error("the job failed after three results");
    }));
    std::vector<int> got;
    while (got.size() < 3 && ReceiveDone(hwnd))
      for (Result& r : worker.TakeResults()) got.push_back(r->value);
    EXPECT_EQ(got, (std::vector<int>{1, 2, 3}));
    for (int i = 0; i < 200 && worker.Running(); ++i) ::Sleep(5);
    EXPECT_FALSE(worker.Running());

    ASSERT_TRUE(worker.Start(hwnd, kDone, [](VxWorkerJob<Result>& job) {
      job.Post(std::make_unique<Tracked>(4));
    }));
    ASSERT_TRUE(ReceiveDone(hwnd));
    std::vector<Result> next = worker.TakeResults();
    ASSERT_EQ(next.size(), 1u);
    EXPECT_EQ(next[0]->value, 4);
  }
  EXPECT_EQ(Tracked::alive, 0);
  ::DestroyWindow(hwnd);
}

// The window goes first, with the announcement still in its queue, and the job goes on
// posting to it: nothing is lost in a dropped message, everything is freed with the worker.
TEST(Worker, WindowDestroyedFirstLeaksNothing) {
  HWND hwnd = MakeWindow();
  HANDLE posted = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE windowGone = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  {
    VxWorker<Result> worker;
    ASSERT_TRUE(worker.Start(hwnd, kDone, [&](VxWorkerJob<Result>& job) {
      job.Post(std::make_unique<Tracked>(1));
      ::SetEvent(posted);
      ::WaitForSingleObject(windowGone, INFINITE);
      for (int i = 2; i <= 50; ++i) job.Post(std::make_unique<Tracked>(i));
    }));
    ASSERT_EQ(::WaitForSingleObject(posted, 5000), WAIT_OBJECT_0);
    ::DestroyWindow(hwnd);
    ::SetEvent(windowGone);
    for (int i = 0; i < 200 && worker.Running(); ++i) ::Sleep(5);
    EXPECT_FALSE(worker.Running());
    EXPECT_EQ(Tracked::alive, 50) << "held for a window that may still take them";
  }
  EXPECT_EQ(Tracked::alive, 0);
  ::CloseHandle(posted);
  ::CloseHandle(windowGone);
}

// The owner goes while the job waits: the stop wakes the job, the owner waits for the
// thread, and what the job posted while stopping is dropped with the worker.
TEST(Worker, OwnerDestroyedWhileTheJobRunsStopsAndJoinsIt) {
  HWND hwnd = MakeWindow();
  std::atomic<bool> started{false}, sawStop{false}, finished{false};
  {
    VxWorker<Result> worker;
    ASSERT_TRUE(worker.Start(hwnd, kDone, [&](VxWorkerJob<Result>& job) {
      started = true;
      sawStop = job.WaitStop(INFINITE);
      job.Post(std::make_unique<Tracked>(1));
      ::Sleep(50);  // still busy when asked to stop: the owner waits for it
      finished = true;
    }));
    EXPECT_FALSE(worker.Start(hwnd, kDone, [](VxWorkerJob<Result>&) {})) << "one job at a time";
    while (!started) ::Sleep(1);
  }
  EXPECT_TRUE(sawStop);
  EXPECT_TRUE(finished) << "the destructor joined the thread";
  EXPECT_EQ(Tracked::alive, 0);
  PumpMessages();
  EXPECT_TRUE(::IsWindow(hwnd));
  ::DestroyWindow(hwnd);
}
