#pragma once
// The preview's refreshes, off the dialog's thread. Each refresh is a job (ui/refresh_job.h) made from a snapshot
// of the options, the working palette and the image, run by a worker where the newest request wins
// (ui/newest_request_worker.h), while the dialog's thread goes on answering the user. What a job makes reaches
// the process-wide records only on the owner's thread, through one publishing function, part by part: the
// reduced rows with their palette as soon as they exist (the preview and the palette view show them), then the
// PNG at TempPngPath and its size when the encoding ends. A change while a refresh runs stops it at its next row and
// starts one for the newest state; changes in quick succession make one refresh. A refresh stopped before its rows
// exist leaves every record as it was; one stopped during its encoding leaves the PNG and its size as the last finished
// encoding left them.
#include <cstdint>
#include <functional>
#include <memory>

#include "records/reduced_image.h"
#include "records/save_options.h"
#include "ui/newest_request_worker.h"

class RefreshJob;

class PreviewRefresher final : private NewestRequestWorker::Owner {
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
  // Encode the rows the records hold as they are, with the compression and metadata the options say now: the first
  // encoding, after the save's own reduction, and a change of either. While a reduction's rows have not yet reached
  // the records, the same as Request.
  void RequestEncoding();
  // The palette changed in a way that needs no refresh (a lock): a refresh whose rows have not yet reached the
  // records would overwrite it with its copy, so it starts again.
  void PaletteEdited();
  // Takes what the worker has made; on the owner's thread only.
  void Deliver() { worker_.Deliver(); }
  // A refresh runs or waits.
  bool Busy() const { return worker_.Busy(); }
  // Stops a running refresh at its next row and the worker with it, and waits for both. What the refresh had
  // made is dropped. Called by the destructor; the refresher does nothing afterwards.
  void Stop();

  // The options the rows in ReducedImage were made with (the preview reads them by these).
  const SaveOptionsRecord& RowsOptions() const { return rowsOptions_; }
  // The PSNR in dB of the PNG at TempPngPath against the image, as published with it; -1 when not measured.
  double FilePsnr() const { return filePsnr_; }

 private:
  static constexpr NewestRequestWorker::Request kReduce = 1;
  static constexpr NewestRequestWorker::Request kEncode = 2;

  std::unique_ptr<NewestRequestWorker::Job> MakeJob(NewestRequestWorker::Request request) override;
  void JobNews(NewestRequestWorker::Job& job, const NewestRequestWorker::News& news) override;
  void Idle() override { listener_.RefreshIdle(); }
  // The only place a refresh's results reach the records, on the owner's thread: the parts that are whole (the
  // rows with their palette, colour map and options; the PNG and its size), each in one step.
  void Publish(RefreshJob& job, bool rows, bool png);

  Listener& listener_;
  SaveOptionsRecord rowsOptions_;
  double filePsnr_ = -1;
  ReducedImageRecord spare_;      // the rows the next reduction writes into; it changes places with ReducedImage
  bool rowsUnpublished_ = false;  // a reduction runs whose rows have not reached the records
  NewestRequestWorker worker_;    // last: its thread starts when everything above exists
};
