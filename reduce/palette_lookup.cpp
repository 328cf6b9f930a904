#include "reduce/palette_lookup.h"

#include <algorithm>
#include <climits>
#include <new>

namespace {

constexpr int kMostEntries = 256;
// Entries are compared a block at a time; the last block's tail holds colours that can never be nearest
// (every real squared distance is at most 4 × 255²).
constexpr int kBlock = 16;
constexpr int kMostBlocks = kMostEntries / kBlock;
constexpr float kUnreachable = 4096.0f;
constexpr float kNoDistance = 2.0e9f;

constexpr int kRecentBits = 16;
// Past this many nodes the MatchCache takes no more: its chains stay about one node long, so a lookup
// that misses costs no more than the search it saves. Later colours are still remembered in the recent
// slots; the answers never change, only where they come from.
constexpr int32_t kMatchCacheNodes = kColorHashSize;

inline uint32_t PackColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
  return static_cast<uint32_t>(red) | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue) << 16 |
         static_cast<uint32_t>(alpha) << 24;
}

inline uint32_t RecentSlotOf(uint32_t color) { return (color * 2654435761u) >> (32 - kRecentBits); }

}  // namespace

// The searched entries sorted along one axis w with every weight ±1, so |w| = 2 and for any colour c
// |w·pixel − w·c| ≤ 2 × distance(pixel, c). A block whose keys all lie further than 2 × sqrt(best) from the
// pixel's key holds nothing nearer than the best so far and is skipped. Channels are floats, one array each,
// so a block's distances are computed side by side; every value and squared sum is an integer below 2^24,
// so the float arithmetic is exact.
struct PaletteLookup::SearchTable {
  const AColorHistEntry* colorMap = nullptr;
  int32_t entries = 0;
  int32_t blocks = 0;
  int32_t weight[4] = {1, 1, 1, 1};
  int32_t keyLow[kMostBlocks] = {};
  int32_t keyHigh[kMostBlocks] = {};
  int32_t index[kMostEntries] = {};  // the colour-map index of each sorted place
  alignas(16) float red[kMostEntries] = {};
  alignas(16) float green[kMostEntries] = {};
  alignas(16) float blue[kMostEntries] = {};
  alignas(16) float alpha[kMostEntries] = {};

  int32_t Key(int32_t r, int32_t g, int32_t b, int32_t a) const {
    return weight[0] * r + weight[1] * g + weight[2] * b + weight[3] * a;
  }
};

int32_t NearestColorIndex(const AColorHistEntry* colorMap, int32_t searchCount, uint8_t red, uint8_t green,
                          uint8_t blue, uint8_t alpha) {
  int32_t best = 2000000000;
  int32_t bestIndex = -1;
  for (int32_t i = 0; i < searchCount; ++i) {
    const int32_t distance = MatchDistance(colorMap[i], red, green, blue, alpha);
    if (distance < best) {
      best = distance;
      bestIndex = i;
    }
  }
  return bestIndex;
}

PaletteLookup::PaletteLookup(const AColorHistEntry* colorMap, int32_t searchCount, bool useMatchCache,
                             SharedMatches* shared)
    : table_(new (std::nothrow) SearchTable), shared_(shared) {
  if (table_ == nullptr) return;
  SearchTable& table = *table_;
  table.colorMap = colorMap;
  table.entries = std::min(std::max(searchCount, 0), kMostEntries);
  table.blocks = (table.entries + kBlock - 1) / kBlock;

  // The axis with the widest spread of keys prunes best.
  int64_t widest = -1;
  for (int signs = 0; signs < 8; ++signs) {
    const int32_t weight[4] = {1, signs & 1 ? -1 : 1, signs & 2 ? -1 : 1, signs & 4 ? -1 : 1};
    int64_t sum = 0;
    int64_t squares = 0;
    for (int32_t i = 0; i < table.entries; ++i) {
      const AColorHistEntry& entry = colorMap[i];
      const int64_t key =
          weight[0] * entry.red + weight[1] * entry.green + weight[2] * entry.blue + weight[3] * entry.alpha;
      sum += key;
      squares += key * key;
    }
    const int64_t spread = squares * table.entries - sum * sum;
    if (spread > widest) {
      widest = spread;
      std::copy(weight, weight + 4, table.weight);
    }
  }

  int32_t order[kMostEntries];
  int32_t keys[kMostEntries];
  for (int32_t i = 0; i < table.entries; ++i) {
    order[i] = i;
    keys[i] = table.Key(colorMap[i].red, colorMap[i].green, colorMap[i].blue, colorMap[i].alpha);
  }
  std::stable_sort(order, order + table.entries, [&keys](int32_t a, int32_t b) { return keys[a] < keys[b]; });
  for (int32_t place = 0; place < table.blocks * kBlock; ++place) {
    const bool real = place < table.entries;
    const AColorHistEntry* entry = real ? &colorMap[order[place]] : nullptr;
    table.index[place] = real ? order[place] : INT32_MAX;
    table.red[place] = real ? entry->red : kUnreachable;
    table.green[place] = real ? entry->green : kUnreachable;
    table.blue[place] = real ? entry->blue : kUnreachable;
    table.alpha[place] = real ? entry->alpha : kUnreachable;
  }
  for (int32_t block = 0; block < table.blocks; ++block) {
    const int32_t first = block * kBlock;
    const int32_t last = std::min(first + kBlock, table.entries) - 1;
    table.keyLow[block] = keys[order[first]];
    table.keyHigh[block] = keys[order[last]];
  }

  recent_.reset(new (std::nothrow) RecentSlot[size_t{1} << kRecentBits]);
  if (recent_ != nullptr) std::fill_n(recent_.get(), size_t{1} << kRecentBits, RecentSlot{0, -1});

  if (useMatchCache) {
    matchCache_ = pam_allocacolorhash();
    caching_ = matchCache_ != nullptr;
  }
}

PaletteLookup::~PaletteLookup() { pam_freeacolorhash(matchCache_); }

int32_t PaletteLookup::Find(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
  const uint32_t color = PackColor(red, green, blue, alpha);
  if (recent_ != nullptr) {
    const RecentSlot& slot = recent_[RecentSlotOf(color)];
    if (slot.index >= 0 && slot.color == color) return slot.index;
  }
  int32_t index = shared_ != nullptr ? shared_->Find(color) : -1;
  if (index < 0 && Caching()) index = pam_findacolor(matchCache_, red, green, blue, alpha);
  if (index < 0) {
    index = Search(red, green, blue, alpha, lastFound_);
    if (index >= 0 && shared_ != nullptr) shared_->Remember(color, index);
    if (index >= 0 && Caching() && matchCacheNodes_ < kMatchCacheNodes) {
      const uint8_t pixel[5] = {red, green, blue, alpha, 0};
      if (pam_insertacolor(matchCache_, pixel, index) != 0) {
        caching_ = false;
      } else {
        ++matchCacheNodes_;
      }
    }
  }
  if (index >= 0) {
    lastFound_ = index;
    if (recent_ != nullptr) recent_[RecentSlotOf(color)] = RecentSlot{color, index};
  }
  return index;
}

int32_t PaletteLookup::Nearest(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha, int32_t hint) const {
  return Search(red, green, blue, alpha, hint);
}

int32_t PaletteLookup::Search(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha, int32_t start) const {
  const SearchTable& table = *table_;
  if (table.blocks == 0) return -1;

  // The least distance with the lowest index among equals, whatever order the entries are visited in.
  // Neighbouring pixels tend to find the same entry, so the last answer gives a tight bound to start from.
  float best = kNoDistance;
  int32_t bestIndex = INT32_MAX;
  if (start >= 0 && start < table.entries) {
    best = static_cast<float>(MatchDistance(table.colorMap[start], red, green, blue, alpha));
    bestIndex = start;
  }

  const float r = red;
  const float g = green;
  const float b = blue;
  const float a = alpha;
  auto visit = [&](int32_t block) {
    const int32_t start = block * kBlock;
    float distance[kBlock];
    for (int i = 0; i < kBlock; ++i) {
      const float dr = table.red[start + i] - r;
      const float dg = table.green[start + i] - g;
      const float db = table.blue[start + i] - b;
      const float da = table.alpha[start + i] - a;
      distance[i] = ((dr * dr + dg * dg) + db * db) + da * da;
    }
    // A tree of minimums, so the comparisons run side by side rather than in one chain.
    float half[kBlock / 2];
    for (int i = 0; i < kBlock / 2; ++i) half[i] = distance[i + 8] < distance[i] ? distance[i + 8] : distance[i];
    const float quarter0 = half[4] < half[0] ? half[4] : half[0];
    const float quarter1 = half[5] < half[1] ? half[5] : half[1];
    const float quarter2 = half[6] < half[2] ? half[6] : half[2];
    const float quarter3 = half[7] < half[3] ? half[7] : half[3];
    const float pair0 = quarter2 < quarter0 ? quarter2 : quarter0;
    const float pair1 = quarter3 < quarter1 ? quarter3 : quarter1;
    const float nearest = pair1 < pair0 ? pair1 : pair0;
    if (nearest > best) return;
    int32_t candidate = INT32_MAX;
    for (int i = 0; i < kBlock; ++i) {
      if (distance[i] == nearest && table.index[start + i] < candidate) candidate = table.index[start + i];
    }
    if (nearest < best || candidate < bestIndex) {
      best = nearest;
      bestIndex = candidate;
    }
  };
  // Every key further from the pixel's than this gap bound belongs to an entry further than the best.
  auto beyond = [&best](int32_t gap) { return static_cast<int64_t>(gap) * gap > 4 * static_cast<int64_t>(best); };

  const int32_t key = table.Key(red, green, blue, alpha);
  int32_t first = 0;
  while (first < table.blocks - 1 && table.keyHigh[first] < key) ++first;
  visit(first);
  int32_t below = first - 1;
  int32_t above = first + 1;
  while (below >= 0 || above < table.blocks) {
    const int32_t gapBelow = below >= 0 ? key - table.keyHigh[below] : INT32_MAX;
    const int32_t gapAbove = above < table.blocks ? table.keyLow[above] - key : INT32_MAX;
    if (gapBelow <= gapAbove) {
      if (beyond(gapBelow)) break;  // the side further away is beyond as well
      visit(below--);
    } else {
      if (beyond(gapAbove)) break;
      visit(above++);
    }
  }
  return bestIndex == INT32_MAX ? -1 : bestIndex;
}
