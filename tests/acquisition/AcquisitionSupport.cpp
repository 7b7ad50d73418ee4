#include "tests/acquisition/AcquisitionSupport.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include "platform/FileOperations.h"
#include "platform/ProgramLocation.h"

namespace acquisition_testing {

std::string testChildProgram() { return ZR_TEST_CHILD_PATH; }
std::string fakeAdbProgram() { return ZR_FAKE_ADB_PATH; }
std::string helperProgram() { return ZR_HELPER_PATH; }
std::string demoFolder() { return platform::joinPath(ZR_SOURCE_DIR, "demo"); }

std::string installProgram(const std::string& program, const std::string& folder, const std::string& baseName) {
  if (!platform::createFolders(folder)) throw std::runtime_error("cannot create " + folder);
  const std::string target = platform::joinPath(folder, baseName + platform::ExecutableSuffix());
  writeBytes(target, readBytes(program));
  std::filesystem::permissions(target, std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
  return target;
}

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::string& bytes) {
  const std::string folder = platform::parentFolder(path);
  if (!folder.empty()) platform::createFolders(folder);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string binaryBytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t index = 0; index < size; ++index) bytes[index] = static_cast<char>((index * 7 + 13) % 256);
  if (size >= 4) bytes.replace(0, 4, "\r\n\x1A\n");
  return bytes;
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return condition();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace acquisition_testing
