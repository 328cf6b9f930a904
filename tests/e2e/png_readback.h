#pragma once
// Reading written PNG files back the way an outside program would: the chunk list straight from the file's
// bytes, the pixels through libpng's simplified reader, and pngcheck's verdict. Also the pixel formulas the
// reduction must follow, written out here so that expected values do not come from the code under test.
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace readback {

inline std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

struct Chunk {
  std::string type;
  std::vector<uint8_t> data;
};

struct ChunkList {
  std::string problem;  // empty when the signature, every length and every CRC are sound
  std::vector<Chunk> chunks;
};

inline uint32_t BigEndian32(const uint8_t* bytes) {
  return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | uint32_t{bytes[3]};
}

inline ChunkList ChunksOf(const std::vector<uint8_t>& bytes) {
  static const uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
  ChunkList list;
  if (bytes.size() < 8 || !std::equal(kSignature, kSignature + 8, bytes.begin())) {
    list.problem = "no PNG signature";
    return list;
  }
  size_t at = 8;
  while (at < bytes.size()) {
    if (bytes.size() - at < 12) {
      list.problem = "truncated chunk at offset " + std::to_string(at);
      return list;
    }
    const uint32_t length = BigEndian32(&bytes[at]);
    if (length > bytes.size() - at - 12) {
      list.problem = "chunk length beyond the end at offset " + std::to_string(at);
      return list;
    }
    Chunk chunk;
    chunk.type.assign(reinterpret_cast<const char*>(&bytes[at + 4]), 4);
    chunk.data.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at + 8),
                      bytes.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), &bytes[at + 4], length + 4);
    if (crc != BigEndian32(&bytes[at + 8 + length])) {
      list.problem = "bad CRC in " + chunk.type;
      return list;
    }
    list.chunks.push_back(std::move(chunk));
    at += 12 + length;
  }
  return list;
}

// The chunk types in file order, with each run of IDAT chunks shown once (the library may split the data).
inline std::vector<std::string> ChunkOrder(const std::vector<Chunk>& chunks) {
  std::vector<std::string> order;
  for (const Chunk& chunk : chunks) {
    if (chunk.type == "IDAT" && !order.empty() && order.back() == "IDAT") continue;
    order.push_back(chunk.type);
  }
  return order;
}

// The data of the first chunk of this type; null when there is none.
inline const std::vector<uint8_t>* FindChunk(const std::vector<Chunk>& chunks, const char* type) {
  for (const Chunk& chunk : chunks) {
    if (chunk.type == type) return &chunk.data;
  }
  return nullptr;
}

struct Header {
  uint32_t width = 0;
  uint32_t height = 0;
  int bitDepth = -1;
  int colorType = -1;
  int compression = -1;
  int filter = -1;
  int interlace = -1;
};

inline Header HeaderOf(const std::vector<Chunk>& chunks) {
  Header header;
  const std::vector<uint8_t>* data = FindChunk(chunks, "IHDR");
  if (data == nullptr || data->size() != 13) return header;
  header.width = BigEndian32(data->data());
  header.height = BigEndian32(data->data() + 4);
  header.bitDepth = (*data)[8];
  header.colorType = (*data)[9];
  header.compression = (*data)[10];
  header.filter = (*data)[11];
  header.interlace = (*data)[12];
  return header;
}

struct Decoded {
  std::string error;  // empty when libpng read the file
  uint32_t width = 0;
  uint32_t height = 0;
  int channels = 0;               // samples per pixel in `pixels`; 1 (the index) for palette files
  std::vector<uint8_t> pixels;    // rows top to bottom without gaps, in the file's own sample order
  std::vector<uint8_t> colormap;  // palette files: red, green, blue, alpha per entry (alpha 255 without tRNS)
};

// Decodes with the simplified API in the file's own layout, so 8-bit samples come back unchanged.
inline Decoded Decode(const std::string& path) {
  Decoded decoded;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
    decoded.error = image.message;
    return decoded;
  }
  decoded.width = image.width;
  decoded.height = image.height;
  const bool indexed = (image.format & PNG_FORMAT_FLAG_COLORMAP) != 0;
  if (indexed) {
    image.format = PNG_FORMAT_RGBA_COLORMAP;
    decoded.colormap.resize(PNG_IMAGE_COLORMAP_SIZE(image));
  }
  decoded.channels = static_cast<int>(PNG_IMAGE_PIXEL_CHANNELS(image.format));
  decoded.pixels.resize(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, decoded.pixels.data(), 0, indexed ? decoded.colormap.data() : nullptr) ==
      0) {
    decoded.error = image.message;
    return decoded;
  }
  if (indexed) decoded.colormap.resize(static_cast<size_t>(image.colormap_entries) * 4);
  return decoded;
}

// A file's samples exactly as stored, at any bit depth: libpng's low-level reader with no transformation, each
// sample widened to 16 bits (the simplified reader would make 16-bit samples linear).
struct RawSamples {
  std::string error;  // empty when libpng read the file
  uint32_t width = 0;
  uint32_t height = 0;
  int bitDepth = 0;
  int colorType = 0;
  int channels = 0;
  std::vector<uint16_t> samples;  // rows top to bottom, channels in the file's order
};

namespace detail {
// The frame libpng may jump out of holds nothing with a destructor.
inline bool ReadRows(png_structp png, png_infop info, FILE* file, RawSamples& raw, std::vector<png_bytep>& rows,
                     std::vector<uint8_t>& bytes) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_init_io(png, file);
  png_read_info(png, info);
  raw.width = png_get_image_width(png, info);
  raw.height = png_get_image_height(png, info);
  raw.bitDepth = png_get_bit_depth(png, info);
  raw.colorType = png_get_color_type(png, info);
  raw.channels = png_get_channels(png, info);
  const size_t rowBytes = png_get_rowbytes(png, info);
  bytes.resize(rowBytes * raw.height);
  rows.resize(raw.height);
  for (uint32_t y = 0; y < raw.height; ++y) rows[y] = bytes.data() + y * rowBytes;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  return true;
}
}  // namespace detail

inline RawSamples DecodeRaw(const std::string& path) {
  RawSamples raw;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    raw.error = "cannot open " + path;
    return raw;
  }
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  std::vector<png_bytep> rows;
  std::vector<uint8_t> bytes;
  const bool read = info != nullptr && detail::ReadRows(png, info, file, raw, rows, bytes);
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(file);
  if (!read) {
    raw.error = "libpng could not read " + path;
    return raw;
  }
  const size_t count = static_cast<size_t>(raw.width) * raw.height * static_cast<size_t>(raw.channels);
  raw.samples.reserve(count);
  for (uint32_t y = 0; y < raw.height; ++y) {
    const uint8_t* row = rows[y];
    for (size_t i = 0; i < static_cast<size_t>(raw.width) * static_cast<size_t>(raw.channels); ++i) {
      if (raw.bitDepth == 16) {
        raw.samples.push_back(static_cast<uint16_t>(row[2 * i] << 8 | row[2 * i + 1]));
      } else if (raw.bitDepth == 8) {
        raw.samples.push_back(row[i]);
      } else {
        const size_t bit = i * static_cast<size_t>(raw.bitDepth);
        const int shift = 8 - raw.bitDepth - static_cast<int>(bit % 8);
        raw.samples.push_back(static_cast<uint16_t>(row[bit / 8] >> shift & ((1 << raw.bitDepth) - 1)));
      }
    }
  }
  return raw;
}

// Empty when pngcheck passes every file without a remark; otherwise everything it said.
inline std::string PngcheckComplaints(const std::vector<std::string>& paths) {
  if (paths.empty()) return "";  // pngcheck would read standard input instead
  std::string command = "pngcheck";
  for (const std::string& path : paths) command += " '" + path + "'";
  command += " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return "pngcheck could not be started";
  std::string output;
  char buffer[4096];
  for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
  const int status = pclose(pipe);
  size_t okLines = 0;
  bool onlyOk = true;
  for (size_t start = 0; start < output.size();) {
    size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    const std::string line = output.substr(start, end - start);
    const std::string summary = "No errors were detected in " + std::to_string(paths.size()) + " of the " +
                                std::to_string(paths.size()) + " files tested.";
    if (line.rfind("OK: ", 0) == 0) {
      ++okLines;
    } else if (!line.empty() && line != summary) {
      onlyOk = false;
    }
    start = end + 1;
  }
  if (status == 0 && onlyOk && okLines == paths.size()) return "";
  return output.empty() ? "pngcheck failed without output" : output;
}

// --- The reduction's arithmetic, from its description ---

// alpha / 255 and 1 minus that, each rounded to single precision.
inline float AlphaFraction(int alpha) { return static_cast<float>(alpha / 255.0); }
inline float RestFraction(float a) { return static_cast<float>(1.0 - static_cast<double>(a)); }

// One channel over the fill colour's channel.
inline int Composite(int channel, int alpha, int fill) {
  const float a = AlphaFraction(alpha);
  const float b = RestFraction(a);
  return static_cast<int>(static_cast<double>(channel) * a + static_cast<double>(fill) * b);
}

// Red weight held in single precision; (red + green) + blue summed in double.
inline int Gray(int red, int green, int blue) {
  return static_cast<int>((static_cast<double>(red) * static_cast<double>(0.2125f) + green * 0.7154) + blue * 0.0721);
}

// The fill colour's gray: the same weights summed green, red, blue.
inline int FillGray(int32_t fillColor) {
  const int red = fillColor & 0xFF;
  const int green = (fillColor >> 8) & 0xFF;
  const int blue = (fillColor >> 16) & 0xFF;
  return static_cast<int>((0.7154 * green + static_cast<double>(0.2125f) * red) + 0.0721 * blue);
}

// A gray value over FillGray: b × FillGray + value × a (an RGB pixel's gray, or a gray pixel saved as palette).
inline int GrayOverFill(int value, int alpha, int fillGray) {
  const float a = AlphaFraction(alpha);
  const float b = RestFraction(a);
  return static_cast<int>(static_cast<double>(b) * fillGray + static_cast<double>(value) * a);
}

// A gray pixel saved as gray or RGB without alpha: the fill term is rounded to single precision first.
inline int GrayOverSingleFill(int gray, int alpha, int fillGray) {
  const float a = AlphaFraction(alpha);
  const float b = RestFraction(a);
  const float fillTerm = static_cast<float>(static_cast<double>(b) * fillGray);
  return static_cast<int>(static_cast<double>(a) * gray + static_cast<double>(fillTerm));
}

// The size line's text for one count: bytes below 3000, KBytes below 3,000,000, else MBytes.
inline std::string SizeText(int64_t size) {
  char text[64];
  if (size < 3000) {
    std::snprintf(text, sizeof text, "%lld Bytes", static_cast<long long>(size));
  } else if (size < 3000000) {
    if (size % 1000 == 0) {
      std::snprintf(text, sizeof text, "%lld KBytes", static_cast<long long>(size / 1000));
    } else {
      std::snprintf(text, sizeof text, "%.3f KBytes", static_cast<double>(size) / 1000.0);
    }
  } else if (size % 1000000 == 0) {
    std::snprintf(text, sizeof text, "%lld MBytes", static_cast<long long>(size / 1000000));
  } else {
    std::snprintf(text, sizeof text, "%.3f MBytes", static_cast<double>(size) / 1000000.0);
  }
  return text;
}

}  // namespace readback
