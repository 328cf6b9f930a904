#pragma once
// One refresh of the preview as a value: what it reads comes in with it (a snapshot), what it makes stays in it
// (its result) until the dialog's thread publishes it. It runs on the refresher's worker and names no
// process-wide record.
#include <cstdint>

#include "base/platform.h"
#include "png/png_writer.h"
#include "records/color_map.h"
#include "records/palette.h"
#include "records/reduced_image.h"
#include "records/save_options.h"
#include "records/whole_image.h"
#include "ui/newest_request_worker.h"

// What a refresh reads. The image is lent for the life of the dialog, which never changes it.
struct RefreshSnapshot {
  const WholeImageRecord* image = nullptr;
  SaveOptionsRecord options;
  // The working palette with the user's edits and locks, and a colour map of its own while the palette is
  // built; a reduction prepares both in place.
  PaletteRecord palette;
  ColorMapTable colorMap;
  // With `reduce`, the rows are made into `rows`, a buffer the job owns. Without, `encoding` encodes rows the
  // owner lends for the job's run.
  bool reduce = true;
  ReducedImageRecord rows;
  PngWriteJob encoding;
  platform::WidePath pngPath;  // a file of the job's own until it is published
};

// What a refresh has made, part by part; each part is whole once its milestone (or the end) is reported.
struct RefreshResult {
  // Milestone kRowsMade: snapshot.rows, .palette and .colorMap hold the new rows and the palette they match.
  bool rowsMade = false;
  // The end: the PNG at snapshot.pngPath, `size` bytes long; 0 when no PNG was made (a failed reduction or
  // encoding).
  int32_t size = 0;
};

class RefreshJob final : public NewestRequestWorker::Job {
 public:
  static constexpr uint32_t kRowsMade = 1;

  explicit RefreshJob(RefreshSnapshot snapshot);
  // Whatever is still the job's own goes with it: the PNG file that was not published, the rows buffer.
  ~RefreshJob() override;
  void Run(NewestRequestWorker::Reports& reports) override;

  RefreshSnapshot& snapshot() { return snapshot_; }
  const RefreshResult& result() const { return result_; }
  // The PNG file now belongs to whoever published it.
  void PngPublished() { pngOwned_ = false; }

 private:
  RefreshSnapshot snapshot_;
  RefreshResult result_;
  bool pngOwned_ = true;
};
