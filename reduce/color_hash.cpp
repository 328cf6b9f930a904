#include "reduce/color_hash.h"

#include <new>

#include "base/debug_log.h"
#include "base/platform.h"

struct AColorHashNode {
  uint8_t red;
  uint8_t green;
  uint8_t blue;
  uint8_t alpha;
  uint8_t spare;
  int32_t value;
  AColorHashNode* next;
};

// Only the chain heads; the pages come zero-filled, so every chain starts empty.
struct AColorHashTable {
  AColorHashNode* heads[kColorHashSize];
};

namespace {

bool SameColor(const AColorHashNode& node, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
  return node.red == red && node.green == green && node.blue == blue && node.alpha == alpha;
}

AColorHashNode* FindNode(const AColorHashTable* table, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
  for (AColorHashNode* node = table->heads[ColorHash(red, green, blue, alpha)]; node != nullptr; node = node->next) {
    if (SameColor(*node, red, green, blue, alpha)) return node;
  }
  return nullptr;
}

// pixel is a 5-byte sample record: red, green, blue, alpha, spare.
AColorHashNode* PushNode(AColorHashTable* table, const uint8_t* pixel, int32_t value) {
  AColorHashNode* node = new (std::nothrow) AColorHashNode;
  if (node == nullptr) return nullptr;
  node->red = pixel[0];
  node->green = pixel[1];
  node->blue = pixel[2];
  node->alpha = pixel[3];
  node->spare = pixel[4];
  node->value = value;
  AColorHashNode*& head = table->heads[ColorHash(pixel[0], pixel[1], pixel[2], pixel[3])];
  node->next = head;
  head = node;
  return node;
}

}  // namespace

int32_t ColorHash(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
  // The largest sum, 255 * 114054, is far below 2^31, so the mask never changes a value.
  const int32_t sum = red * 33023 + green * 30013 + blue * 27011 + alpha * 24007;
  return (sum & 0x7FFFFFFF) % kColorHashSize;
}

AColorHashTable* pam_allocacolorhash() {
  return static_cast<AColorHashTable*>(platform::AllocatePages(sizeof(AColorHashTable)));
}

AColorHashTable* pam_computeacolorhash(const uint8_t* pixels, int32_t width, int32_t height, int32_t colorLimit,
                                       int32_t* colorCount) {
  DebugLog("pam_computeacolorhash begin");
  AColorHashTable* table = pam_allocacolorhash();
  DebugLog("after pam_allocacolorhash");
  *colorCount = 0;
  if (table == nullptr) return nullptr;

  const size_t pixelCount = width > 0 && height > 0 ? static_cast<size_t>(width) * static_cast<size_t>(height) : 0;
  for (size_t i = 0; i < pixelCount; ++i) {
    const uint8_t* pixel = pixels + i * 5;
    // Fully transparent pixels say nothing about the colours the palette needs.
    if (pixel[3] == 0) continue;
    AColorHashNode* node = FindNode(table, pixel[0], pixel[1], pixel[2], pixel[3]);
    if (node != nullptr) {
      ++node->value;
      continue;
    }
    ++*colorCount;
    if (*colorCount > colorLimit || PushNode(table, pixel, 1) == nullptr) {
      pam_freeacolorhash(table);
      return nullptr;
    }
  }
  DebugLog("pam_computeacolorhash end<<<");
  return table;
}

AColorHistEntry* pam_acolorhashtoacolorhist(const AColorHashTable* table, int32_t colorLimit) {
  // Room for the limit rather than the count, so a histogram always has the same size.
  AColorHistEntry* histogram = new (std::nothrow) AColorHistEntry[colorLimit > 0 ? colorLimit : 1];
  if (histogram == nullptr) return nullptr;
  int32_t used = 0;
  for (int32_t bucket = 0; bucket < kColorHashSize; ++bucket) {
    for (const AColorHashNode* node = table->heads[bucket]; node != nullptr && used < colorLimit; node = node->next) {
      histogram[used++] = AColorHistEntry{node->red, node->green, node->blue, node->alpha, node->spare, node->value};
    }
  }
  return histogram;
}

AColorHistEntry* pam_computeacolorhist(const uint8_t* pixels, int32_t width, int32_t height, int32_t colorLimit,
                                       int32_t* colorCount) {
  DebugLog("before pam_computeacolorhash");
  AColorHashTable* table = pam_computeacolorhash(pixels, width, height, colorLimit, colorCount);
  if (table == nullptr) {
    DebugLog("Error pam_computeacolorhash return 0");
    return nullptr;
  }
  DebugLog("before pam_acolorhashtoacolorhist");
  AColorHistEntry* histogram = pam_acolorhashtoacolorhist(table, colorLimit);
  DebugLog("before pam_freeacolorhash");
  pam_freeacolorhash(table);
  DebugLog("pam_computeacolorhist<<<<");
  return histogram;
}

void pam_freeacolorhash(AColorHashTable*& table) {
  if (table == nullptr) return;
  for (AColorHashNode*& head : table->heads) {
    while (head != nullptr) {
      AColorHashNode* next = head->next;
      delete head;
      head = next;
    }
  }
  platform::FreePages(table, sizeof(AColorHashTable));
  table = nullptr;
}

void pam_freeacolorhist(AColorHistEntry*& histogram) {
  DebugLog("!!!!!!!!!!!!! pam_freeacolorhist !!!!!!!!!!!");
  delete[] histogram;
  histogram = nullptr;
}

int32_t pam_findacolor(const AColorHashTable* table, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
  const AColorHashNode* node = FindNode(table, red, green, blue, alpha);
  return node != nullptr ? node->value : -1;
}

int pam_insertacolor(AColorHashTable* table, const uint8_t* pixel, int32_t value) {
  return PushNode(table, pixel, value) != nullptr ? 0 : -1;
}
