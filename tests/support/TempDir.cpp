#include "tests/support/TempDir.h"

#include <filesystem>
#include <random>
#include <stdexcept>

namespace testing_support {

TempDir::TempDir() {
  std::random_device entropy;
  const auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto candidate = base / ("zr-test-" + std::to_string(entropy()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate.u8string();  // narrow paths are UTF-8
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::u8path(path_), ignored);
}

}  // namespace testing_support
