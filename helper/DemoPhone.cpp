#include "helper/DemoPhone.h"

#include "platform/BinaryFile.h"
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
  const platform::BinaryFile in = platform::openBinaryFile(source, platform::BinaryFileMode::kRead);
  if (!in) return Failed(HelperStatus::kFileMissing, "cannot open the demo phone's file " + source);
  platform::BinaryFile out = platform::openBinaryFile(localPath, platform::BinaryFileMode::kReplace);
  if (!out) return Failed(HelperStatus::kLocalFile, "cannot create " + localPath);
  char buffer[65536];
  for (;;) {
    const std::size_t got = std::fread(buffer, 1, sizeof buffer, in.get());
    if (got > 0 && std::fwrite(buffer, 1, got, out.get()) != got) {
      return Failed(HelperStatus::kLocalFile, "cannot write " + localPath);
    }
    if (got < sizeof buffer) break;
  }
  if (std::ferror(in.get())) return Failed(HelperStatus::kFailed, "cannot read the demo phone's file " + source);
  if (std::fclose(out.release()) != 0) return Failed(HelperStatus::kLocalFile, "cannot write " + localPath);
  return Succeeded();
}

StepResult DemoPhone::describeDevice(DeviceFacts& facts) {
  facts.model = "Zephyrloom demo phone";
  facts.androidVersion = "10";
  facts.serial = "ZRDEMO0001";
  return Succeeded();
}

std::string DemoPhone::describeAccess() const { return "the demo phone in " + folder_; }

}  // namespace adbhelper
