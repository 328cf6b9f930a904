#pragma once
// The smallest file: the same picture as the Standard file in fewer bytes. The colour type and bit depth that
// hold the pixels exactly, the palette's unused entries dropped and its order chosen, the colour of fully
// transparent pixels chosen to cost nothing, the row filters chosen by trial, and the strongest deflate, on every
// core. Written without libpng (png/png_chunks); nothing is written until the whole file is known.
#include <cstdint>

#include "base/platform.h"
#include "base/progress.h"
#include "png/png_layout.h"
#include "png/png_writer.h"
#include "png/row_filters.h"

// What the trials chose, for tests and the log.
struct SmallestChoice {
  PngLayout layout;
  FilterStrategy strategy = FilterStrategy::kNone;
  bool small = false;     // the image was tried whole
  bool standard = false;  // the Standard file came out no larger, and was written instead
};

// Encodes the job into a new file at path, reporting the work done as the writer's half (height .. 2 x height).
// Failed with no file when there is nothing to encode, the memory cannot be had or the file cannot be written;
// Aborted, with no file, when the report asked to stop. `choice`, when given, says what was chosen.
[[nodiscard]] PngResult EncodeSmallestPngFile(const platform::WidePath& path, const PngWriteJob& job,
                                              const ProgressReport& progress, SmallestChoice* choice = nullptr);
