#include "records/color_map.h"

#include <algorithm>
#include <new>

ColorMapTable ColorMap;

ColorMapTable::ColorMapTable(int32_t entries) {
  if (entries < 1) return;
  entries_.reset(new (std::nothrow) AColorHistEntry[static_cast<size_t>(entries)]());
  size_ = entries_ != nullptr ? entries : 0;
}

ColorMapTable ColorMapTable::Copy() const {
  ColorMapTable copy(size_);
  if (copy) std::copy(data(), data() + size_, copy.data());
  return copy;
}

void ColorMapTable::Reset() {
  entries_.reset();
  size_ = 0;
}

void ReleaseColorMap() { ColorMap.Reset(); }
