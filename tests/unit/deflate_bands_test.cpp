#include "png/deflate_bands.h"

#include <gtest/gtest.h>
#include <libdeflate.h>
#include <zlib.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Rows as an image's look: RGB ramps across each row, a little noise, and a shape that repeats every few rows.
Bytes ImageLikeBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  constexpr size_t kRowBytes = 3 * 1000;
  for (size_t i = 0; i < size; ++i) {
    const size_t x = i % kRowBytes / 3;
    const size_t y = i / kRowBytes;
    const size_t channel = i % 3;
    const bool inShape = (x / 40 + y / 40) % 5 == 0;
    const size_t ramp = inShape ? 200 + channel * 10 : (x / 4 + y / 8 + channel * 60);
    bytes[i] = static_cast<uint8_t>(ramp + random() % 4);
  }
  return bytes;
}

Bytes RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
  return bytes;
}

Bytes Compressed(const Bytes& data, const ZlibBandOptions& options) {
  ZlibStream stream;
  EXPECT_EQ(CompressZlibInBands(data.data(), data.size(), options, stream), DeflateStatus::Ok);
  return Bytes(stream.bytes.data(), stream.bytes.data() + stream.size);
}

// zlib's decoder takes the whole stream, its header and its Adler-32 checked, and gives exactly the data.
void ExpectDecodesTo(const Bytes& stream, const Bytes& data) {
  Bytes decoded(data.size() + 1);  // room for a byte too many
  uLongf decodedSize = decoded.size();
  uLong streamSize = stream.size();
  ASSERT_EQ(uncompress2(decoded.data(), &decodedSize, stream.data(), &streamSize), Z_OK);
  EXPECT_EQ(streamSize, stream.size()) << "nothing after the Adler-32";
  decoded.resize(decodedSize);
  EXPECT_TRUE(decoded == data) << "decoded " << decoded.size() << " bytes of " << data.size();
}

TEST(DeflateBands, TheJoinedBandsAreOneStreamThatDecodesToTheData) {
  constexpr size_t kBand = 4096;
  const struct {
    const char* name;
    Bytes (*make)(size_t, uint32_t);
  } kinds[] = {{"image-like", ImageLikeBytes},
               {"random, stored", RandomBytes},
               {"one value", [](size_t size, uint32_t) { return Bytes(size, 0x5A); }}};
  for (const auto& kind : kinds) {
    for (const size_t size : {size_t{0}, size_t{1}, kBand - 1, kBand, kBand + 1, 3 * kBand, 5 * kBand - 1}) {
      for (const int level : {0, 1, 6, 12}) {
        SCOPED_TRACE(testing::Message() << kind.name << ", " << size << " bytes, level " << level);
        const Bytes data = kind.make(size, 7);
        ZlibBandOptions options;
        options.level = level;
        options.threads = 3;
        options.bandBytes = kBand;
        ExpectDecodesTo(Compressed(data, options), data);
      }
    }
  }
  // Bands of a few hundred bytes end on every bit of a byte, so the closing stored block meets every padding.
  const Bytes data = ImageLikeBytes(1 << 16, 11);
  for (const size_t band : {size_t{300}, size_t{301}, size_t{777}}) {
    SCOPED_TRACE(testing::Message() << "bands of " << band);
    ZlibBandOptions options;
    options.threads = 2;
    options.bandBytes = band;
    ExpectDecodesTo(Compressed(data, options), data);
  }
}

TEST(DeflateBands, OneBandIsLibdeflatesOwnZlibStreamAndItsMeasure) {
  for (const size_t size : {size_t{0}, size_t{1}, size_t{1000}, size_t{100000}}) {
    for (const int level : {0, 1, 6, 12}) {
      SCOPED_TRACE(testing::Message() << size << " bytes, level " << level);
      const Bytes data = ImageLikeBytes(size, 3);
      libdeflate_compressor* compressor = libdeflate_alloc_compressor(level);
      ASSERT_NE(compressor, nullptr);
      Bytes expected(libdeflate_zlib_compress_bound(compressor, size));
      expected.resize(libdeflate_zlib_compress(compressor, data.data(), size, expected.data(), expected.size()));
      libdeflate_free_compressor(compressor);
      ZlibBandOptions options;
      options.level = level;
      options.threads = 2;
      EXPECT_EQ(Compressed(data, options), expected);
      EXPECT_EQ(ZlibStreamSize(data.data(), size, level), expected.size());
    }
  }
}

TEST(DeflateBands, TheBytesAreTheSameWhateverTheThreads) {
  const Bytes data = ImageLikeBytes(3 * 1024 * 1024 + 12345, 5);
  ZlibBandOptions options;
  options.level = 6;
  options.threads = 1;
  const Bytes alone = Compressed(data, options);
  ExpectDecodesTo(alone, data);
  for (const int32_t threads : {2, 3, 8}) {
    options.threads = threads;
    EXPECT_TRUE(Compressed(data, options) == alone) << threads << " threads";
  }
  // The default bands: one for a small buffer, several of at most 1 MiB for a large one.
  EXPECT_EQ(ZlibBandBytes(0), 1u);
  EXPECT_EQ(ZlibBandBytes(5000), 5000u);
  EXPECT_EQ(ZlibBandBytes(1 << 20), size_t{1} << 20);
  EXPECT_LE(ZlibBandBytes(data.size()), size_t{1} << 20);
  EXPECT_GT(ZlibBandBytes(data.size()), size_t{1} << 19);
}

TEST(DeflateBands, AStopAfterTheFirstBandEndsAborted) {
  const Bytes data = ImageLikeBytes(64 * 1024, 9);
  for (const int32_t threads : {1, 2}) {
    SCOPED_TRACE(testing::Message() << threads << " threads");
    int asked = 0;
    ZlibBandOptions options;
    options.level = 1;
    options.threads = threads;
    options.bandBytes = 4096;
    options.keepGoing = [&] {
      ++asked;
      return false;
    };
    ZlibStream stream;
    EXPECT_EQ(CompressZlibInBands(data.data(), data.size(), options, stream), DeflateStatus::Aborted);
    EXPECT_EQ(asked, 1) << "nothing is asked after the stop";
    EXPECT_EQ(stream.size, 0u);
    EXPECT_FALSE(stream.bytes);
  }
}

TEST(DeflateBands, TheStrongestLevelIsNoLargerAndTheBandsCostLittle) {
  const Bytes data = ImageLikeBytes(2 * 1024 * 1024, 13);
  ZlibBandOptions options;
  options.threads = 2;
  options.level = 6;
  const Bytes level6 = Compressed(data, options);
  options.level = kStrongestDeflateLevel;
  const Bytes level12 = Compressed(data, options);
  ExpectDecodesTo(level12, data);
  EXPECT_LE(level12.size(), level6.size());
  // The default bands, two of 1 MiB, against one piece: well under a percent more.
  const std::optional<size_t> onePiece = ZlibStreamSize(data.data(), data.size(), kStrongestDeflateLevel);
  ASSERT_TRUE(onePiece);
  EXPECT_LT(static_cast<double>(level12.size()), static_cast<double>(*onePiece) * 1.01);
}

}  // namespace
