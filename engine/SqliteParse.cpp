#include "engine/SqliteParse.h"

#include <algorithm>

#include "engine/BtreePage.h"
#include "engine/ColumnWalk.h"
#include "engine/FreeblockCarver.h"
#include "engine/PrivateWorkingCopy.h"
#include "engine/RecoveredText.h"
#include "engine/UnassignedAreaCarver.h"
#include "platform/FileOperations.h"

using engine::CarvedContact;
using engine::CarvedSms;
using engine::CarveLayout;
using engine::ColumnWalk;
using engine::RecordSink;

namespace {

constexpr const char* kContactsFileName = "contacts2.db";
constexpr const char* kSmsFileName = "mmssms.db";

// Plain constants, no static constructors: another program may run sessions
// through the executable's exported class, where no start-up code runs.
constexpr const char* kContactsRootPageSql = "SELECT rootpage from sqlite_master where type=\"table\" and name=\"data\"";
constexpr const char* kSmsRootPageSql = "SELECT rootpage from sqlite_master where type=\"table\" and name=\"sms\"";
constexpr const char* kContactsColumnsSql = "SELECT * from data";
constexpr const char* kSmsColumnsSql = "SELECT * from sms";
constexpr const char* kLiveContactsSql = "SELECT raw_contact_id, data1 from data ";

// Deeper trees than SQLite itself can read are not descended into.
constexpr int kMaxTreeDepth = 20;
// The leaf pages carved together are read in runs of about this many bytes.
constexpr std::uint64_t kLeafRunBytes = 1u << 20;
// Sibling pages further apart than this are not read in one run.
constexpr std::int64_t kMaxSiblingGap = 8;
// Interior cells the walk reads beyond four per page of the file: far more
// than any real tree has, few enough to bound a crafted one.
constexpr std::uint64_t kSpareInteriorCells = 1u << 22;

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

int positionOf(const std::vector<std::string>& names, const char* name) {
  int position = -1;
  for (std::size_t column = 0; column < names.size(); ++column) {
    if (names[column] == name) position = static_cast<int>(column);
  }
  return position;
}

}  // namespace

SqliteParse::SqliteParse(const std::string& contactsCopy, const std::string& smsCopy)
    : contactsPath(contactsCopy), smsPath(smsCopy) {}

SqliteParse::~SqliteParse() {
  leafPages.clear();
  recoveredContacts.clear();
  recoveredSms.clear();
  for (auto& entry : freelistCells) entry.second.clear();
  freelistCells.clear();
  liveContacts.clear();
  dbStream.close();
}

void SqliteParse::startParse(ePaserType type) {
  if (type == eContacts) {
    if (!InitContacRowsourceFile()) return;
    carveTable(contactsPath,
               CarveLayout::contacts(contactsColumnCount, rawContactIdColumn, data1Column, contactExtraColumns));
    saveContactRecover2File();
  } else if (type == eSms) {
    if (!InitSmsRowsourceFile()) return;
    carveTable(smsPath, CarveLayout::sms(smsColumnCount, addressColumn, personColumn, bodyColumn, smsExtraColumns));
    saveSmsRecover2File();
  }
}

std::string SqliteParse::get_contacts_mem() { return resultText; }

bool SqliteParse::InitContacRowsourceFile() {
  if (!platform::fileExists(contactsPath)) return false;
  if (!contains(contactsPath, kContactsFileName)) return false;
  // SQLite reads a private copy; the carving below reads the input's bytes,
  // which only a regular file (checked by the copy) may give.
  const engine::PrivateWorkingCopy contactsCopy(contactsPath);
  if (!contactsCopy.ready() || !contactsDb.openWorkingCopy(contactsCopy.path())) return false;
  if (const auto root = engine::queryRootPage(contactsDb, kContactsRootPageSql)) rootPage = *root;
  // Column positions come from the prepared statement, so a table whose
  // every row was deleted is carved too.
  if (const auto names = engine::queryColumnNames(contactsDb, kContactsColumnsSql)) {
    contactsColumnCount = static_cast<std::int32_t>(names->size());
    rawContactIdColumn = positionOf(*names, "raw_contact_id");
    data1Column = positionOf(*names, "data1");
    contactExtraColumns = engine::ContactExtraColumns{positionOf(*names, "mimetype_id"), positionOf(*names, "data2"),
                                                      positionOf(*names, "data3"), positionOf(*names, "data4"),
                                                      positionOf(*names, "data5")};
  }
  contactsDb.close();
  return true;
}

bool SqliteParse::InitSmsRowsourceFile() {
  if (!platform::fileExists(contactsPath) || !platform::fileExists(smsPath)) return false;
  const engine::PrivateWorkingCopy contactsCopy(contactsPath);
  const engine::PrivateWorkingCopy smsCopy(smsPath);
  if (!contactsCopy.ready() || !smsCopy.ready() || !contactsDb.openWorkingCopy(contactsCopy.path()) ||
      !smsDb.openWorkingCopy(smsCopy.path())) {
    contactsDb.close();
    smsDb.close();
    return false;
  }
  bool ready = true;
  if (contains(contactsPath, kContactsFileName)) {
    auto rows = engine::queryLiveContacts(contactsDb, kLiveContactsSql);
    if (rows) {
      liveContacts = std::move(*rows);
    } else {
      ready = false;
    }
  }
  if (ready && !contains(smsPath, kSmsFileName)) ready = false;
  if (ready) {
    const auto root = engine::queryRootPage(smsDb, kSmsRootPageSql);
    if (root) rootPage = *root;
    if (const auto names = engine::queryColumnNames(smsDb, kSmsColumnsSql)) {
      smsColumnCount = static_cast<std::int32_t>(names->size());
      addressColumn = positionOf(*names, "address");
      personColumn = positionOf(*names, "person");
      bodyColumn = positionOf(*names, "body");
      smsExtraColumns = engine::SmsExtraColumns{positionOf(*names, "thread_id"), positionOf(*names, "date"),
                                                positionOf(*names, "date_sent"), positionOf(*names, "type"),
                                                positionOf(*names, "read")};
    }
  }
  contactsDb.close();
  smsDb.close();
  return ready;
}

bool SqliteParse::carveTable(const std::string& path, const CarveLayout& layout) {
  // A missing table, root page or column leaves nothing to carve.
  if (!layout.isUsable() || rootPage < 1) return false;
  getDbPageSize(path);
  if (!engine::isSupportedPageSize(pageSize)) return false;
  if (!dbStream.open(path)) return false;
  const std::uint64_t pages = (dbStream.size() + static_cast<std::uint64_t>(pageSize) - 1) /
                              static_cast<std::uint64_t>(pageSize);
  visitedPages.assign(static_cast<std::size_t>(pages), false);
  interiorCellBudget = 4 * pages + kSpareInteriorCells;
  carveLayout = layout;
  carvedRows.reset(layout.wantedCount);
  toFreeblockRows = [this](const ColumnWalk& walk) {
    if (canReachText(walk)) carvedRows.addFreeblockRow(walk);
  };
  toAreaRows = [this](const ColumnWalk& walk) {
    if (canReachText(walk)) carvedRows.addAreaRow(walk);
  };
  loopPage(static_cast<std::int64_t>(rootPage));
  sortLeafPage();
  takeCarvedRows();
  return true;
}

void SqliteParse::getDbPageSize(const std::string& path) {
  engine::DbFile header;
  if (!header.open(path)) return;
  pageSize = engine::decodePageSize(header.u16At(engine::kPageSizeOffset));
}

std::uint64_t SqliteParse::pageOffset(std::uint32_t page) const {
  return (static_cast<std::uint64_t>(page) - 1) * static_cast<std::uint64_t>(pageSize);
}

std::int64_t SqliteParse::getCellPage(std::int64_t offset, std::int64_t page) {
  return dbStream.u32At(pageOffset(static_cast<std::uint32_t>(page)) + static_cast<std::uint64_t>(offset));
}

void SqliteParse::loopPage(std::int64_t page, int depth) {
  if (page < 1 || page > 0xFFFFFFFFll || depth > kMaxTreeDepth) return;
  const auto number = static_cast<std::uint32_t>(page);
  // Pages past the end of the file read as zeros: no type, nothing to walk.
  if (number > visitedPages.size() || visitedPages[number - 1]) return;
  visitedPages[number - 1] = true;
  const std::uint64_t offset = pageOffset(number);
  const std::uint8_t type = dbStream.byteAt(offset + engine::kPageTypeOffset);
  if (type == engine::kLeafTablePage) {
    leafPages.push_back(number);
    carveLeafPage(number);
    return;
  }
  if (type != engine::kInteriorTablePage) return;

  const std::uint16_t cellCount = dbStream.u16At(offset + engine::kCellCountOffset);
  dbStream.keepWindow(offset, std::max<std::size_t>(static_cast<std::size_t>(pageSize),
                                                    engine::kInteriorPointerArray + 2u * cellCount));
  // Children in visit order, right-most first; read before descending so
  // that this page need not be read again.
  std::vector<std::uint32_t> children;
  children.reserve(cellCount + 1u);
  const std::uint32_t rightMost = dbStream.u32At(offset + engine::kRightMostChildOffset);
  if (rightMost != 0) children.push_back(rightMost);
  for (std::uint32_t cell = 0; cell < cellCount && interiorCellBudget > 0; ++cell, --interiorCellBudget) {
    const std::uint16_t pointer = dbStream.u16At(offset + engine::kInteriorPointerArray + 2u * cell);
    children.push_back(static_cast<std::uint32_t>(getCellPage(pointer, page)));
  }
  for (std::size_t index = 0; index < children.size(); ++index) {
    keepChildRunInMemory(children, index);
    loopPage(children[index], depth + 1);
  }
}

void SqliteParse::sortLeafPage() { std::sort(leafPages.begin(), leafPages.end()); }

void SqliteParse::keepChildRunInMemory(const std::vector<std::uint32_t>& children, std::size_t index) {
  const std::int64_t first = children[index];
  const auto pageCount = static_cast<std::int64_t>(visitedPages.size());
  const auto size = static_cast<std::uint64_t>(pageSize);
  if (first < 1 || first > pageCount || dbStream.holds(pageOffset(static_cast<std::uint32_t>(first)), size)) return;
  // Siblings usually lie side by side: read the run of them that follows in
  // one go, as long as it stays dense and within the run size.
  const auto runPages = static_cast<std::int64_t>(std::max<std::uint64_t>(1, kLeafRunBytes / size));
  std::int64_t low = first;
  std::int64_t high = first;
  for (std::size_t next = index + 1; next < children.size(); ++next) {
    const std::int64_t child = children[next];
    if (child < low - kMaxSiblingGap || child > high + kMaxSiblingGap) break;
    const std::int64_t newLow = std::min(low, child);
    const std::int64_t newHigh = std::min(std::max(high, child), pageCount);
    if (newHigh - newLow + 1 > runPages) break;
    low = std::max<std::int64_t>(newLow, 1);
    high = newHigh;
  }
  dbStream.keepWindow(pageOffset(static_cast<std::uint32_t>(low)),
                      static_cast<std::size_t>(static_cast<std::uint64_t>(high - low + 1) * size));
}

void SqliteParse::carveLeafPage(std::uint32_t page) {
  carvedRows.beginPage(page);
  loadFreelistCell(page);
  parseFreelistCells(page);
  parseUnassignedArea(page);
}

void SqliteParse::loadFreelistCell(std::uint32_t page) {
  const std::uint64_t offset = pageOffset(page);
  std::uint32_t freeblock = dbStream.u16At(offset + engine::kFirstFreeblockOffset);
  std::vector<std::uint32_t> chain;
  // A sound chain runs in ascending offsets inside the page; anything else
  // ends it, so a looping chain cannot hang the session.
  while (freeblock != 0 && freeblock < static_cast<std::uint32_t>(pageSize) &&
         (chain.empty() || freeblock > chain.back())) {
    chain.push_back(freeblock);
    freeblock = dbStream.u16At(offset + freeblock);
  }
  if (!chain.empty()) freelistCells.emplace(page, std::move(chain));
}

void SqliteParse::parseFreelistCells(std::uint32_t page) {
  const auto entry = freelistCells.find(page);
  if (entry == freelistCells.end()) return;
  const std::uint64_t offset = pageOffset(page);
  for (const std::uint32_t freeblock : entry->second) {
    const std::uint16_t size = dbStream.u16At(offset + freeblock + engine::kFreeblockSizeOffset);
    const std::uint8_t firstByte = dbStream.byteAt(offset + freeblock + engine::kFreeblockContentOffset);
    const engine::FreeblockContent content = engine::freeblockContent(size, firstByte);
    if (content.length <= 0) continue;
    workBuffer.fill(dbStream, offset + freeblock + content.start, static_cast<std::uint64_t>(content.length));
    engine::carveFreeblock(workBuffer, content.length, carveLayout, toFreeblockRows);
  }
  // The chain is only needed while its page is carved.
  freelistCells.erase(entry);
}

void SqliteParse::parseUnassignedArea(std::uint32_t page) {
  const std::uint64_t offset = pageOffset(page);
  const engine::UnassignedArea area = engine::unassignedArea(
      dbStream.u16At(offset + engine::kCellCountOffset), dbStream.u16At(offset + engine::kCellContentOffset),
      pageSize);
  if (area.length <= 0) return;
  workBuffer.fill(dbStream, offset + area.start, static_cast<std::uint64_t>(area.length));
  engine::carveUnassignedArea(workBuffer, area.length, carveLayout, toAreaRows);
}

void SqliteParse::takeCarvedRows() {
  using engine::StoredValue;
  carvedRows.drainInPageOrder([this](std::string* fields, const std::uint64_t* types) {
    const auto value = [&](std::size_t k) { return StoredValue{types[k], std::move(fields[k])}; };
    if (carveLayout.table == engine::CarvedTable::Contacts) {
      recoveredContacts.push_back(CarvedContact{std::move(fields[0]), std::move(fields[1]), types[0], value(2),
                                                value(3), value(4), value(5), value(6)});
    } else {
      recoveredSms.push_back(CarvedSms{std::move(fields[0]), std::move(fields[1]), std::move(fields[2]), types[1],
                                       value(3), value(4), value(5), value(6), value(7)});
    }
  });
}

bool SqliteParse::canReachText(const ColumnWalk& walk) const {
  // A contact row without data1 takes part in no line; a message with
  // neither address nor body text gets no line and names nobody. Dropping
  // them here keeps a zeroed or junk-filled file from filling memory.
  if (carveLayout.table == engine::CarvedTable::Contacts) return walk.fieldWidth(1) > 0;
  return engine::carriesText(walk.field(0)) || engine::carriesText(walk.field(2));
}

void SqliteParse::saveContactRecover2File() { resultText += engine::formatRecoveredContacts(recoveredContacts); }

void SqliteParse::saveSmsRecover2File() { resultText += engine::formatRecoveredSms(recoveredSms, liveContacts); }
