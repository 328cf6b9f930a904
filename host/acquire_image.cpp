#include "host/acquire_image.h"

#include "host/host_call.h"
#include "reduce/whole_image.h"

// Placeholder until image acquisition lands: takes the image's size and mode, fetches no pixels.
void WholePicture() {
  FreeWholeImagePixels();
  WholeImage._WholeWidth = ImageColumns();
  WholeImage._WholeHeight = ImageRows();
  WholeImage._WholePlanesIn = HostCall.format->planes;
  WholeImage._WholeMode = HostCall.format->imageMode == kModeCMYK ? kModeRGB : HostCall.format->imageMode;
  WholeImage.rowStride = WholeImage._WholeWidth * WholeImage._WholePlanesIn;
  WholeImage.MinAlpha = 500;
}
