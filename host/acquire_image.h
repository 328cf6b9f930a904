#pragma once
// Fetches the whole image from the host into WholeImage.
void WholePicture();
