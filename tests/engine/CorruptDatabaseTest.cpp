// Damaged and crafted files: a session must end, stay inside its buffers
// (the sanitizer build checks that), keep what it can still read and never
// make more text than the bytes of the files can hold.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>

#include "engine/SqliteParse.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabase.h"

using namespace testing_support;

namespace {

constexpr std::size_t kPage = 1024;

int countOf(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class CorruptDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    {
      TestDatabase db(contacts(), static_cast<int>(kPage));
      db.exec(contactsDataSchema());
      db.exec("BEGIN");
      for (int k = 0; k < 160; ++k) addDataRow(db, 100 + k / 2, k % 2 ? "Name " + std::to_string(k) : "555" + std::to_string(k));
      addDataRow(db, 7, "Alice Deleted");
      addDataRow(db, 7, "5550001");
      for (int k = 0; k < 40; ++k) addDataRow(db, 300 + k, "Later " + std::to_string(k));
      db.exec("COMMIT");
      db.exec("DELETE FROM data WHERE raw_contact_id = 7 OR raw_contact_id % 5 = 0");
    }
    {
      TestDatabase db(sms(), static_cast<int>(kPage));
      db.exec(smsSchema());
      db.exec("BEGIN");
      for (int k = 0; k < 150; ++k) addMessage(db, "555" + std::to_string(k % 9), "message " + std::to_string(k));
      db.exec("COMMIT");
      db.exec("DELETE FROM sms WHERE _id % 7 = 0");
    }
    pristineContacts = readFile(contacts());
    pristineSms = readFile(sms());
    root = rootPageOf(contacts(), "data");
    ASSERT_EQ(pristineContacts.at((root - 1) * kPage), 5) << "the data table needs an interior root";
  }

  std::string contacts() const { return dir.file("contacts2.db"); }
  std::string sms() const { return dir.file("mmssms.db"); }
  std::string carveContacts() const { return recover(contacts(), sms(), eContacts); }
  std::string carveSms() const { return recover(contacts(), sms(), eSms); }

  // Checks that a carved text stays within what the two files can hold:
  // every recovered value is bytes of a file, each pairs with a bounded
  // number of others, and a line adds only its separators. A session that
  // walks a loop or repeats a cell breaks the bound.
  void expectWithinBound(const std::string& text) {
    const std::size_t fileBytes = std::filesystem::file_size(contacts()) + std::filesystem::file_size(sms());
    EXPECT_LE(text.size(), kTextPerFileByte * fileBytes + kPage) << "text of " << fileBytes << " file bytes";
    largestText = std::max(largestText, text.size());
  }
  void carveBothWithinBound() {
    expectWithinBound(carveContacts());
    expectWithinBound(carveSms());
  }

  // Patches the data table's root page: the carve then finds no more rows
  // than the pristine file gave, within the bound.
  void expectNoMoreRowsWithRootPatched(const std::function<void(std::vector<std::uint8_t>&)>& patch) {
    const int before = countOf(carveContacts(), "\r\n");
    auto page = rootPage();
    patch(page);
    writeRootPage(page);
    EXPECT_LE(countOf(carveContacts(), "\r\n"), before);
    carveBothWithinBound();
  }

  static constexpr std::size_t kTextPerFileByte = 4;
  std::size_t largestText = 0;

  std::vector<std::uint8_t> rootPage() const {
    const auto start = pristineContacts.begin() + static_cast<long>((root - 1) * kPage);
    return std::vector<std::uint8_t>(start, start + static_cast<long>(kPage));
  }
  void writeRootPage(const std::vector<std::uint8_t>& page) { patchBytes(contacts(), (root - 1) * kPage, page); }

  TempDir dir;
  std::vector<std::uint8_t> pristineContacts;
  std::vector<std::uint8_t> pristineSms;
  std::uint32_t root = 0;
};

}  // namespace

TEST_F(CorruptDatabaseTest, PristineFileRecoversTheDeletedPair) {
  EXPECT_EQ(countOf(carveContacts(), "Alice Deleted\t5550001\r\n"), 1);
}

TEST_F(CorruptDatabaseTest, EveryTruncationLength) {
  for (std::size_t length = 0; length <= pristineContacts.size(); length += 3) {
    writeFile(contacts(), std::vector<std::uint8_t>(pristineContacts.begin(), pristineContacts.begin() + static_cast<long>(length)));
    carveBothWithinBound();
  }
  writeFile(contacts(), pristineContacts);
  for (std::size_t length = 0; length <= pristineSms.size(); length += 3) {
    writeFile(sms(), std::vector<std::uint8_t>(pristineSms.begin(), pristineSms.begin() + static_cast<long>(length)));
    expectWithinBound(carveSms());
  }
  EXPECT_GT(largestText, 0u) << "the whole files are among the lengths and hold deleted rows";
}

TEST_F(CorruptDatabaseTest, SingleBitFlipsOverTheFirstPages) {
  std::mt19937 random(20261207);
  const std::size_t span = std::min<std::size_t>(pristineContacts.size(), 6 * kPage);
  for (int flip = 0; flip < 1500; ++flip) {
    const std::size_t at = random() % span;
    for (auto* target : {&pristineContacts, &pristineSms}) {
      std::vector<std::uint8_t> bytes = *target;
      bytes[at % bytes.size()] ^= static_cast<std::uint8_t>(1u << (random() % 8));
      writeFile(target == &pristineContacts ? contacts() : sms(), bytes);
      carveBothWithinBound();
      writeFile(target == &pristineContacts ? contacts() : sms(), *target);
    }
  }
  EXPECT_GT(largestText, 0u) << "most single flips leave the deleted rows readable";
}

TEST_F(CorruptDatabaseTest, ChildPointingBackToTheRootIsWalkedOnce) {
  expectNoMoreRowsWithRootPatched([&](std::vector<std::uint8_t>& page) {
    putU32(page, 8, root);  // right-most child: the root itself
  });
}

TEST_F(CorruptDatabaseTest, ChildrenBeyondTheFileOrBelowOneAreIgnored) {
  expectNoMoreRowsWithRootPatched([](std::vector<std::uint8_t>& page) {
    const std::uint16_t firstCell = static_cast<std::uint16_t>(page[12] << 8 | page[13]);
    putU32(page, firstCell, 0);
    putU32(page, 8, 0x7FFFFFFF);
  });
}

TEST_F(CorruptDatabaseTest, HugeCellCountEnds) {
  expectNoMoreRowsWithRootPatched([](std::vector<std::uint8_t>& page) { putU16(page, 3, 0xFFFF); });
}

TEST_F(CorruptDatabaseTest, LoopingFreeblockChainEnds) {
  // Make every freeblock of every page point to itself or back to the first.
  auto bytes = pristineContacts;
  int patched = 0;
  for (std::size_t start = 0; start + kPage <= bytes.size(); start += kPage) {
    if (bytes[start] != 13) continue;
    const std::uint16_t first = static_cast<std::uint16_t>(bytes[start + 1] << 8 | bytes[start + 2]);
    if (first == 0 || first + 4u > kPage) continue;
    putU16(bytes, start + first, first);
    ++patched;
  }
  ASSERT_GT(patched, 0);
  writeFile(contacts(), bytes);
  EXPECT_EQ(countOf(carveContacts(), "Alice Deleted"), 1);
}

TEST_F(CorruptDatabaseTest, FreeblockSizesBeyondThePage) {
  auto bytes = pristineContacts;
  for (std::size_t start = 0; start + kPage <= bytes.size(); start += kPage) {
    if (bytes[start] != 13) continue;
    const std::uint16_t first = static_cast<std::uint16_t>(bytes[start + 1] << 8 | bytes[start + 2]);
    if (first != 0 && first + 4u <= kPage) putU16(bytes, start + first + 2, 0xFFFF);
    putU16(bytes, start + 5, 0xFFFF);  // content start far past the page
  }
  writeFile(contacts(), bytes);
  carveBothWithinBound();
}

TEST_F(CorruptDatabaseTest, TruncatedLastPageKeepsEarlierRows) {
  // Cut the file inside its last page: what the earlier pages hold is still
  // found, however the short read at the end went.
  const std::string before = carveContacts();
  ASSERT_EQ(countOf(before, "Alice Deleted"), 1);
  auto bytes = pristineContacts;
  const std::string needle = "Alice Deleted";
  const auto found = std::search(bytes.begin(), bytes.end(), needle.begin(), needle.end());
  const std::size_t alicePage = static_cast<std::size_t>(found - bytes.begin()) / kPage;
  if ((alicePage + 1) * kPage >= bytes.size()) GTEST_SKIP() << "the pair sits on the last page";
  bytes.resize(bytes.size() - kPage / 2);
  writeFile(contacts(), bytes);
  // SQLite may refuse the cut file; when it still opens, the pair is there.
  const std::string after = carveContacts();
  if (!after.empty()) {
    EXPECT_EQ(countOf(after, "Alice Deleted"), 1);
  }
}

TEST_F(CorruptDatabaseTest, NotADatabase) {
  writeFile(contacts(), std::vector<std::uint8_t>(5000, 0x41));
  EXPECT_EQ(carveContacts(), "");
  EXPECT_EQ(carveSms(), "");
  writeFile(contacts(), {});
  EXPECT_EQ(carveContacts(), "");
}
