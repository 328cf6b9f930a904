#pragma once
// The colours pixels are matched against, parallel to Palette, and the histogram entries they are made from.
#include <cstdint>
#include <memory>

// One histogram (or colour-map) entry: colour, the spare byte copied from the sample, and a count.
struct AColorHistEntry {
  uint8_t red;
  uint8_t green;
  uint8_t blue;
  uint8_t alpha;
  uint8_t spare;
  int32_t value;
};

// The one owner of a colour map's entries, with their number. A built palette's map holds its colours and one
// entry more. Empty while there is no map, and when the memory for one cannot be had.
class ColorMapTable {
 public:
  ColorMapTable() = default;
  // `entries` zero-filled entries; empty when there are none to make or the memory cannot be had.
  explicit ColorMapTable(int32_t entries);
  ColorMapTable(ColorMapTable&&) noexcept = default;
  ColorMapTable& operator=(ColorMapTable&&) noexcept = default;
  ColorMapTable(const ColorMapTable&) = delete;
  ColorMapTable& operator=(const ColorMapTable&) = delete;

  // A table of its own with the same entries; empty when the memory cannot be had.
  ColorMapTable Copy() const;

  AColorHistEntry* data() { return entries_.get(); }
  const AColorHistEntry* data() const { return entries_.get(); }
  int32_t size() const { return size_; }
  AColorHistEntry& operator[](int32_t index) { return entries_[index]; }
  const AColorHistEntry& operator[](int32_t index) const { return entries_[index]; }
  explicit operator bool() const { return entries_ != nullptr; }
  void Reset();

 private:
  std::unique_ptr<AColorHistEntry[]> entries_;
  int32_t size_ = 0;
};

// The reduction's map while the palette is current; empty while there is none.
extern ColorMapTable ColorMap;
void ReleaseColorMap();
