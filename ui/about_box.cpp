#include "ui/about_box.h"

// Placeholder until the About box lands: the about call shows nothing.
void DoAbout() {}
