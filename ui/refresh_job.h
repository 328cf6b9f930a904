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
  // The same image's 16-bit samples when the file is to keep 16 bits; lent alike.
  const WholeImage16Record* image16 = nullptr;
  SaveOptionsRecord options;
  // The working palette with the user's edits and locks, and its colour map (a copy of its own) while the palette
  // is built.
  PaletteRecord palette;
  ColorMapTable colorMap;
  // Null: reduce the image, then encode the rows made. Else encode these rows as they are, lent for the job's run.
  const ReducedImageRecord* rowsToEncode = nullptr;
};

// What a refresh makes, part by part; each part is whole once the job has reported it.
struct RefreshResult {
  // The milestone kRowsMade: the rows, the palette and colour map they match, made with the snapshot's options.
  bool rowsMade = false;
  ReducedImageRecord rows;  // a buffer of the job's own
  PaletteRecord palette;
  ColorMapTable colorMap;
  // The end: the PNG at pngPath (a file of the job's own until it is published), `size` bytes long; 0 when no
  // PNG was made (a failed reduction or encoding).
  platform::WidePath pngPath;
  int32_t size = 0;
  // With the PNG: its picture's PSNR in dB against the image (reduce/picture_psnr.h); -1 when not measured.
  double psnr = -1;
};

class RefreshJob final : public NewestRequestWorker::Job {
 public:
  static constexpr uint32_t kRowsMade = 1;

  // The rows are made into rowsBuffer (reused when its size fits), the PNG into pngPath.
  RefreshJob(RefreshSnapshot snapshot, ReducedImageRecord rowsBuffer, platform::WidePath pngPath);
  // Whatever is still the job's own goes with it: a PNG file that was not published, the rows buffer.
  ~RefreshJob() override;
  void Run(NewestRequestWorker::Reports& reports) override;

  const RefreshSnapshot& snapshot() const { return snapshot_; }
  bool Reduces() const { return snapshot_.rowsToEncode == nullptr; }
  RefreshResult& result() { return result_; }
  // The PNG file now belongs to whoever published it.
  void PngPublished() { pngOwned_ = false; }

 private:
  RefreshSnapshot snapshot_;  // read only, but for the colour map, which the result takes over
  RefreshResult result_;
  PngWriteJob encoding_;  // what an encode-only job encodes
  bool pngOwned_ = true;
};
