#pragma once
// A fresh folder for one test, removed with everything in it when the test ends.
#include <filesystem>
#include <random>
#include <string>

class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    do {
      path_ = base / ("vexhost-test-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(path_));
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // A path inside the folder, as UTF-8 text.
  std::string File(const std::string& name) const { return (path_ / std::filesystem::u8path(name)).u8string(); }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};
