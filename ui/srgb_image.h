#pragma once
// Convert to sRGB: the document's pixels brought from its profile to sRGB, once, into SrgbImage.

// Makes SrgbImage from WholeImage and the profile the host handed, unless it is there already. False, with no
// SrgbImage, where there is nothing to convert: no profile, an sRGB one, one that does not describe the image's
// colours (an indexed image's colours are its colour table's), or no memory.
bool PrepareSrgbImage();

// Whether the document has a profile that Convert to sRGB would act on, as far as its kind and the image's say.
bool SrgbConversionApplies();
