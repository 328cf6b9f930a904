#pragma once
// RGBA colour hash: counts the distinct colours of a sample, turns the counts into a histogram, and serves
// the reduction as a cache from a colour to its palette index.
#include <cstdint>

#include "records/color_map.h"

struct AColorHashNode;
struct AColorHashTable;  // 20023 chain heads in page-granular, zero-filled memory

constexpr int32_t kColorHashSize = 20023;

int32_t ColorHash(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);

// Sample pixels are records of 5 bytes (red, green, blue, alpha, spare), rows packed.
AColorHashTable* pam_allocacolorhash();
AColorHashTable* pam_computeacolorhash(const uint8_t* pixels, int32_t width, int32_t height, int32_t colorLimit,
                                       int32_t* colorCount);
AColorHistEntry* pam_acolorhashtoacolorhist(const AColorHashTable* table, int32_t colorLimit);
AColorHistEntry* pam_computeacolorhist(const uint8_t* pixels, int32_t width, int32_t height, int32_t colorLimit,
                                       int32_t* colorCount);
void pam_freeacolorhash(AColorHashTable*& table);
void pam_freeacolorhist(AColorHistEntry*& histogram);
// The value of the first equal colour from the chain's head, else -1.
int32_t pam_findacolor(const AColorHashTable* table, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
// Pushes a node at the head of its chain without looking for an equal colour; -1 when out of memory.
int pam_insertacolor(AColorHashTable* table, const uint8_t* pixel, int32_t value);
