// Fuzz target: arbitrary bytes as a copied database with the side files
// pulled beside it. The input is cut in three: a 4-byte little-endian length
// of the main file, a 4-byte length of the "-wal", the main file, the
// "-wal", and the rest as the "-journal" (lengths past the input are cut
// short). The three are written as contacts2.db and as mmssms.db with their
// side files, and the deep pass runs for contacts and for messages, as text
// and as the rows that whole deleted records are made from (and made of,
// over the live records the same copies give).
// Contract: no crash, no hang, no leak.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "deep/DeepRecovery.h"
#include "phone/PhoneRecords.h"

namespace {

std::string makeWorkDir() {
  const std::filesystem::path base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
  const auto dir = base / ("zr-deep-fuzz-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  return dir.string();
}

void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  if (size == 0) return;  // an absent side file, as most copies come
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
}

std::size_t takeLength(const std::uint8_t*& data, std::size_t& size) {
  if (size < 4) {
    size = 0;
    return 0;
  }
  const std::size_t length = data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::size_t>(data[3]) << 24;
  data += 4;
  size -= 4;
  return length;
}

void writeCopy(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::size_t mainLength = takeLength(data, size);
  std::size_t walLength = takeLength(data, size);
  if (mainLength > size) mainLength = size;
  writeFile(path, data, mainLength);
  data += mainLength;
  size -= mainLength;
  if (walLength > size) walLength = size;
  writeFile(path + "-wal", data, walLength);
  writeFile(path + "-journal", data + walLength, size - walLength);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string dir = makeWorkDir();
  const std::string contacts = dir + "/contacts2.db";
  const std::string sms = dir + "/mmssms.db";
  writeCopy(contacts, data, size);
  writeCopy(sms, data, size);
  deep::RecoverDeep(contacts, sms, eContacts, std::string());
  deep::RecoverDeep(contacts, sms, eSms, "N/A\tN/A\tN/A\r\n");
  phone::PhoneRecords records;
  records.ReadContacts(contacts);
  records.ReadSms(sms);
  records.ImportDeletedContacts(deep::RecoverDeepContactRows(contacts), nullptr);
  records.ImportDeletedMessages(deep::RecoverDeepMessageRows(sms, {"N/A"}), nullptr);
  return 0;
}
