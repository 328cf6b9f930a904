#pragma once
// Whole files the host reads for itself: UI scripts, profiles and XMP packets given by hand.
#include <optional>
#include <string>

// The file's bytes; nullopt when it cannot be opened or read to its end.
std::optional<std::string> ReadFileContents(const std::string& utf8Path);
