#pragma once
// The preview's refreshes, off the dialog's thread. One worker thread reduces and encodes a copy of the options
// and the palette while the dialog's thread goes on answering the user. What the worker makes reaches the
// process-wide records only on the owner's thread, in two steps: the reduced rows with their palette as soon as
// they exist (the preview and the palette view show them), then the PNG at TempPngPath and its size when the
// encoding ends. A change while a refresh runs stops it at its next row and starts one for the newest state;
// changes in quick succession make one refresh. A refresh stopped before its rows exist leaves every record as it
// was; one stopped during its encoding leaves the PNG and its size as the last finished encoding left them.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "records/reduced_image.h"
#include "records/save_options.h"

class PreviewRefresher {
 public:
  // What the owner's thread hears, from Deliver().
  class Listener {
   public:
    // How far the running refresh has come.
    virtual void RefreshProgress(int32_t done, int32_t total) = 0;
    // ReducedImage, Palette and ColorMap hold the new rows and their palette.
    virtual void RowsChanged() = 0;
    // A refresh has ended: TempPngPath holds its PNG, LastCompressedSize says how large (0: it failed).
    virtual void EncodingDone(int32_t size) = 0;
    // Nothing runs and nothing waits any more.
    virtual void RefreshIdle() = 0;

   protected:
    ~Listener() = default;
  };

  // wake is called on the worker's thread when something waits for Deliver. It must make the owner's thread
  // call Deliver (post it a message) without blocking, and return false when it could not.
  PreviewRefresher(Listener& listener, std::function<bool()> wake);
  ~PreviewRefresher();
  PreviewRefresher(const PreviewRefresher&) = delete;
  PreviewRefresher& operator=(const PreviewRefresher&) = delete;

  // The options or the palette changed: reduce and encode again.
  void Request();
  // Encode the rows the records hold as they are: the first encoding, after the save's own reduction.
  void RequestEncoding();
  // The palette changed in a way that needs no refresh (a lock): a refresh whose rows have not yet reached the
  // records would overwrite it with its copy, so it starts again.
  void PaletteEdited();
  // Takes what the worker has made; on the owner's thread only.
  void Deliver();
  // A refresh runs or waits.
  bool Busy() const { return running_ != nullptr || waiting_.has_value(); }
  // Stops a running refresh at its next row and the worker with it, and waits for both. What the refresh had
  // made is dropped. Called by the destructor; the refresher does nothing afterwards.
  void Stop();

  // The options the rows in ReducedImage were made with (the preview reads them by these).
  const SaveOptionsRecord& RowsOptions() const { return rowsOptions_; }

 private:
  enum class Kind { kReduceAndEncode, kEncode };
  struct Job;
  // What the worker has to say, kept until the owner takes it.
  struct Mail {
    bool progress = false;
    int32_t done = 0;
    int32_t total = 0;
    bool rowsReady = false;
    bool finished = false;
  };

  void Start(Kind kind);
  void TakeRows(Job& job);
  void Finish(Job& job);
  void Work();
  void Run(Job& job);
  void Post(const std::function<void(Mail&)>& write);

  Listener& listener_;
  const std::function<bool()> wake_;
  SaveOptionsRecord rowsOptions_;
  ReducedImageRecord spare_;  // the rows a refresh reduces into; it changes places with ReducedImage
  std::unique_ptr<Job> running_;
  std::optional<Kind> waiting_;
  bool stopped_ = false;

  // Shared with the worker.
  std::mutex mutex_;
  std::condition_variable jobArrived_;
  Job* next_ = nullptr;
  bool quit_ = false;
  Mail mail_;
  bool wakeSent_ = false;
  std::thread worker_;  // last: it starts when everything above exists
};
