#include "host/save_pipeline.h"

#include <algorithm>
#include <memory>
#include <new>

#include "base/callouts.h"
#include "base/debug_log.h"
#include "base/progress.h"
#include "host/acquire_image.h"
#include "host/color_picker.h"
#include "host/host_call.h"
#include "host/host_document.h"
#include "host/host_file.h"
#include "host/host_progress.h"
#include "host/script_params.h"
#include "png/png_writer.h"
#include "records/reduced_image.h"
#include "records/save_options.h"
#include "records/save_paths.h"
#include "records/whole_image.h"
#include "reduce/reduce_filter.h"
#include "ui/save_dialog.h"
#include "ui/settings_file.h"
#include "ui/srgb_image.h"

namespace {

// Large enough that a copy costs few calls into the host's file and few progress reports; no part of the file.
constexpr int32_t kCopyBlockBytes = 64 * 1024;
constexpr size_t kTempPathUnits = 2048;       // including the terminator
constexpr size_t kPluginDirBytes = 1024;      // including the terminator
constexpr size_t kPluginFileNameLength = 12;  // "Vexlorin.8bi"
const char16_t kTempSuffix[] = u".temp";

// For the length of one save, what the floors below report reaches the host or the dialog.
class SaveCallouts {
 public:
  SaveCallouts() { Callouts.progress = ReportSaveProgress; }
  ~SaveCallouts() {
    Callouts.progress = nullptr;
    Callouts.pickColor = nullptr;
  }
  SaveCallouts(const SaveCallouts&) = delete;
  SaveCallouts& operator=(const SaveCallouts&) = delete;
};

// Whether the host wants the dialog: an action played with its dialog switched off, or a batch, says no (0,
// "display only if needed", which it never is, and 2, silent); 1, or no play information at all, says yes.
bool HostWantsDialog() {
  const PIDescriptorParameters* parameters = HostCall.format->descriptorParameters;
  return parameters == nullptr ||
         (parameters->playInfo != kPlayDialogIfNeeded && parameters->playInfo != kPlayDialogSilent);
}

// What becomes of the temporary PNG: the user saves it or cancels, or the host stops the save.
enum class Decision { Save, Cancel, Abort };

// What OK in an untouched dialog gives, without the dialog: one encoding of the image as reduced. The settings
// file is left as it is.
Decision EncodeWithoutDialog() {
  DebugLog("Save without dialog");
  const PngStatus encoded = CompressPNG().status;
  ReleaseColorMap();  // as the dialog lets go of it when it closes
  // A failed encoding is saved all the same, for the copy to refuse.
  return encoded == PngStatus::Aborted ? Decision::Abort : Decision::Save;
}

// The dialog of this build; a build without one cannot ask, so nothing is saved.
Decision RunSaveDialog() {
  SaveDialog* dialog = InstalledSaveDialog();
  if (dialog == nullptr) return Decision::Cancel;
  Callouts.pickColor = PickColorThroughHost;  // taken out again with the save's other call-outs
  return dialog->DoUI() ? Decision::Save : Decision::Cancel;
}

// Hands the accepted PNG to the host; the temporary file goes away afterwards, whatever the copy did.
HostStatus CopyTemporaryPng() {
  DebugLog("Save file");
  HostStatus copied = HostStatus::WriteFailed;
  // After a failed last encoding the file is not the PNG the user saw.
  if (LastCompressedSize > 0) {
    if (FILE* source = platform::OpenFile(TempPngPath, "rb")) {
      copied = CopyIntoHostFile(source, HostCall.format->dataFork);
      std::fclose(source);
    } else {
      DebugLog("png file open failed");
    }
  }
  platform::DeleteFilePath(TempPngPath);
  return copied;
}

// The save from the reduction on: the dialog, or an action played without it, decides about the PNG, and a PNG
// to save is copied into the host's file. The host's abort during the reduction or the encoding stops it there.
HostStatus ReduceAndHandOver() {
  // Rows that could not be made for another reason are left stale, for the encoding to refuse.
  const bool stopped = DoFilter() == ReduceStatus::Aborted;
  DebugLog("After doFilter before DoUI");
  LastCompressedSize = 0;
  Decision decision = Decision::Abort;
  if (!stopped) decision = HostWantsDialog() ? RunSaveDialog() : EncodeWithoutDialog();
  if (decision == Decision::Save) return CopyTemporaryPng();
  DebugLog(decision == Decision::Abort ? "Save aborted by the host" : "Press cancel");
  platform::DeleteFilePath(TempPngPath);
  return HostStatus::Cancelled;
}

void FreeSaveBuffers() {
  if (ReducedImage.pixels != nullptr) FreeReducedImagePixels();
  if (WholeImage.pixels != nullptr) FreeWholeImagePixels();
  FreeSrgbImagePixels();
  ReleaseHostDocumentInfo();
  HostCall.format->data = nullptr;
  // The whole save happened in this call: an empty request tells a host that loops on write continue
  // that there is nothing more to hand over.
  SetRequestedRect(0, 0, 0, 0);
}

}  // namespace

int32_t EstimateSize(int32_t columns, int32_t rows, int32_t bitsPerChannel, int32_t planes, int32_t imageResourceSize,
                     int16_t imageMode) {
  // Wide arithmetic so a huge image gives the largest estimate rather than a wrapped, negative one.
  const int64_t rowBytes = (static_cast<int64_t>(columns) * bitsPerChannel + 7) / 8;
  int64_t size = rowBytes * planes * rows + imageResourceSize + 36;
  if (imageMode == kModeIndexed) size += 768;
  return static_cast<int32_t>(std::min<int64_t>(size, INT32_MAX));
}

HostStatus CopyIntoHostFile(FILE* source, intptr_t hostFile) {
  const int32_t size = platform::FileSizeOf(source);
  // A file that cannot be measured would otherwise be "copied" as nothing, and the save called a success.
  if (size < 0) return HostStatus::WriteFailed;
  const std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[kCopyBlockBytes]);
  if (block == nullptr) return HostStatus::OutOfMemory;
  // Whole blocks, then the rest in one write; the host hears of each block before it is written, so one that
  // asks to stop gets no more of the file, and what it already had is cut off again: a stopped save leaves
  // the file as it found it.
  const int64_t start = platform::HostFilePosition(hostFile);
  const int32_t blocks = size / kCopyBlockBytes + (size % kCopyBlockBytes != 0 ? 1 : 0);
  for (int32_t i = 0; i < blocks; ++i) {
    if (!Progress(i, blocks)) {
      if (i > 0 && (start < 0 || !platform::HostFileCut(hostFile, start))) DebugLog("Host file not cut back");
      return HostStatus::Cancelled;
    }
    const int32_t wanted = std::min(kCopyBlockBytes, size - i * kCopyBlockBytes);
    if (std::fread(block.get(), 1, static_cast<size_t>(wanted), source) != static_cast<size_t>(wanted)) {
      return HostStatus::WriteFailed;
    }
    int32_t count = wanted;
    if (const HostStatus written = HostFileWrite(hostFile, &count, block.get()); written != HostStatus::Ok) {
      return written;
    }
  }
  return HostStatus::Ok;
}

bool BuildTempPngPath(const uint16_t* destination) {
  if (destination == nullptr) return false;
  platform::WidePath path;
  const size_t room = kTempPathUnits - (sizeof kTempSuffix / sizeof kTempSuffix[0]);  // suffix and terminator
  for (size_t i = 0; destination[i] != 0; ++i) {
    if (i >= room) return false;
    path.push_back(static_cast<char16_t>(destination[i]));
  }
  TempPngPath = path + kTempSuffix;
  return true;
}

bool BuildPluginDir(const platform::WidePath& moduleFileName) {
  if (moduleFileName.size() >= kPluginDirBytes) return false;
  // The plug-in's own file name is cut by its length, whatever the file is called now.
  PluginDir = moduleFileName.substr(0, moduleFileName.size() - std::min(moduleFileName.size(), kPluginFileNameLength));
  return true;
}

void EstimateStart() {
  FormatRecord& format = *HostCall.format;
  const int32_t size =
      EstimateSize(ImageColumns(), ImageRows(), format.depth, format.planes, format.imageRsrcSize, format.imageMode);
  format.minDataBytes = size;
  format.maxDataBytes = size;
  format.data = nullptr;
}

HostStatus FilterFile(HostStatus handedIn) {
  return handedIn == HostStatus::Ok ? HostFileMove(HostCall.format->dataFork, 0) : handedIn;
}

HostStatus WriteStart() {
  FormatRecord& format = *HostCall.format;
  if (const HostStatus moved = HostFileMove(format.dataFork, 0); moved != HostStatus::Ok) return moved;

  const uint16_t* destination = format.fileSpec2 != nullptr ? format.fileSpec2->mReference : nullptr;
  if (!BuildTempPngPath(destination) || !BuildPluginDir(platform::ModuleFileName())) {
    return HostStatus::BadParameters;
  }

  SaveCallouts callouts;
  ResetSaveOptions();
  TakeHostDocumentInfo(format);
  const HostStatus acquired = WholePicture();
  LoadSettings();
  ReadScriptParams();
  // Before anything is reduced: the dialog's preview and every file show the converted colours.
  if (acquired == HostStatus::Ok && SaveOptions.convertToSrgb != 0) PrepareSrgbImage();
  const HostStatus saved = acquired == HostStatus::Ok ? ReduceAndHandOver() : acquired;
  // Also after a failed fetch, which may have left a large image behind: it is of no use to anyone now.
  FreeSaveBuffers();
  return saved;
}
