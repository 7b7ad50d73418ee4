#pragma once
// A recovery session: carves the deleted rows of one table (contacts `data`
// or `sms`) out of one copied SQLite database and hands them back as the
// recovered-record text.
//
// SQLite only tells where the table's root page is and how its columns are
// ordered (and, for SMS, the live contact rows that name a sender); every
// recovered row is read from the file's bytes: the table's leaf pages are
// found by walking its b-tree, then each leaf page's freeblocks and its
// unassigned area are carved, freeblock rows first.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/CarveLayout.h"
#include "engine/ColumnWalk.h"
#include "engine/CarvedRecords.h"
#include "engine/CarvedRowStore.h"
#include "engine/DbFile.h"
#include "engine/SqliteQuery.h"
#include "engine/WorkBuffer.h"

// The Windows program exports the session's member functions; a program
// that runs sessions through it imports them.
#if defined(_WIN32) && defined(ZR_EXPORT_ENGINE)
#define ZR_ENGINE_API __declspec(dllexport)
#elif defined(_WIN32) && defined(ZR_IMPORT_ENGINE)
#define ZR_ENGINE_API __declspec(dllimport)
#else
#define ZR_ENGINE_API
#endif

// These names, misspellings included, are exported and linked by other
// programs by their decorated names: they stay as they are.
enum ePaserType : int { eContacts = 0, eSms = 1 };

class ZR_ENGINE_API SqliteParse {
 public:
  SqliteParse(const std::string& contactsPath, const std::string& smsPath);
  ~SqliteParse();
  SqliteParse(const SqliteParse&) = delete;
  SqliteParse& operator=(const SqliteParse&) = delete;

  // Runs one recovery of the contacts (eContacts) or SMS (eSms) table;
  // any other value does nothing.
  void startParse(ePaserType type);
  // The recovered-record text; empty when nothing was recovered or the
  // session could not start.
  std::string get_contacts_mem();

  // The rows the last run carved, in the order the text took them, with
  // the rest of each row that the records use.
  const std::vector<engine::CarvedContact>& carvedContacts() const { return recoveredContacts; }
  const std::vector<engine::CarvedSms>& carvedSms() const { return recoveredSms; }

 private:
  bool InitContacRowsourceFile();
  bool InitSmsRowsourceFile();
  void getDbPageSize(const std::string& path);
  void loopPage(std::int64_t page, int depth = 1);
  std::int64_t getCellPage(std::int64_t offset, std::int64_t page);
  void sortLeafPage();
  void carveLeafPage(std::uint32_t page);
  void loadFreelistCell(std::uint32_t page);
  void parseFreelistCells(std::uint32_t page);
  void parseUnassignedArea(std::uint32_t page);
  void takeCarvedRows();
  bool canReachText(const engine::ColumnWalk& walk) const;
  void saveContactRecover2File();
  void saveSmsRecover2File();

  bool carveTable(const std::string& path, const engine::CarveLayout& layout);
  std::uint64_t pageOffset(std::uint32_t page) const;
  void keepChildRunInMemory(const std::vector<std::uint32_t>& children, std::size_t index);

  engine::SqliteConnection smsDb;
  engine::SqliteConnection contactsDb;
  std::int32_t rootPage = 0;
  std::int32_t pageSize = 0;
  std::string contactsPath;
  std::string smsPath;
  std::vector<std::uint32_t> leafPages;
  std::map<std::uint32_t, std::vector<std::uint32_t>> freelistCells;
  engine::DbFile dbStream;
  std::int32_t contactsColumnCount = 0;
  std::int32_t smsColumnCount = 0;
  std::int32_t rawContactIdColumn = -1;
  std::int32_t data1Column = -1;
  std::int32_t addressColumn = -1;
  std::int32_t personColumn = -1;
  std::int32_t bodyColumn = -1;
  engine::ContactExtraColumns contactExtraColumns;
  engine::SmsExtraColumns smsExtraColumns;
  std::string resultText;
  std::vector<engine::CarvedContact> recoveredContacts;
  std::vector<engine::LiveContact> liveContacts;
  std::vector<engine::CarvedSms> recoveredSms;

  // Guards of the tree walk: each page is entered at most once, and the
  // cells read on interior pages are bounded so that a crafted file with
  // huge cell counts cannot stall the session.
  std::vector<bool> visitedPages;
  std::uint64_t interiorCellBudget = 0;
  // Each leaf is carved when the walk reaches it, while its bytes are in
  // memory; the rows wait here until they are put in page order.
  engine::CarveLayout carveLayout;
  engine::CarvedRowStore carvedRows;
  engine::RecordSink toFreeblockRows;
  engine::RecordSink toAreaRows;
  engine::WorkBuffer workBuffer;
};
