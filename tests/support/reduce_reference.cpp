#include "tests/support/reduce_reference.h"

namespace {

const int kBayer[8][8] = {
    {1, 33, 9, 41, 3, 35, 11, 43},    {49, 17, 57, 25, 51, 19, 59, 27}, {13, 45, 5, 37, 15, 47, 7, 39},
    {61, 29, 53, 21, 63, 31, 55, 23}, {4, 36, 12, 44, 2, 34, 10, 42},   {52, 20, 60, 28, 50, 18, 58, 26},
    {16, 48, 8, 40, 14, 46, 6, 38},   {64, 32, 56, 24, 62, 30, 54, 22},
};

int Clamp(int v) {
  if (v < 0) return 0;
  if (v > 255) return 255;
  return v;
}

int Gray(int r, int g, int b) { return int((double(r) * double(0.2125f) + double(g) * 0.7154) + double(b) * 0.0721); }

float FractionA(int alpha) { return float(alpha) / 255.0f; }
float FractionB(int alpha) { return 1.0f - FractionA(alpha); }

int Over(int c, int f, int alpha) {
  return int(double(c) * double(FractionA(alpha)) + double(f) * double(FractionB(alpha)));
}

struct Noise {
  uint32_t state = 0;
  int Draw() {
    state = state * 214013u + 2531011u;
    return int((state >> 16) & 0x7FFF);
  }
};

}  // namespace

ReferenceResult ReferenceReduce(const WholeImageRecord& image, const SaveOptionsRecord& options,
                                const PaletteRecord& palette, const AColorHistEntry* colorMap, int32_t count,
                                std::vector<uint8_t> previous) {
  const int W = image._WholeWidth;
  const int H = image._WholeHeight;
  const int P = image._WholePlanesIn;
  const int mode = image._WholeMode;
  const int type = (options.pngType >= 0 && options.pngType <= 2) ? options.pngType : 2;
  const int dither = options.dither <= 3 ? options.dither : 1;
  const bool alphaChannel = options.alphaChannel != 0;

  bool alphaPlane = P != 1 && P != 3;
  if (mode == 1 && type == 1) alphaPlane = false;
  const bool alphaMode = alphaPlane && alphaChannel;
  const bool keyMode = alphaPlane && !alphaChannel && options.useKeyColor != 0;
  const bool alphaDither = options.keyColorDither != 0 && (alphaMode || keyMode);

  ReferenceResult result;
  result.bytesPerPixel = (type == 2 ? 3 : 1) + ((alphaMode && type != 1) ? 1 : 0);
  const int bpp = result.bytesPerPixel;
  result.pixels = std::move(previous);
  result.pixels.resize(size_t(W) * H * bpp);

  const int fr = options.fillColor & 0xFF;
  const int fg = (options.fillColor >> 8) & 0xFF;
  const int fb = (options.fillColor >> 16) & 0xFF;
  const int fillGray = int((0.7154 * fg + double(0.2125f) * fr) + 0.0721 * fb);

  const int searchCount = (keyMode || (alphaMode && image.MinAlpha < 100)) ? count - 1 : count;
  Noise noise;
  std::vector<int> error(size_t(W) * 4, 0);

  for (int y = 0; y < H; ++y) {
    int carry[4] = {0, 0, 0, 0};
    for (int x = 0; x < W; ++x) {
      const uint8_t* in = image.pixels + (size_t(y) * W + x) * P;
      uint8_t* out = result.pixels.data() + (size_t(y) * W + x) * bpp;
      if (mode == 3) {
        if (P < 3) continue;
        if (type == 2) {
          if (P == 4 && alphaChannel) {
            for (int i = 0; i < 4; ++i) out[i] = in[i];
          } else if (P == 4) {
            out[0] = uint8_t(Over(in[0], fr, in[3]));
            out[1] = uint8_t(Over(in[1], fg, in[3]));
            out[2] = uint8_t(Over(in[2], fb, in[3]));
          } else {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            if (alphaMode) out[3] = in[3];
          }
        } else if (type == 0) {
          const int g = Gray(in[0], in[1], in[2]);
          if (P == 4 && alphaChannel) {
            out[0] = uint8_t(g);
            out[1] = in[3];
          } else if (P == 4) {
            out[0] = uint8_t(int(double(FractionB(in[3])) * fillGray + double(g) * double(FractionA(in[3]))));
          } else {
            out[0] = uint8_t(g);
            if (alphaMode) out[1] = in[3];
          }
        } else {
          int c[4] = {in[0], in[1], in[2], P >= 4 ? in[3] : 255};
          if (P >= 4 && !alphaChannel && options.useKeyColor == 0) {
            c[0] = Over(c[0], fr, c[3]);
            c[1] = Over(c[1], fg, c[3]);
            c[2] = Over(c[2], fb, c[3]);
            c[3] = 255;
          }
          if (dither == 2) {
            const int t = kBayer[y % 8][x % 8] - 32;
            for (int i = 0; i < 3; ++i) c[i] = Clamp(c[i] + t);
            if (alphaDither && !(alphaChannel && c[3] == 0)) c[3] = Clamp(c[3] + t);
          } else if (dither == 3) {
            for (int i = 0; i < 3; ++i) c[i] = Clamp(c[i] + noise.Draw() % 32 - 16);
            if (alphaDither && !(alphaChannel && c[3] == 0)) c[3] = Clamp(c[3] + noise.Draw() % 32 - 16);
          } else if (dither == 1) {
            for (int i = 0; i < (alphaDither ? 4 : 3); ++i) c[i] = Clamp(c[i] + carry[i] + error[size_t(x) * 4 + i]);
          }
          int index = count - 1;
          if ((alphaMode || keyMode) && c[3] == image.MinAlpha) {
            index = count - 1;
          } else {
            int best = 2000000000;
            for (int i = 0; i < searchCount; ++i) {
              const int d0 = c[0] - colorMap[i].red;
              const int d1 = c[1] - colorMap[i].green;
              const int d2 = c[2] - colorMap[i].blue;
              const int d3 = c[3] - colorMap[i].alpha;
              const int d = d0 * d0 + d1 * d1 + d2 * d2 + d3 * d3;
              if (d < best) {
                best = d;
                index = i;
              }
            }
          }
          if (keyMode && c[3] < 127) index = count - 1;
          out[0] = uint8_t(index);
          if (dither == 1) {
            const int target[4] = {colorMap[index].red, colorMap[index].green, colorMap[index].blue,
                                   alphaChannel ? colorMap[index].alpha : 127};
            for (int i = 0; i < (alphaDither ? 4 : 3); ++i) {
              const int e = c[i] - target[i];
              const int h = e >> 1;
              const int right = (7 * h) >> 3;
              const int below = h - right;
              const int q = (5 * (e - h)) >> 3;
              carry[i] = right;
              if (x < W - 1) error[size_t(x + 1) * 4 + i] = below;
              if (x == 0) {
                error[size_t(i)] = q;
              } else {
                error[size_t(x) * 4 + i] += q;
                error[size_t(x - 1) * 4 + i] += q;
              }
            }
          }
        }
      } else if (mode == 2) {
        const PaletteEntry& e = palette.entries[in[0]];
        if (type == 0) {
          out[0] = uint8_t(Gray(e.red, e.green, e.blue));
          if (alphaMode) out[1] = in[1];
        } else if (type == 1) {
          out[0] = in[0];
        } else {
          out[0] = e.red;
          out[1] = e.green;
          out[2] = e.blue;
          if (alphaMode) out[3] = in[1];
        }
      } else if (mode == 1) {
        const int g = in[0];
        if (type == 0) {
          if (alphaMode) {
            out[0] = in[0];
            out[1] = in[1];
          } else if (P == 2) {
            const float fill = float(double(FractionB(in[1])) * fillGray);
            out[0] = uint8_t(int(double(fill) + double(FractionA(in[1])) * g));
          } else {
            out[0] = in[0];
          }
        } else if (type == 1) {
          const int a = P == 2 ? in[1] : 255;
          out[0] = uint8_t(int(double(FractionB(a)) * fillGray + double(FractionA(a)) * g));
        } else {
          int v = g;
          if (!alphaMode && P == 2) {
            const float fill = float(double(FractionB(in[1])) * fillGray);
            v = int(double(FractionA(in[1])) * g + double(fill));
          }
          out[0] = out[1] = out[2] = uint8_t(v);
          if (alphaMode) out[3] = in[1];
        }
      }
    }
  }
  return result;
}
