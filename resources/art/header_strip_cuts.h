// Made by tools/make_artwork.py with header_left.bmp and its scaled copies; do not edit.
// Columns of the header's left strip where it may end without cutting a word: ascending.
// The _150 and _200 arrays and sizes are those of header_left_150.bmp and header_left_200.bmp.
#pragma once

inline constexpr int kHeaderLeftCuts[] = {268, 288, 319, 346, 354, 402, 410, 488, 496, 536};
inline constexpr int kHeaderLeftCuts150[] = {402, 432, 480, 520, 532, 604, 616, 733, 745, 805};
inline constexpr int kHeaderLeftCuts200[] = {536, 576, 638, 692, 708, 804, 820, 976, 992, 1072};

// The strip's parts at 150 % and 200 %: left, right, middle tile widths and the height.
inline constexpr int kHeaderStripLeftWidth150 = 896;
inline constexpr int kHeaderStripRightWidth150 = 644;
inline constexpr int kHeaderStripTileWidth150 = 152;
inline constexpr int kHeaderStripHeight150 = 60;
inline constexpr int kHeaderStripLeftWidth200 = 1194;
inline constexpr int kHeaderStripRightWidth200 = 858;
inline constexpr int kHeaderStripTileWidth200 = 202;
inline constexpr int kHeaderStripHeight200 = 80;

// How far the web-site button's left edge lies from the strip's right edge (199 at 100 %): the right
// part and the button's place in it are rounded apart, so this is not always 199 scaled.
inline constexpr int kHeaderSiteFromRight150 = 299;
inline constexpr int kHeaderSiteFromRight200 = 398;
