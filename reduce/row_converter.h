#pragma once
// Converts the image's rows into the PNG's pixels for one reduction run: one class for the nine conversions
// between the image's modes (gray, indexed, RGB) and the PNG types, holding the tables, the nearest-colour lookup
// and the dither state a run needs.
#include <cstdint>
#include <memory>

#include "records/color.h"
#include "records/palette.h"
#include "records/whole_image.h"
#include "reduce/dither.h"
#include "reduce/filter_settings.h"
#include "reduce/palette_lookup.h"

// Converts one row at a time for one run: holds the tables, the lookup and the dither state the run needs.
// Not Ready when one of them could not be had.
class RowConverter {
 public:
  RowConverter(const WholeImageRecord& image, const FilterSettings& settings, const PaletteRecord& palette,
               const PaletteMatch& match, DitherState& dither);
  ~RowConverter();
  RowConverter(const RowConverter&) = delete;
  RowConverter& operator=(const RowConverter&) = delete;

  bool Ready() const { return ready_; }

  // The noise draws Row takes for this row's pixels.
  uint64_t NoiseDraws(const uint8_t* in) const;

  // Writes row y of the image (in) into out.
  void Row(int32_t y, const uint8_t* in, uint8_t* out);

 private:
  using Table = std::unique_ptr<uint8_t[]>;  // [alpha][value], 256 × 256; null when the memory cannot be had
  struct GrayTerms;

  void NeedTable(Table& slot, Table table);
  void MakeCompositeTables();
  void RgbToRgb(const uint8_t* in, uint8_t* out) const;
  void RgbToGray(const uint8_t* in, uint8_t* out) const;
  void RgbToPalette(int32_t y, const uint8_t* in, uint8_t* out);
  void IndexedToRgb(const uint8_t* in, uint8_t* out) const;
  void IndexedToGray(const uint8_t* in, uint8_t* out) const;
  void IndexedToPalette(const uint8_t* in, uint8_t* out) const;
  void GrayToRgb(const uint8_t* in, uint8_t* out) const;
  void GrayToGray(const uint8_t* in, uint8_t* out) const;
  void GrayToPalette(const uint8_t* in, uint8_t* out) const;

  const FilterSettings& settings_;
  const PaletteMatch& match_;
  DitherState& dither_;
  const int32_t width_;
  const int32_t planes_;
  const int32_t out_;  // bytes per output pixel
  Table overRed_;
  Table overGreen_;
  Table overBlue_;
  Table grayOver_;
  std::unique_ptr<GrayTerms> grayTerms_;
  RgbColor paletteRgb_[256] = {};
  uint8_t paletteGray_[256] = {};
  AColorHistEntry premultiplied_[256] = {};  // the colour map premultiplied, where pixels are matched weighted
  std::unique_ptr<PaletteLookup> lookup_;
  bool ready_ = true;
};
