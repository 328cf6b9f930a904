#pragma once
// One worker thread that runs jobs for an owner's thread, one at a time, the newest request winning: a request
// made while a job runs asks that job to stop; requests made meanwhile merge into one, which starts (made from the
// state the owner has then) once the running job has ended. A job's reports reach the owner only through Deliver,
// on the owner's thread, which the worker asks for through `wake`; reports not yet delivered merge. Only one job
// ever runs, so what the owner lends a job stays untouched by any other until that job has ended.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class NewestRequestWorker {
 public:
  // What is asked for, as bits; requests that wait together are or-ed.
  using Request = uint32_t;

  // What a job has said since the last delivery.
  struct News {
    bool progressed = false;  // done and total hold the latest progress
    int32_t done = 0;
    int32_t total = 0;
    uint32_t milestones = 0;  // the bits the job reached, or-ed
    bool ended = false;       // the job has returned: nothing more comes from it
  };

  // The job's side of the worker, on the worker's thread.
  class Reports {
   public:
    // A newer request or Stop wants the job ended: it should return soon.
    virtual bool Stopped() const = 0;
    virtual void Progress(int32_t done, int32_t total) = 0;
    virtual void Milestone(uint32_t bit) = 0;

   protected:
    ~Reports() = default;
  };

  class Job {
   public:
    virtual ~Job() = default;
    // On the worker's thread (or inside the owner's call that started it, without one).
    virtual void Run(Reports& reports) = 0;
    // Set when a newer request or Stop wants the job ended; the owner reads it as well.
    bool Stopped() const { return stopped_; }

   private:
    friend class NewestRequestWorker;
    std::atomic<bool> stopped_{false};
  };

  class Owner {
   public:
    // The job for these requests, made from the state as it is now.
    virtual std::unique_ptr<Job> MakeJob(Request request) = 0;
    // The news of the running job. After news that says it has ended, the job is destroyed.
    virtual void JobNews(Job& job, const News& news) = 0;
    // Nothing runs and nothing waits any more.
    virtual void Idle() = 0;

   protected:
    ~Owner() = default;
  };

  // wake is called on the worker's thread when news waits for Deliver: it must make the owner's thread call
  // Deliver (post it a message) without blocking, and return false when it could not; the worker then tries
  // again at its next report, and once the job has ended, again and again until it succeeds or Stop is called.
  NewestRequestWorker(Owner& owner, std::function<bool()> wake);
  ~NewestRequestWorker();
  NewestRequestWorker(const NewestRequestWorker&) = delete;
  NewestRequestWorker& operator=(const NewestRequestWorker&) = delete;

  // The owner's thread, from here on.
  void Ask(Request request);
  // Takes the running job's news and hands it to the owner; starts what waits once the job has ended.
  void Deliver();
  // A job runs or a request waits.
  bool Busy() const { return running_ != nullptr || waiting_ != 0; }
  // False when the thread could not be started: jobs then run inside the call that starts them.
  bool HasThread() const { return worker_.joinable(); }
  // Stops the running job, drops what waits and ends the worker, waiting for it; does nothing afterwards.
  void Stop();

 private:
  class JobReports;
  void StartWaiting();
  void Work();
  void RunAndReport(Job& job);
  // The news as the worker leaves it; true when the owner was woken (or needs no waking).
  bool Post(const std::function<void(News&)>& write);

  Owner& owner_;
  const std::function<bool()> wake_;
  std::unique_ptr<Job> running_;
  Request waiting_ = 0;
  bool stopped_ = false;

  // Shared with the worker.
  std::mutex mutex_;
  std::condition_variable changed_;
  Job* next_ = nullptr;
  bool quit_ = false;
  News news_;
  bool wakeSent_ = false;
  std::thread worker_;  // last: it starts when everything above exists
};
