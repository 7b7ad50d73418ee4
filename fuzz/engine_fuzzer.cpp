// Fuzz target: arbitrary bytes as a phone's database copy. The input is
// written as both contacts2.db and mmssms.db, then a contacts session and an
// SMS session run on them. Contract: no crash, no hang, no leak.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "engine/SqliteParse.h"

namespace {

std::string makeWorkDir() {
  const std::filesystem::path base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
  const auto dir = base / ("zr-fuzz-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  return dir.string();
}

bool writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string dir = makeWorkDir();
  const std::string contacts = dir + "/contacts2.db";
  const std::string sms = dir + "/mmssms.db";
  if (!writeFile(contacts, data, size) || !writeFile(sms, data, size)) return 0;
  {
    SqliteParse session(contacts, sms);
    session.startParse(eContacts);
    session.get_contacts_mem();
  }
  {
    SqliteParse session(contacts, sms);
    session.startParse(eSms);
    session.get_contacts_mem();
  }
  return 0;
}
