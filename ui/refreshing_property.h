#pragma once
// The window property the preview dialog has while a refresh of its preview runs or waits, for whoever drives or
// watches the dialog from outside (the test host's UI scripts, the tests).
inline constexpr wchar_t kRefreshingProperty[] = L"Vexlorin refreshing";
