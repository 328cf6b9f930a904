// Made by tools/make_artwork.py with header_left.bmp; do not edit.
// Columns of the header's left strip where it may end without cutting a word: ascending.
#pragma once

inline constexpr int kHeaderLeftCuts[] = {268, 288, 319, 346, 354, 402, 410, 488, 496, 536};
