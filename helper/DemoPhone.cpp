#include "helper/DemoPhone.h"

#include <fstream>

#include "platform/FileOperations.h"

namespace adbhelper {

DemoPhone::DemoPhone(std::string folder) : folder_(std::move(folder)) {}

std::string DemoPhone::localPathOf(const std::string& phonePath) const {
  std::string path = folder_;
  std::size_t start = 0;
  while (start < phonePath.size()) {
    std::size_t end = phonePath.find('/', start);
    if (end == std::string::npos) end = phonePath.size();
    if (end > start) path = platform::joinPath(path, phonePath.substr(start, end - start));
    start = end + 1;
  }
  return path;
}

StepResult DemoPhone::connect(bool) {
  if (!platform::isDirectory(folder_)) {
    return Failed(HelperStatus::kNoDevice, "the demo phone's folder " + folder_ + " is missing");
  }
  return Succeeded();
}

StepResult DemoPhone::statFile(const std::string& phonePath, std::uint64_t& size) {
  const std::string local = localPathOf(phonePath);
  const std::optional<std::uint64_t> found = platform::regularFileSize(local);
  if (!found) {
    return Failed(HelperStatus::kFileMissing, "the demo phone has no file " + phonePath + " (looked for " + local + ")");
  }
  size = *found;
  return Succeeded();
}

StepResult DemoPhone::readFile(const std::string& phonePath, const std::string& localPath) {
  const std::string source = localPathOf(phonePath);
  std::ifstream in(source, std::ios::binary);
  if (!in) return Failed(HelperStatus::kFileMissing, "cannot open the demo phone's file " + source);
  std::ofstream out(localPath, std::ios::binary | std::ios::trunc);
  if (!out) return Failed(HelperStatus::kLocalFile, "cannot create " + localPath);
  char buffer[65536];
  while (in) {
    in.read(buffer, sizeof buffer);
    const std::streamsize got = in.gcount();
    if (got > 0 && !out.write(buffer, got)) return Failed(HelperStatus::kLocalFile, "cannot write " + localPath);
  }
  if (in.bad()) return Failed(HelperStatus::kFailed, "cannot read the demo phone's file " + source);
  out.close();
  if (!out) return Failed(HelperStatus::kLocalFile, "cannot write " + localPath);
  return Succeeded();
}

std::string DemoPhone::describeAccess() const { return "the demo phone in " + folder_; }

}  // namespace adbhelper
