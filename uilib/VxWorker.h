#pragma once
// A worker thread owned by a window's object: it runs one job, which can wait on a stop
// request, and hands results to the window's thread through a mailbox.
//
//   VxWorker<WeatherResult> m_weather;                       // member of the owner
//   m_weather.Start(m_hWnd, WM_WEATHER_DONE, [](VxWorkerJob<WeatherResult>& job) {
//     while (!Fetch(&r)) if (job.WaitStop(1000)) return;     // retry, but stop at once
//     job.Post(std::move(r));
//   });
//   case WM_WEATHER_DONE: for (auto& r : m_weather.TakeResults()) Show(r);
//
// Results travel in the mailbox, not in the message: the message only says "look". So a
// result is never lost in a message that a destroyed window drops, nor leaked: what the
// window never took is freed with the worker. Stop() (and the destructor) ask the job to
// stop, wait for the thread and drop what it had not delivered, so the job never outlives
// its owner and the owner never sees results of a job it cancelled.
//
// The job runs on its own thread: it must not SendMessage to the owner's thread (which may
// be waiting in Stop() for it) and must reach WaitStop or Stopping() often enough for
// Stop() to come back soon. An exception leaving the job ends the thread quietly.
#include <windows.h>

#include <atomic>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "uilib/VxRaii.h"

// For workers that only tell the window that something happened.
struct VxNoResult {};

template <class Result>
class VxWorker;

// What the job sees of its worker.
template <class Result>
class VxWorkerJob {
 public:
  // TRUE once the owner asked the job to stop.
  bool Stopping() const noexcept { return ::WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0; }
  // Sleeps up to `ms` milliseconds, waking early on a stop request; TRUE when stopping.
  bool WaitStop(DWORD ms) const noexcept {
    return ::WaitForSingleObject(stop_, ms) == WAIT_OBJECT_0;
  }
  // Signalled on a stop request, for jobs that wait on handles of their own.
  HANDLE StopEvent() const noexcept { return stop_; }
  // Hands a result to the window's thread and wakes it.
  void Post(Result result) { owner_->Deliver(std::move(result)); }

 private:
  friend class VxWorker<Result>;
  VxWorkerJob(VxWorker<Result>* owner, HANDLE stop) : owner_(owner), stop_(stop) {}
  VxWorker<Result>* owner_;
  HANDLE stop_;
};

template <class Result = VxNoResult>
class VxWorker {
 public:
  using Job = std::function<void(VxWorkerJob<Result>&)>;

  VxWorker() noexcept = default;
  ~VxWorker() { Stop(); }
  VxWorker(const VxWorker&) = delete;
  VxWorker& operator=(const VxWorker&) = delete;

  // Starts `job` on a new thread; each result it posts is announced by `message` (wParam
  // and lParam 0) to `target`. FALSE while an earlier job still runs, or when no thread
  // could be made. A finished earlier job is joined first; its untaken results stay.
  bool Start(HWND target, UINT message, Job job) noexcept {
    if (Running()) return false;
    try {
      if (thread_.joinable()) thread_.join();
      if (!stop_) stop_.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
      if (!stop_) return false;
      ::ResetEvent(stop_.Get());
      {
        std::lock_guard<std::mutex> lock(mutex_);
        target_ = target;
        message_ = message;
        announced_ = false;
      }
      running_ = true;
      thread_ = std::thread(&VxWorker::Run, this, std::move(job));
      return true;
    } catch (...) {
      running_ = false;
      return false;
    }
  }

  // Asks the job to stop, waits for its thread and drops the results not taken yet.
  // From inside the job it only asks: a thread cannot wait for itself.
  void Stop() noexcept {
    if (stop_) ::SetEvent(stop_.Get());
    if (thread_.get_id() == std::this_thread::get_id()) return;
    try {
      if (thread_.joinable()) thread_.join();
    } catch (...) {
      return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    results_.clear();
    target_ = nullptr;
    announced_ = false;
  }

  // TRUE while the job has not returned.
  bool Running() const noexcept { return running_; }

  // The results posted so far, oldest first; for the handler of the worker's message.
  std::vector<Result> TakeResults() noexcept {
    std::vector<Result> out;
    std::lock_guard<std::mutex> lock(mutex_);
    out.swap(results_);
    announced_ = false;
    return out;
  }

 private:
  friend class VxWorkerJob<Result>;

  void Run(Job job) noexcept {
    VxWorkerJob<Result> context(this, stop_.Get());
    try {
      job(context);
    } catch (...) {
      // Nothing to hand on to: a failed job simply delivers nothing more.
    }
    running_ = false;
  }

  // One message announces any number of results: the window takes them all at once, and
  // a window that is gone (or a full queue) is simply not told.
  void Deliver(Result&& result) {
    HWND target;
    UINT message;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      results_.push_back(std::move(result));
      if (announced_ || !target_) return;
      announced_ = true;
      target = target_;
      message = message_;
    }
    if (!::PostMessageW(target, message, 0, 0)) {
      std::lock_guard<std::mutex> lock(mutex_);
      announced_ = false;  // the next result tries again
    }
  }

  VxKernelHandle stop_;
  std::thread thread_;
  std::atomic<bool> running_{false};
  std::mutex mutex_;
  std::vector<Result> results_;
  HWND target_ = nullptr;
  UINT message_ = 0;
  bool announced_ = false;
};

// A result made ahead on a thread of its own and taken once, by whoever needs it first: work a
// start can do beside its window making. Take() waits for it; it gives a default value when
// nothing was started, when no thread could be had, or when making it threw.
template <class T>
class VxAhead {
 public:
  template <class Make>
  void Start(Make make) noexcept {
    if (future_.valid()) return;
    try {
      future_ = std::async(std::launch::async, std::move(make));
    } catch (...) {
      // No thread: the taker makes it itself.
    }
  }
  T Take() noexcept {
    if (!future_.valid()) return T();
    try {
      return future_.get();
    } catch (...) {
      return T();
    }
  }

 private:
  std::future<T> future_;
};
