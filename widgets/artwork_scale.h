#pragma once
// Which of the bitmaps' sizes suits a screen's DPI, and where that size lives among the resources; kept free
// of Win32 so it is checked natively.

// Every bitmap is drawn at 100 % (96 dpi), 150 % and 200 %.
enum class ArtworkScale { k100, k150, k200 };

// The smallest scale at or above dpi / 96, 200 % at most: 96 dpi or less (or unknown, 0) is 100 %, 97 to 144
// is 150 %, 145 and above is 200 %. Larger bitmaps are shrunk rather than smaller ones blown up.
ArtworkScale ArtworkScaleForDpi(int dpi);

// 100, 150 or 200.
int ArtworkScalePercent(ArtworkScale scale);

// The resource ID of the bitmap whose 100 % ID is `id100`, at `scale`.
int ArtworkResourceId(int id100, ArtworkScale scale);

// A size of a 100 % bitmap as tools/make_artwork.py makes it at `scale`: rounded to nearest, halves to even.
int ArtworkScaledSize(int size100, ArtworkScale scale);
