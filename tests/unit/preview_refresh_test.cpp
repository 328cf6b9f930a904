#include "ui/preview_refresh.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "base/platform.h"
#include "png/png_writer.h"
#include "records/color_map.h"
#include "records/palette.h"
#include "records/reduced_image.h"
#include "records/save_options.h"
#include "records/save_paths.h"
#include "records/whole_image.h"
#include "reduce/reduce_filter.h"
#include "tests/support/platform_faults.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The worker's wake-ups, which the test can hold: while held, the worker waits inside its wake-up (right after
// it has posted news), so the test knows exactly how far it has come and can act at that point.
class SteppedNews {
 public:
  bool Post() {
    std::unique_lock<std::mutex> lock(mutex_);
    posted_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !holding_ || released_ > 0; });
    if (holding_) --released_;
    return true;
  }
  // Waits until the worker has posted (and, while held, waits in its wake-up).
  void WaitForNews() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return posted_; });
    posted_ = false;
  }
  void Hold() {
    const std::lock_guard<std::mutex> lock(mutex_);
    holding_ = true;
  }
  // Lets the held worker go on to its next wake-up.
  void Step() {
    const std::lock_guard<std::mutex> lock(mutex_);
    ++released_;
    changed_.notify_all();
  }
  void Let() {
    const std::lock_guard<std::mutex> lock(mutex_);
    holding_ = false;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool posted_ = false;
  bool holding_ = false;
  int released_ = 0;
};

// What the records say after a refresh, all of it.
struct RecordsSeen {
  Bytes rows;
  bool stale = false;
  std::vector<uint8_t> palette;  // the entries in use, five bytes each
  int32_t paletteCount = 0;
  int32_t compressedSize = 0;
  Bytes png;

  bool operator==(const RecordsSeen& other) const {
    return rows == other.rows && stale == other.stale && palette == other.palette &&
           paletteCount == other.paletteCount && compressedSize == other.compressedSize && png == other.png;
  }
};

Bytes FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

class Counting final : public PreviewRefresher::Listener {
 public:
  void RefreshProgress(int32_t, int32_t) override { ++progress; }
  void RowsChanged() override { ++rowsChanged; }
  void EncodingDone(int32_t) override { ++encodings; }
  void RefreshIdle() override { ++idle; }
  int progress = 0;
  int rowsChanged = 0;
  int encodings = 0;
  int idle = 0;
};

class PreviewRefresherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vexrefreshXXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    TempPngPath = platform::FromUtf8(folder_ + "/out.png.temp");
    // Photo-like enough for a palette to matter: smooth colours, noise, a transparent corner.
    std::mt19937 random(7);
    image_.resize(static_cast<size_t>(kWidth) * kHeight * 4);
    for (int32_t y = 0; y < kHeight; ++y) {
      for (int32_t x = 0; x < kWidth; ++x) {
        uint8_t* pixel = &image_[(static_cast<size_t>(y) * kWidth + x) * 4];
        pixel[0] = static_cast<uint8_t>(x * 3 + random() % 16);
        pixel[1] = static_cast<uint8_t>(y * 4 + random() % 16);
        pixel[2] = static_cast<uint8_t>((x + y) * 2);
        pixel[3] = x < 10 && y < 10 ? 0 : 255;
      }
    }
    Reset();
  }

  void TearDown() override {
    Reset();
    WholeImage = WholeImageRecord{};
    std::remove(Temp().c_str());
    std::remove(Next().c_str());
    rmdir(folder_.c_str());
  }

  // The state after the save's own reduction: the image, the options, a built palette, reduced rows.
  void Reset() {
    WholeImage = WholeImageRecord{};
    WholeImage.pixels = image_.data();
    WholeImage.pixelBytes = image_.size();
    WholeImage._WholeWidth = kWidth;
    WholeImage._WholeHeight = kHeight;
    WholeImage._WholePlanesIn = 4;
    WholeImage.rowStride = kWidth * 4;
    WholeImage._WholeMode = kWholeRgb;
    WholeImage.MinAlpha = 0;
    ResetSaveOptions();
    SaveOptions.pngType = kPngPalette;
    SaveOptions.paletteColors = 64;
    Palette = PaletteRecord{};
    ReleaseColorMap();
    FreeReducedImagePixels();
    ReducedImage = ReducedImageRecord{};
    LastCompressedSize = 0;
    std::remove(Temp().c_str());
    DoFilter();
  }

  std::string Temp() const { return folder_ + "/out.png.temp"; }
  std::string Next() const { return folder_ + "/out.png.temp.next"; }

  RecordsSeen Seen() const {
    RecordsSeen seen;
    if (ReducedImage.pixels != nullptr) {
      seen.rows.assign(ReducedImage.pixels,
                       ReducedImage.pixels + static_cast<size_t>(ReducedImage.rowBytes) * ReducedImage.height);
    }
    seen.stale = ReducedImage.stale;
    const uint8_t* entries = &Palette.entries[0].red;
    seen.palette.assign(entries, entries + static_cast<size_t>(Palette.count) * sizeof(PaletteEntry));
    seen.paletteCount = Palette.count;
    seen.compressedSize = LastCompressedSize;
    seen.png = FileBytes(Temp());
    return seen;
  }

  // What the same change gives done the old way, in one call on this thread, from the same start.
  RecordsSeen Synchronous(const std::function<void()>& change) {
    Reset();
    CompressPNG();
    change();
    DoFilter();
    CompressPNG();
    const RecordsSeen seen = Seen();
    Reset();
    return seen;
  }

  // Delivers the worker's news until nothing runs or waits.
  static void DeliverUntilIdle(PreviewRefresher& refresher, SteppedNews& news) {
    while (refresher.Busy()) {
      news.WaitForNews();
      refresher.Deliver();
    }
  }

  // The dialog's opening: the first encoding of the rows the save reduced.
  static void Open(PreviewRefresher& refresher, SteppedNews& news) {
    refresher.RequestEncoding();
    DeliverUntilIdle(refresher, news);
  }

  static constexpr int32_t kWidth = 83;
  static constexpr int32_t kHeight = 57;
  std::string folder_;
  Bytes image_;
};

// The changes a user makes in the panel, as they reach the records.
void Diffusion() { SaveOptions.dither = kDiffusion; }
void NoDither() { SaveOptions.dither = kNoDither; }
void SixteenColours() {
  SaveOptions.paletteColors = 16;
  Palette.built = 0;
  Palette.builtCount = Palette.count;
}
void Rgb() { SaveOptions.pngType = kPngRgb; }
void Grayscale() { SaveOptions.pngType = kPngGrayscale; }

TEST_F(PreviewRefresherTest, EachChangeEndsWithTheRecordsAndTheFileOfTheSameChangeMadeInOneCall) {
  for (auto change : {Diffusion, NoDither, SixteenColours, Rgb, Grayscale}) {
    const RecordsSeen expected = Synchronous(change);
    Counting counting;
    SteppedNews news;
    PreviewRefresher refresher(counting, [&news] { return news.Post(); });
    Open(refresher, news);
    change();
    refresher.Request();
    DeliverUntilIdle(refresher, news);
    EXPECT_TRUE(Seen() == expected);
    EXPECT_EQ(counting.encodings, 2);  // the first encoding, then the change's
    EXPECT_EQ(counting.rowsChanged, 1);
    EXPECT_FALSE(Exists(Next()));
    refresher.Stop();
    Reset();
  }
}

TEST_F(PreviewRefresherTest, ChangesInQuickSuccessionMakeOneRefreshOfTheNewest) {
  const RecordsSeen expected = Synchronous([] {
    Diffusion();
    SixteenColours();
    NoDither();
    Rgb();
  });
  Counting counting;
  SteppedNews news;
  PreviewRefresher refresher(counting, [&news] { return news.Post(); });
  Open(refresher, news);
  news.Hold();
  Diffusion();
  refresher.Request();
  news.WaitForNews();  // the first refresh has begun and waits in its first report
  refresher.Deliver();
  SixteenColours();
  refresher.Request();
  NoDither();
  refresher.Request();
  Rgb();
  refresher.Request();
  news.Let();
  DeliverUntilIdle(refresher, news);
  EXPECT_TRUE(Seen() == expected);
  EXPECT_EQ(counting.encodings, 2);  // the opening's and the newest state's; the stopped one delivered nothing
  EXPECT_EQ(counting.rowsChanged, 1);
  EXPECT_EQ(counting.idle, 2);
  EXPECT_FALSE(Exists(Next()));
}

// Stopped at its n-th report, by the dialog closing or by a newer change, a refresh has changed the records only
// by what it delivered: its rows and palette once they were reported ready, never the PNG or its size. Each
// report is one wake-up: 57 rows reduced, the rows ready, 57 rows encoded.
TEST_F(PreviewRefresherTest, ARefreshStoppedAtAnyPointLeavesTheRecordsAsTheLastDeliveredStepLeftThem) {
  for (int stopAt : {0, 1, 2, 5, 20, 56, 57, 58, 60, 80, 113}) {
    SCOPED_TRACE(stopAt);
    Counting counting;
    SteppedNews news;
    PreviewRefresher refresher(counting, [&news] { return news.Post(); });
    Open(refresher, news);
    const RecordsSeen opened = Seen();
    news.Hold();
    SixteenColours();
    refresher.Request();
    int rowsChangedBefore = counting.rowsChanged;
    RecordsSeen rowsOfTheRefresh;
    for (int step = 0; step <= stopAt && refresher.Busy(); ++step) {
      news.WaitForNews();
      refresher.Deliver();
      if (counting.rowsChanged != rowsChangedBefore) {
        rowsChangedBefore = counting.rowsChanged;
        rowsOfTheRefresh = Seen();
      }
      news.Step();
    }
    const bool rowsIn = counting.rowsChanged > 0;
    // Stopped here by the closing dialog; the worker, let go, sees it at its next row.
    news.Let();
    refresher.Stop();
    const RecordsSeen after = Seen();
    EXPECT_EQ(after.compressedSize, opened.compressedSize);
    EXPECT_EQ(after.png, opened.png);
    if (rowsIn) {
      EXPECT_EQ(after.rows, rowsOfTheRefresh.rows);
      EXPECT_EQ(after.palette, rowsOfTheRefresh.palette);
      EXPECT_NE(after.paletteCount, opened.paletteCount);
    } else {
      EXPECT_TRUE(after == opened);
    }
    EXPECT_FALSE(Exists(Next()));
    EXPECT_EQ(counting.encodings, 1);  // the opening's
    Reset();
  }
}

TEST_F(PreviewRefresherTest, ARefreshStoppedByANewerChangeNeverDeliversItsPng) {
  const RecordsSeen expected = Synchronous([] {
    SixteenColours();
    Diffusion();
  });
  for (int stopAt : {0, 3, 56, 57, 58, 100, 113}) {
    SCOPED_TRACE(stopAt);
    Counting counting;
    SteppedNews news;
    PreviewRefresher refresher(counting, [&news] { return news.Post(); });
    Open(refresher, news);
    const RecordsSeen opened = Seen();
    news.Hold();
    SixteenColours();
    refresher.Request();
    for (int step = 0; step <= stopAt; ++step) {
      news.WaitForNews();
      refresher.Deliver();
      if (step < stopAt) news.Step();
    }
    Diffusion();
    refresher.Request();
    news.Let();
    // Until the newest state's encoding is delivered, the PNG and its size are the opening's.
    while (refresher.Busy()) {
      news.WaitForNews();
      const int encodings = counting.encodings;
      refresher.Deliver();
      if (counting.encodings == encodings) {
        EXPECT_EQ(LastCompressedSize, opened.compressedSize);
        EXPECT_EQ(FileBytes(Temp()), opened.png);
      }
    }
    EXPECT_TRUE(Seen() == expected);
    EXPECT_EQ(counting.encodings, 2);
    EXPECT_FALSE(Exists(Next()));
    Reset();
  }
}

TEST_F(PreviewRefresherTest, ALockSetWhileARefreshRunsSurvivesIt) {
  Counting counting;
  SteppedNews news;
  PreviewRefresher refresher(counting, [&news] { return news.Post(); });
  Open(refresher, news);
  news.Hold();
  Diffusion();
  refresher.Request();
  news.WaitForNews();  // its copy of the palette has no lock
  refresher.Deliver();
  Palette.entries[3].mark = 1;
  refresher.PaletteEdited();
  news.Let();
  DeliverUntilIdle(refresher, news);
  EXPECT_EQ(Palette.entries[3].mark, 1);
  EXPECT_EQ(counting.rowsChanged, 1);
}

TEST_F(PreviewRefresherTest, ALockSetOnceTheRowsAreInNeedsNoNewRefresh) {
  Counting counting;
  SteppedNews news;
  PreviewRefresher refresher(counting, [&news] { return news.Post(); });
  Open(refresher, news);
  Diffusion();
  refresher.Request();
  while (counting.rowsChanged == 0) {
    news.WaitForNews();
    refresher.Deliver();
  }
  Palette.entries[3].mark = 1;
  refresher.PaletteEdited();
  DeliverUntilIdle(refresher, news);
  EXPECT_EQ(Palette.entries[3].mark, 1);
  EXPECT_EQ(counting.rowsChanged, 1);
  EXPECT_EQ(counting.encodings, 2);
}

TEST_F(PreviewRefresherTest, StoppingLeavesNoFileAndNoMemoryBehind) {
  const int32_t blocksBefore = faults::LivePageBlocks();
  {
    Counting counting;
    SteppedNews news;
    PreviewRefresher refresher(counting, [&news] { return news.Post(); });
    Open(refresher, news);
    SixteenColours();
    refresher.Request();  // into the spare rows, which the refresher owns
    refresher.Stop();
    refresher.Request();  // a stopped refresher does nothing more
    EXPECT_FALSE(refresher.Busy());
  }
  EXPECT_FALSE(Exists(Next()));
  EXPECT_EQ(faults::LivePageBlocks(), blocksBefore);
}

// A change of compression encodes the rows shown again, without reducing them; chosen while a reduction's rows
// are on their way, it lets them come (the encoding alone would stop them and encode the rows before them).
TEST_F(PreviewRefresherTest, ACompressionChangeEncodesTheRowsShownAndLetsRowsOnTheirWayCome) {
  const auto smallest = [] { SaveOptions.compression = kSmallestCompression; };
  const RecordsSeen encodedAgain = Synchronous(smallest);
  {
    Counting counting;
    SteppedNews news;
    PreviewRefresher refresher(counting, [&news] { return news.Post(); });
    Open(refresher, news);
    smallest();
    refresher.RequestEncoding();
    DeliverUntilIdle(refresher, news);
    EXPECT_TRUE(Seen() == encodedAgain);
    EXPECT_EQ(counting.rowsChanged, 0);
    EXPECT_EQ(counting.encodings, 2);
  }
  Reset();
  const RecordsSeen expected = Synchronous([&] {
    SixteenColours();
    smallest();
  });
  Counting counting;
  SteppedNews news;
  PreviewRefresher refresher(counting, [&news] { return news.Post(); });
  Open(refresher, news);
  news.Hold();
  SixteenColours();
  refresher.Request();
  news.WaitForNews();  // the reduction has begun; its rows are not in
  refresher.Deliver();
  smallest();
  refresher.RequestEncoding();
  news.Let();
  DeliverUntilIdle(refresher, news);
  EXPECT_TRUE(Seen() == expected);
  EXPECT_EQ(counting.rowsChanged, 1);
}

// A reduction that fails (here: no memory for its rows) has no rows to show and no PNG: the records keep the rows
// they had, and the size says there is nothing to save.
TEST_F(PreviewRefresherTest, ARefreshWhoseReductionFailsPublishesNoRowsAndNoPng) {
  Counting counting;
  SteppedNews news;
  PreviewRefresher refresher(counting, [&news] { return news.Post(); });
  Open(refresher, news);
  const RecordsSeen opened = Seen();
  ASSERT_GT(opened.compressedSize, 0);
  Rgb();
  faults::FailNthPageAllocation(1);  // the rows of the refresh's reduction
  refresher.Request();
  DeliverUntilIdle(refresher, news);
  EXPECT_GT(faults::RefusedPageAllocationBytes(), 0u);
  faults::FailNthPageAllocation(0);
  EXPECT_EQ(counting.rowsChanged, 0);
  EXPECT_EQ(counting.encodings, 2);
  EXPECT_EQ(LastCompressedSize, 0);
  EXPECT_EQ(Seen().rows, opened.rows);
  EXPECT_EQ(Seen().palette, opened.palette);
  EXPECT_FALSE(Exists(Next()));
}

// A worker thread that cannot be started, for want of memory as much as of a handle, leaves the refresher working:
// every refresh then runs inside the call that asks for it.
TEST_F(PreviewRefresherTest, WithoutAThreadEveryRefreshRunsWhereItIsAskedFor) {
  const RecordsSeen expected = Synchronous(SixteenColours);
  for (const auto fault : {faults::ThreadStartFault::kOutOfMemory, faults::ThreadStartFault::kSystemError}) {
    faults::FailThreadStartsFrom(1, fault);
    Counting counting;
    std::unique_ptr<PreviewRefresher> refresher;
    EXPECT_NO_THROW(refresher = std::make_unique<PreviewRefresher>(counting, [] { return true; }));
    faults::SwitchAllOff();
    ASSERT_NE(refresher, nullptr);
    refresher->RequestEncoding();
    EXPECT_FALSE(refresher->Busy());
    SixteenColours();
    refresher->Request();
    EXPECT_FALSE(refresher->Busy());
    EXPECT_TRUE(Seen() == expected);
    EXPECT_EQ(counting.encodings, 2);
    EXPECT_EQ(counting.idle, 2);
    refresher.reset();
    Reset();
  }
}

}  // namespace
