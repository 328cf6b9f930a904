#pragma once
// The palette a reduction run of the Palette type matches against: the gray ramp for a gray image, the built
// (or newly built) median-cut palette for an RGB image, brought to the colour count asked for.
#include <functional>

#include "records/color_map.h"
#include "records/palette.h"
#include "records/save_options.h"
#include "records/whole_image.h"
#include "reduce/filter_settings.h"
#include "reduce/reduce_status.h"

// Prepares the palette and its colour map where the settings ask for one (the map is replaced when the palette
// is built anew) and calls paletteReady (when given) once it is; `match` then says what an RGB image's pixels
// are matched against. keepGoing is asked during a long build: Aborted, with no map, once it answers false.
[[nodiscard]] ReduceStatus PreparePalette(const WholeImageRecord& image, const SaveOptionsRecord& options,
                                          const FilterSettings& settings, PaletteRecord& palette,
                                          ColorMapTable& colorMap, const std::function<bool()>& keepGoing,
                                          void (*paletteReady)(), PaletteMatch& match);
