#pragma once
// The palette index for an RGBA value: the nearest colour-map entry, remembered in the MatchCache so that
// each distinct value is searched once per reduction run.
#include <cstdint>
#include <memory>

#include "reduce/color_hash.h"
#include "reduce/shared_matches.h"

// The distance colours are matched by: squared RGBA, the four channels alike.
inline int32_t MatchDistance(const AColorHistEntry& entry, int32_t red, int32_t green, int32_t blue, int32_t alpha) {
  const int32_t dr = red - entry.red;
  const int32_t dg = green - entry.green;
  const int32_t db = blue - entry.blue;
  const int32_t da = alpha - entry.alpha;
  return dr * dr + dg * dg + db * db + da * da;
}

// The least squared RGBA distance over colour-map entries 0 .. searchCount - 1, the lowest index on ties;
// -1 when searchCount is 0. The plain scan; PaletteLookup gives the same answers faster.
int32_t NearestColorIndex(const AColorHistEntry* colorMap, int32_t searchCount, uint8_t red, uint8_t green,
                          uint8_t blue, uint8_t alpha);

class PaletteLookup {
 public:
  // Without useMatchCache (or when the cache cannot be allocated) the MatchCache is skipped; the answers are
  // the same, only slower. The colour map must outlive the lookup. Not Ready when the memory for its table could
  // not be had; then it must not be asked.
  // `shared`, when given, holds answers other lookups over the same colour map have found, and takes this one's.
  PaletteLookup(const AColorHistEntry* colorMap, int32_t searchCount, bool useMatchCache = true,
                SharedMatches* shared = nullptr);
  ~PaletteLookup();
  PaletteLookup(const PaletteLookup&) = delete;
  PaletteLookup& operator=(const PaletteLookup&) = delete;

  bool Ready() const { return table_ != nullptr; }

  // NearestColorIndex of the value.
  int32_t Find(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);

  // NearestColorIndex of the value, searched afresh without the caches; `hint` (an entry likely to be near, or
  // -1) only makes the search shorter. Safe to call from several threads at once.
  int32_t Nearest(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha, int32_t hint) const;

  // False once the MatchCache is gone or an insertion into it has failed.
  bool Caching() const { return matchCache_ != nullptr && caching_; }

 private:
  struct SearchTable;
  struct RecentSlot {
    uint32_t color;
    int32_t index;  // -1: empty
  };

  int32_t Search(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha, int32_t start) const;

  std::unique_ptr<SearchTable> table_;
  std::unique_ptr<RecentSlot[]> recent_;  // direct-mapped, in front of the MatchCache
  AColorHashTable* matchCache_ = nullptr;
  SharedMatches* shared_ = nullptr;
  int32_t matchCacheNodes_ = 0;
  bool caching_ = false;
  int32_t lastFound_ = -1;  // where the next search starts looking
};
