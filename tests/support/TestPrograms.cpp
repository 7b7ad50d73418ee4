#include "tests/support/TestPrograms.h"

#include <filesystem>
#include <stdexcept>
#include <thread>

#include "platform/BinaryFile.h"
#include "platform/FileOperations.h"
#include "platform/ProgramLocation.h"

namespace testing_support {

std::string testChildProgram() { return ZR_TEST_CHILD_PATH; }
std::string fakeAdbProgram() { return ZR_FAKE_ADB_PATH; }
std::string helperProgram() { return ZR_HELPER_PATH; }
std::string demoFolder() { return platform::joinPath(ZR_SOURCE_DIR, "demo"); }

std::string installProgram(const std::string& program, const std::string& folder, const std::string& baseName) {
  if (!platform::createFolders(folder)) throw std::runtime_error("cannot create " + folder);
  const std::string target = platform::joinPath(folder, baseName + platform::ExecutableSuffix());
  writeBytes(target, readBytes(program));
  std::filesystem::permissions(std::filesystem::u8path(target), std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
  return target;
}

std::string readBytes(const std::string& path) {
  const platform::BinaryFile in = platform::openBinaryFile(path, platform::BinaryFileMode::kRead);
  std::string bytes;
  if (!in) return bytes;
  char buffer[65536];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, in.get())) > 0) bytes.append(buffer, got);
  return bytes;
}

void writeBytes(const std::string& path, const std::string& bytes) {
  const std::string folder = platform::parentFolder(path);
  if (!folder.empty()) platform::createFolders(folder);
  platform::BinaryFile out = platform::openBinaryFile(path, platform::BinaryFileMode::kReplace);
  if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out.get()) != bytes.size() ||
      std::fclose(out.release()) != 0) {
    throw std::runtime_error("cannot write " + path);
  }
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

}  // namespace testing_support
