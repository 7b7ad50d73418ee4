#include "tests/support/LiteralCarver.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "engine/ColumnWalk.h"
#include "engine/FreeblockCarver.h"
#include "engine/RecoveredText.h"
#include "engine/SqliteQuery.h"
#include "engine/UnassignedAreaCarver.h"
#include "engine/WorkBuffer.h"
#include "platform/FileOperations.h"
#include "tests/support/TestDatabase.h"

using namespace engine;

namespace testing_support {

namespace {

struct Image {
  std::vector<std::uint8_t> bytes;
  std::uint64_t pageSize = 0;

  std::uint8_t at(std::uint64_t offset) const { return offset < bytes.size() ? bytes[offset] : 0; }
  std::uint32_t u16(std::uint64_t offset) const { return static_cast<std::uint32_t>(at(offset) << 8 | at(offset + 1)); }
  std::uint32_t u32(std::uint64_t offset) const { return u16(offset) << 16 | u16(offset + 2); }
  std::uint64_t pageStart(std::uint64_t page) const { return (page - 1) * pageSize; }
  std::vector<std::uint8_t> range(std::uint64_t offset, std::uint64_t length) const {
    std::vector<std::uint8_t> out(length);
    for (std::uint64_t k = 0; k < length; ++k) out[k] = at(offset + k);
    return out;
  }
};

void walk(const Image& image, std::int64_t page, int depth, std::set<std::int64_t>& visited,
          std::vector<std::uint32_t>& leaves) {
  if (page < 1 || depth > 20 || !visited.insert(page).second) return;
  if (image.pageStart(static_cast<std::uint64_t>(page)) >= image.bytes.size()) return;
  const std::uint64_t start = image.pageStart(static_cast<std::uint64_t>(page));
  const std::uint8_t type = image.at(start);
  if (type == 13) leaves.push_back(static_cast<std::uint32_t>(page));
  if (type != 5) return;
  const std::uint32_t right = image.u32(start + 8);
  if (right != 0) walk(image, right, depth + 1, visited, leaves);
  for (std::uint32_t cell = 0; cell < image.u16(start + 3); ++cell) {
    const std::uint32_t pointer = image.u16(start + 12 + 2 * cell);
    walk(image, image.u32(start + pointer), depth + 1, visited, leaves);
  }
}

template <typename Record>
std::vector<Record> carve(const Image& image, std::int32_t root, const CarveLayout& layout) {
  std::vector<std::uint32_t> leaves;
  std::set<std::int64_t> visited;
  walk(image, root, 1, visited, leaves);
  std::sort(leaves.begin(), leaves.end());

  std::map<std::uint32_t, std::vector<std::uint32_t>> chains;
  for (const std::uint32_t page : leaves) {
    std::vector<std::uint32_t> chain;
    for (std::uint32_t at = image.u16(image.pageStart(page) + 1);
         at != 0 && at < image.pageSize && (chain.empty() || at > chain.back()); at = image.u16(image.pageStart(page) + at)) {
      chain.push_back(at);
    }
    if (!chain.empty()) chains.emplace(page, chain);
  }

  std::vector<Record> records;
  const RecordSink sink = [&](const ColumnWalk& w) {
    if constexpr (std::is_same_v<Record, CarvedContact>) {
      records.push_back(CarvedContactOf(w.field(0), w.field(1)));
    } else {
      records.push_back(CarvedSmsOf(w.field(0), w.field(1), w.field(2)));
    }
  };
  WorkBuffer buffer;
  for (const auto& [page, chain] : chains) {
    for (const std::uint32_t freeblock : chain) {
      const std::uint64_t at = image.pageStart(page) + freeblock;
      const FreeblockContent content = freeblockContent(static_cast<std::uint16_t>(image.u16(at + 2)), image.at(at + 4));
      if (content.length <= 0) continue;
      const auto bytes = image.range(at + content.start, static_cast<std::uint64_t>(content.length));
      buffer.assign(bytes.data(), bytes.size());
      carveFreeblock(buffer, content.length, layout, sink);
    }
  }
  for (const std::uint32_t page : leaves) {
    const std::uint64_t start = image.pageStart(page);
    std::int64_t contentStart = image.u16(start + 5);
    if (contentStart == 0 && image.pageSize == 65536) contentStart = 65536;
    const std::int64_t areaStart = 8 + 2 * static_cast<std::int64_t>(image.u16(start + 3));
    const std::int64_t length = contentStart - areaStart;
    if (length <= 0) continue;
    const auto bytes = image.range(start + static_cast<std::uint64_t>(areaStart), static_cast<std::uint64_t>(length));
    buffer.assign(bytes.data(), bytes.size());
    carveUnassignedArea(buffer, length, layout, sink);
  }
  return records;
}

int position(const std::vector<std::string>& names, const char* name) {
  int found = -1;
  for (std::size_t k = 0; k < names.size(); ++k) {
    if (names[k] == name) found = static_cast<int>(k);
  }
  return found;
}

bool loadImage(const std::string& path, Image& image) {
  image.bytes = readFile(path);
  const std::uint32_t field = image.u16(16);
  image.pageSize = field == 1 ? 65536 : field;
  return image.pageSize >= 512 && image.pageSize <= 65536 && (image.pageSize & (image.pageSize - 1)) == 0;
}

}  // namespace

std::string literalRecover(const std::string& contactsPath, const std::string& smsPath, int kind) {
  const bool sms = kind == 1;
  if (kind != 0 && kind != 1) return "";
  if (!platform::fileExists(contactsPath) || (sms && !platform::fileExists(smsPath))) return "";
  if (!sms && contactsPath.find("contacts2.db") == std::string::npos) return "";
  std::vector<LiveContact> live;
  SqliteConnection contactsDb;
  SqliteConnection smsDb;
  if (!contactsDb.open(contactsPath) || (sms && !smsDb.open(smsPath))) return "";
  if (sms && contactsPath.find("contacts2.db") != std::string::npos) {
    auto rows = queryLiveContacts(contactsDb, "SELECT raw_contact_id, data1 from data ");
    if (!rows) return "";
    live = *rows;
  }
  if (sms && smsPath.find("mmssms.db") == std::string::npos) return "";
  const SqliteConnection& carvedDb = sms ? smsDb : contactsDb;
  const std::string table = sms ? "sms" : "data";
  const auto root = queryRootPage(carvedDb, "SELECT rootpage from sqlite_master where type=\"table\" and name=\"" + table + "\"");
  const auto names = queryColumnNames(carvedDb, "SELECT * from " + table);
  if (!root || !names) return "";
  const int count = static_cast<int>(names->size());
  const CarveLayout layout =
      sms ? CarveLayout::sms(count, position(*names, "address"), position(*names, "person"), position(*names, "body"))
          : CarveLayout::contacts(count, position(*names, "raw_contact_id"), position(*names, "data1"));
  Image image;
  if (!layout.isUsable() || !loadImage(sms ? smsPath : contactsPath, image)) return "";
  if (sms) return formatRecoveredSms(carve<CarvedSms>(image, *root, layout), live);
  return formatRecoveredContacts(carve<CarvedContact>(image, *root, layout));
}

}  // namespace testing_support
