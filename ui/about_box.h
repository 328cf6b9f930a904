#pragma once
// The about selector: shows the About box owned by the host's window.
void DoAbout();
