#pragma once
// Reduces WholeImage into ReducedImage for the current SaveOptions.
void DoFilter();
