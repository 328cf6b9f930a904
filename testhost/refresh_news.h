#pragma once
// The message loop a window would give the preview refresher, for owners without one (the native dialog
// stand-in and tests): the refresher's wake-up sets a flag, the owner's thread waits for it and delivers.
#include <condition_variable>
#include <mutex>

#include "ui/preview_refresh.h"

class RefreshNews {
 public:
  // The wake-up to hand to the refresher; called on its worker's thread.
  bool Post() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      posted_ = true;
    }
    arrived_.notify_one();
    return true;
  }

  // Delivers news until the refresher neither runs nor waits.
  void DeliverUntilIdle(PreviewRefresher& refresher) {
    while (refresher.Busy()) {
      WaitForNews();
      refresher.Deliver();
    }
  }

  // Waits until the worker has posted something since the last wait.
  void WaitForNews() {
    std::unique_lock<std::mutex> lock(mutex_);
    arrived_.wait(lock, [this] { return posted_; });
    posted_ = false;
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  bool posted_ = false;
};
