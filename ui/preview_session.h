#pragma once
// The opening and closing steps of the preview dialog, shared by the Win32 dialog and the native stand-in so
// that the two cannot drift apart.
#include <cstdint>

// Opening, first step: dialogUp is set and the size line goes to `statusLine`, for `owner`, from now on.
void BeginPreviewSession(void (*statusLine)(void* owner, const char* line), void* owner);
class PreviewRefresher;

// Opening, last step: the first encoding of the image the save has already reduced starts on the refresher.
void StartFirstEncoding(PreviewRefresher& refresher);
// A refresh's encoding has ended: the size line shows its size.
void ShowEncodedSize(int32_t size);

// The dialog's outer rectangle as it closes, in screen pixels.
struct PreviewWindowRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
};
// Closing, by either button: the colour map is let go, the rectangle goes into SaveOptions, the options are
// written to the settings file, dialogUp is cleared and nothing shows the size line any more.
void EndPreviewSession(const PreviewWindowRect& window);
