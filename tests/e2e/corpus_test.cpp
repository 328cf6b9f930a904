// PNG files made by others (libpng's contrib/pngsuite and contrib/testpngs) saved through vexhost as each PNG
// type, with the default options, without the alpha channel, and over a fill colour. Each output is decoded
// and compared with what the reduction and the writer must make of the 8-bit image the plug-in works from:
// the image vexhost hands over, each sample of a 16-bit document brought to 8 bits.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "png/png_writer.h"
#include "records/palette.h"
#include "records/sample_depth.h"
#include "testhost/host_image.h"
#include "testhost/image_io.h"
#include "testhost/tests/temp_folder.h"
#include "tests/e2e/png_readback.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using Order = std::vector<std::string>;

// Fill colour 0x3C7AD2: red 210, green 122, blue 60, so every channel of the compositing shows.
constexpr int32_t kFill = 0x3C7AD2;

struct Variant {
  const char* name;
  std::vector<std::string> params;
  bool alphaChannel;
  bool useKeyColor;
  int32_t fillColor;
};

const std::vector<Variant>& Variants() {
  static const std::vector<Variant> variants = {
      {"defaults", {}, true, true, 0},
      {"UAlC=0", {"UAlC=0"}, false, true, 0},
      {"UAlC=0 UCCl=0 FlCl", {"UAlC=0", "UCCl=0", "FlCl=" + std::to_string(kFill)}, false, false, kFill},
  };
  return variants;
}

const char* const kTypeNames[3] = {"Grayscale", "Palette", "RGB"};

// Starts vexhost in `folder` with stdout and stderr going to folder/vexhost.out; its process id, or -1.
pid_t StartVexhost(const std::string& folder, const std::vector<std::string>& args) {
  std::vector<std::string> argv = {VEX_VEXHOST_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (std::string& arg : argv) pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  const std::string outPath = folder + "/vexhost.out";
  const pid_t child = fork();
  if (child == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || chdir(folder.c_str()) != 0) _exit(126);
    dup2(out, 1);
    dup2(out, 2);
    execv(pointers[0], pointers.data());
    _exit(127);
  }
  return child;
}

// The exit code of a started vexhost, or -1.
int WaitForVexhost(pid_t child) {
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HasAlphaPlane(const HostImage& image) { return image.planes != 1 && image.planes != 3; }

// The 8-bit sample the plug-in works from: the host's own at depth 8, made 8-bit from the host's range at 16.
int EightBitAt(const HostImage& image, int plane, int32_t x, int32_t y) {
  const uint16_t sample = SampleAt(image, plane, x, y);
  return image.depth == 16 ? EightBitSample(sample) : sample;
}

int32_t Red(int32_t color) { return color & 0xFF; }
int32_t Green(int32_t color) { return (color >> 8) & 0xFF; }
int32_t Blue(int32_t color) { return (color >> 16) & 0xFF; }

// The rows the Grayscale or RGB type must hold, from the host's image and the options.
Bytes ExpectedRows(const HostImage& in, int type, const Variant& v) {
  const bool alphaMode = HasAlphaPlane(in) && v.alphaChannel;
  const int fillGray = readback::FillGray(v.fillColor);
  Bytes rows;
  for (int32_t y = 0; y < in.height; ++y) {
    for (int32_t x = 0; x < in.width; ++x) {
      auto sample = [&](int plane) { return EightBitAt(in, plane, x, y); };
      auto put = [&](int value) { rows.push_back(static_cast<uint8_t>(value)); };
      if (in.mode == 3) {
        const int r = sample(0);
        const int g = sample(1);
        const int b = sample(2);
        const int a = in.planes == 4 ? sample(3) : 255;
        if (type == 2) {
          if (in.planes == 4 && !v.alphaChannel) {
            put(readback::Composite(r, a, Red(v.fillColor)));
            put(readback::Composite(g, a, Green(v.fillColor)));
            put(readback::Composite(b, a, Blue(v.fillColor)));
          } else {
            put(r), put(g), put(b);
            if (alphaMode) put(a);
          }
        } else {
          const int gray = readback::Gray(r, g, b);
          if (in.planes == 4 && !v.alphaChannel) {
            put(readback::GrayOverFill(gray, a, fillGray));
          } else {
            put(gray);
            if (alphaMode) put(a);
          }
        }
      } else if (in.mode == 2) {
        const int index = sample(0);
        // The transparent index is transparency that the file does not keep: it becomes the fill colour.
        const bool clear = index == in.transparentIndex && !alphaMode;
        if (type == 2 && clear) {
          put(Red(v.fillColor)), put(Green(v.fillColor)), put(Blue(v.fillColor));
        } else if (type == 2) {
          put(in.red[index]), put(in.green[index]), put(in.blue[index]);
        } else if (clear) {
          put(fillGray);
        } else {
          put(readback::Gray(in.red[index], in.green[index], in.blue[index]));
        }
      } else {
        const int gray = sample(0);
        const int a = in.planes == 2 ? sample(1) : 255;
        const int value = in.planes == 2 && !alphaMode ? readback::GrayOverSingleFill(gray, a, fillGray) : gray;
        for (int i = 0; i < (type == 2 ? 3 : 1); ++i) put(value);
        if (alphaMode) put(a);
      }
    }
  }
  return rows;
}

// Indices of a gray image saved as Palette: the gray ramp, transparency composited over FillGray.
Bytes ExpectedGrayIndices(const HostImage& in, const Variant& v) {
  Bytes indices;
  const int fillGray = readback::FillGray(v.fillColor);
  for (int32_t y = 0; y < in.height; ++y) {
    for (int32_t x = 0; x < in.width; ++x) {
      const int a = in.planes == 2 ? EightBitAt(in, 1, x, y) : 255;
      indices.push_back(static_cast<uint8_t>(readback::GrayOverFill(EightBitAt(in, 0, x, y), a, fillGray)));
    }
  }
  return indices;
}

// Distinct colours the palette builder counts: alpha-0 pixels left out, composited when neither option keeps
// transparency. 0 when the image is too large to be sampled whole.
size_t DistinctPaletteColours(const HostImage& in, const Variant& v) {
  if (in.width > 500 || in.height > 500) return 0;
  const bool composite = in.planes > 3 && !v.alphaChannel && !v.useKeyColor;
  std::unordered_set<uint32_t> colours;
  for (int32_t y = 0; y < in.height; ++y) {
    for (int32_t x = 0; x < in.width; ++x) {
      int r = EightBitAt(in, 0, x, y);
      int g = EightBitAt(in, 1, x, y);
      int b = EightBitAt(in, 2, x, y);
      int a = in.planes > 3 ? EightBitAt(in, 3, x, y) : 255;
      if (composite) {
        r = readback::Composite(r, a, Red(v.fillColor));
        g = readback::Composite(g, a, Green(v.fillColor));
        b = readback::Composite(b, a, Blue(v.fillColor));
        a = 255;
      }
      if (a == 0) continue;
      colours.insert(static_cast<uint32_t>(r) << 24 | static_cast<uint32_t>(g) << 16 | static_cast<uint32_t>(b) << 8 |
                     static_cast<uint32_t>(a));
    }
  }
  return colours.size();
}

// The first place two byte strings differ, for a readable report.
std::string FirstDifference(const Bytes& actual, const Bytes& expected, int channels, uint32_t width) {
  if (actual.size() != expected.size()) {
    return "size " + std::to_string(actual.size()) + ", expected " + std::to_string(expected.size());
  }
  for (size_t i = 0; i < actual.size(); ++i) {
    if (actual[i] == expected[i]) continue;
    const size_t pixel = i / static_cast<size_t>(channels);
    return "pixel (" + std::to_string(pixel % width) + ", " + std::to_string(pixel / width) + ") sample " +
           std::to_string(i % static_cast<size_t>(channels)) + " is " + std::to_string(actual[i]) + ", expected " +
           std::to_string(expected[i]);
  }
  return "";
}

std::string SizeLine(const std::string& output) {
  const std::string marker = "File Size (Original/Compressed): ";
  const size_t at = output.find(marker);
  if (at == std::string::npos) return "";
  const size_t end = output.find_first_of("\r\n", at);
  return output.substr(at + marker.size(), end == std::string::npos ? std::string::npos : end - at - marker.size());
}

class CorpusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousFolder_ = fs::current_path();
    // The writer used for the byte comparison logs into the working folder: keep that inside the test's folder.
    fs::current_path(folder_.Path());
  }
  void TearDown() override { fs::current_path(previousFolder_); }

  void Problem(const std::string& what) {
    ++problemCount_;
    if (problems_.size() < 40) problems_.push_back(what);
  }

  // Every readable PNG under `relative` (contrib/pngsuite or contrib/testpngs), each saved nine ways.
  void RunFolder(const std::string& relative) {
    const fs::path root = fs::path(VEX_LIBPNG_SOURCE_DIR) / "contrib" / relative;
    ASSERT_TRUE(fs::is_directory(root)) << root;
    ASSERT_TRUE(fs::is_regular_file(VEX_VEXHOST_PATH)) << VEX_VEXHOST_PATH;
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      if (entry.is_regular_file() && entry.path().extension() == ".png") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::map<std::string, std::pair<int, int>> counts;  // folder: ran, skipped
    for (const fs::path& file : files) {
      const std::string folderName = fs::relative(file.parent_path(), root.parent_path()).string();
      std::pair<int, int>& count = counts[folderName];
      std::string error;
      // The suite's x*.png files are broken on purpose; anything else vexhost cannot read is skipped too.
      const std::optional<HostImage> image =
          file.filename().string()[0] == 'x' ? std::nullopt : ReadImageFile(file.string(), &error);
      if (!image) {
        ++count.second;
        continue;
      }
      ++count.first;
      SaveEveryWay(file, folderName + "/" + file.filename().string(), *image);
    }
    int ran = 0;
    int skipped = 0;
    for (const auto& [name, count] : counts) {
      std::printf("%-22s %3d ran, %3d skipped\n", name.c_str(), count.first, count.second);
      ran += count.first;
      skipped += count.second;
    }
    std::printf("%-22s %3d ran, %3d skipped, %d saves\n", (relative + " in all").c_str(), ran, skipped, saves_);
    EXPECT_GT(ran, 0);
    for (const std::string& problem : problems_) ADD_FAILURE() << problem;
    EXPECT_EQ(problemCount_, 0) << "problems in all (the first 40 are listed)";
  }

  // The nine saves of one file run side by side, each in a folder of its own, so that the settings file one
  // save writes cannot reach another; then each output is checked.
  void SaveEveryWay(const fs::path& input, const std::string& label, const HostImage& image) {
    struct Save {
      int type;
      const Variant* variant;
      fs::path folder;
      pid_t process;
    };
    std::vector<Save> saves;
    for (int type = 0; type < 3; ++type) {
      for (const Variant& variant : Variants()) {
        const fs::path runFolder = folder_.Path() / ("run" + std::to_string(++saves_));
        fs::create_directory(runFolder);
        std::vector<std::string> args = {
            "--plugin", (runFolder / "Vexlorin.8bi").string(), "save", input.string(), (runFolder / "out.png").string(),
            "--param",  "Type=" + std::to_string(type)};
        for (const std::string& param : variant.params) args.insert(args.end(), {"--param", param});
        saves.push_back(Save{type, &variant, runFolder, StartVexhost(runFolder.string(), args)});
      }
    }
    std::vector<std::string> outputs;
    for (const Save& save : saves) {
      const int exitCode = WaitForVexhost(save.process);
      const std::string runLabel = label + " as " + kTypeNames[save.type] + ", " + save.variant->name + ": ";
      const Bytes printed = readback::FileBytes((save.folder / "vexhost.out").string());
      const std::string said(printed.begin(), printed.end());
      if (exitCode != 0) {
        Problem(runLabel + "vexhost exited " + std::to_string(exitCode) + ": " + said);
        continue;
      }
      const std::string output = (save.folder / "out.png").string();
      CheckOutput(runLabel, image, save.type, *save.variant, output, said);
      outputs.push_back(output);
    }
    const std::string complaints = readback::PngcheckComplaints(outputs);
    if (!complaints.empty()) Problem(label + ": pngcheck: " + complaints);
    for (const Save& save : saves) fs::remove_all(save.folder);
  }

  void CheckOutput(const std::string& runLabel, const HostImage& in, int type, const Variant& v,
                   const std::string& output, const std::string& said) {
    const Bytes bytes = readback::FileBytes(output);
    const readback::ChunkList list = readback::ChunksOf(bytes);
    if (!list.problem.empty()) return Problem(runLabel + list.problem);
    const bool alphaPlane = HasAlphaPlane(in);
    const bool alphaMode = alphaPlane && v.alphaChannel;
    // The host's transparent index of an indexed image is kept in a Palette file whatever the options say.
    const bool transparentIndex = in.mode == 2 && in.transparentIndex >= 0 && in.transparentIndex <= 255;
    const bool transparency = type == 1 && ((alphaPlane && (v.alphaChannel || v.useKeyColor)) || transparentIndex);

    // Header and chunks.
    const readback::Header header = readback::HeaderOf(list.chunks);
    const int colorType = type == 1 ? 3 : (type == 2 ? 2 : 0) + (alphaMode ? 4 : 0);
    if (header.width != static_cast<uint32_t>(in.width) || header.height != static_cast<uint32_t>(in.height) ||
        header.bitDepth != 8 || header.colorType != colorType || header.compression != 0 || header.filter != 0 ||
        header.interlace != 0) {
      Problem(runLabel + "header " + std::to_string(header.width) + "x" + std::to_string(header.height) + " depth " +
              std::to_string(header.bitDepth) + " colour type " + std::to_string(header.colorType) + " interlace " +
              std::to_string(header.interlace) + ", expected colour type " + std::to_string(colorType));
    }
    Order expectedOrder = {"IHDR", "bKGD", "IDAT", "IEND"};
    if (type == 1) {
      expectedOrder.insert(expectedOrder.begin() + 1, "PLTE");
      if (transparency) expectedOrder.insert(expectedOrder.begin() + 2, "tRNS");
    }
    const Order order = readback::ChunkOrder(list.chunks);
    if (order != expectedOrder) {
      std::string text;
      for (const std::string& chunk : order) text += chunk + " ";
      Problem(runLabel + "chunks " + text);
    }
    const Bytes* background = readback::FindChunk(list.chunks, "bKGD");
    const int32_t fill = v.fillColor;
    const Bytes expectedBackground =
        type == 1   ? Bytes{0}
        : type == 2 ? Bytes{0, static_cast<uint8_t>(Red(fill)), 0, static_cast<uint8_t>(Green(fill)),
                            0, static_cast<uint8_t>(Blue(fill))}
                    : Bytes{0, static_cast<uint8_t>((Red(fill) + Green(fill) + Blue(fill)) / 3)};
    if (background == nullptr || *background != expectedBackground) Problem(runLabel + "bKGD differs");

    // The size line: the acquired image's bytes (2 a sample in a 16-bit document), then exactly the length of
    // the file the host received.
    const int64_t originalBytes = static_cast<int64_t>(in.planes) * in.width * in.height * SampleBytes(in);
    const std::string expectedLine =
        readback::SizeText(originalBytes) + " / " + readback::SizeText(static_cast<int64_t>(bytes.size()));
    if (SizeLine(said) != expectedLine) {
      Problem(runLabel + "size line '" + SizeLine(said) + "', expected '" + expectedLine + "'");
    }

    // Pixels.
    const readback::Decoded decoded = readback::Decode(output);
    if (!decoded.error.empty()) return Problem(runLabel + "libpng could not read it: " + decoded.error);
    if (type == 1) {
      CheckPalette(runLabel, in, v, list.chunks, decoded, transparency);
    } else {
      const std::string difference =
          FirstDifference(decoded.pixels, ExpectedRows(in, type, v), decoded.channels, decoded.width);
      if (!difference.empty()) Problem(runLabel + difference);
    }

    // The host's file is byte for byte what the writer makes of these rows and chunks.
    PaletteRecord palette;
    palette.count = static_cast<int32_t>(decoded.colormap.size() / 4);
    for (int32_t i = 0; i < palette.count && i < 256; ++i) {
      const uint8_t* entry = &decoded.colormap[static_cast<size_t>(i) * 4];
      palette.entries[i] = PaletteEntry{entry[0], entry[1], entry[2], entry[3], 0};
    }
    PngWriteJob job;
    job.pixels = decoded.pixels.data();
    job.rowBytes = static_cast<int32_t>(decoded.width) * decoded.channels;
    job.width = static_cast<int32_t>(decoded.width);
    job.height = static_cast<int32_t>(decoded.height);
    job.pngType = type;
    job.hasAlphaPlane = alphaPlane;
    job.alphaChannel = v.alphaChannel;
    job.paletteAlpha =
        readback::FindChunk(list.chunks, "tRNS") != nullptr ? PaletteAlpha::kEntryAlpha : PaletteAlpha::kOpaque;
    job.fillColor = v.fillColor;
    job.palette = &palette;
    const std::string again = output + ".again";
    FILE* file = std::fopen(again.c_str(), "wb");
    if (file == nullptr) return Problem(runLabel + "cannot write " + again);
    const int32_t size = WritePng(file, job).size;
    std::fclose(file);
    if (size <= 0 || readback::FileBytes(again) != bytes) Problem(runLabel + "not byte-identical to a fresh encoding");
    fs::remove(again);
  }

  void CheckPalette(const std::string& runLabel, const HostImage& in, const Variant& v,
                    const std::vector<readback::Chunk>& chunks, const readback::Decoded& decoded, bool transparency) {
    const Bytes* plte = readback::FindChunk(chunks, "PLTE");
    const Bytes* trns = readback::FindChunk(chunks, "tRNS");
    if (plte == nullptr || plte->size() % 3 != 0) return Problem(runLabel + "no usable PLTE");
    const size_t count = plte->size() / 3;
    if (transparency && (trns == nullptr || trns->size() != count)) {
      Problem(runLabel + "tRNS does not hold one alpha per palette entry");
    }
    if (in.mode == 2) {
      // Indexed: the host's 256-entry colour table and the indices pass through.
      Bytes table;
      for (int i = 0; i < 256; ++i) table.insert(table.end(), {in.red[i], in.green[i], in.blue[i]});
      if (*plte != table) Problem(runLabel + "PLTE is not the host's colour table");
      const std::string difference = FirstDifference(decoded.pixels, in.planar, 1, decoded.width);
      if (!difference.empty()) Problem(runLabel + "indices: " + difference);
      return;
    }
    if (in.mode == 1) {
      // Gray: the 256-step ramp, fully opaque, and the gray value (over FillGray) as the index.
      Bytes ramp;
      for (int i = 0; i < 256; ++i) ramp.insert(ramp.end(), {uint8_t(i), uint8_t(i), uint8_t(i)});
      if (*plte != ramp) Problem(runLabel + "PLTE is not the gray ramp");
      if (transparency && trns != nullptr && *trns != Bytes(256, 255)) Problem(runLabel + "ramp is not opaque");
      const std::string difference = FirstDifference(decoded.pixels, ExpectedGrayIndices(in, v), 1, decoded.width);
      if (!difference.empty()) Problem(runLabel + "indices: " + difference);
      return;
    }
    // RGB: a built palette of as many colours as the image has, at most the 256 asked for.
    const size_t distinct = DistinctPaletteColours(in, v);
    if (distinct > 0 && distinct <= 32767) {
      if (count != std::min<size_t>(distinct, 256)) {
        Problem(runLabel + "palette of " + std::to_string(count) + " for " + std::to_string(distinct) + " colours");
      }
    } else if (count < 1 || count > 256) {
      Problem(runLabel + "palette of " + std::to_string(count));
    }
    if (transparency && trns != nullptr && !trns->empty() && trns->back() != 0) {
      Problem(runLabel + "last palette entry is not the transparent one");
    }
    for (size_t i = 0; i < decoded.pixels.size(); ++i) {
      if (decoded.pixels[i] >= count) {
        return Problem(runLabel + "index " + std::to_string(decoded.pixels[i]) + " at " + std::to_string(i) +
                       " beyond the palette of " + std::to_string(count));
      }
    }
  }

  TempFolder folder_;
  fs::path previousFolder_;
  std::vector<std::string> problems_;
  int problemCount_ = 0;
  int saves_ = 0;
};

TEST_F(CorpusTest, PngSuiteSavesExactlyAsEveryType) { RunFolder("pngsuite"); }

TEST_F(CorpusTest, TestPngsSaveExactlyAsEveryType) { RunFolder("testpngs"); }

}  // namespace
