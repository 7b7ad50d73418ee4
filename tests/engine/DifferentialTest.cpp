// The engine's one-pass carving against a plain step-by-step carver, on
// generated databases and on damaged copies of them.

#include <gtest/gtest.h>

#include <random>

#include "engine/SqliteParse.h"
#include "platform/TextEncoding.h"
#include "tests/support/LiteralCarver.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabase.h"

using namespace testing_support;

namespace {

// A phone-like pair of databases with rows deleted here and there, so that
// freeblocks, merged freeblocks and unassigned areas all occur.
void makePhone(const TempDir& dir, int pageSize, int rows, unsigned seed) {
  std::mt19937 random(seed);
  {
    TestDatabase db(dir.file("contacts2.db"), pageSize);
    db.exec(contactsDataSchema());
    db.exec("BEGIN");
    for (int k = 0; k < rows; ++k) {
      const int contact = k / 3;
      addDataRow(db, contact, k % 3 == 0 ? "Person " + std::to_string(contact)
                              : k % 3 == 1 ? std::to_string(5550000 + random() % 9999)
                                           : "+86 138 " + std::to_string(random() % 99999999));
    }
    db.exec("COMMIT");
    db.exec("DELETE FROM data WHERE raw_contact_id % 7 = " + std::to_string(random() % 7));
    db.exec("DELETE FROM data WHERE _id % 11 = " + std::to_string(random() % 11));
  }
  {
    TestDatabase db(dir.file("mmssms.db"), pageSize);
    db.exec(smsSchema());
    db.exec("BEGIN");
    for (int k = 0; k < rows; ++k) {
      std::string body = "message " + std::to_string(k) + " ";
      body.append(random() % 300, static_cast<char>('a' + random() % 26));
      addMessage(db, k % 4 ? std::to_string(5550000 + random() % 9999) : "+86138" + std::to_string(k), body);
    }
    db.exec("COMMIT");
    db.exec("DELETE FROM sms WHERE _id % 5 = " + std::to_string(random() % 5));
  }
}

void expectSameText(const TempDir& dir, const std::string& what) {
  for (const int kind : {0, 1}) {
    const std::string engine = recover(dir.file("contacts2.db"), dir.file("mmssms.db"), kind);
    const std::string literal = literalRecover(dir.file("contacts2.db"), dir.file("mmssms.db"), kind);
    ASSERT_EQ(engine, literal) << what << ", kind " << kind;
  }
}

}  // namespace

TEST(Differential, GeneratedPhonesOfEveryPageSize) {
  for (const int pageSize : {512, 1024, 4096, 65536}) {
    TempDir dir;
    makePhone(dir, pageSize, pageSize == 65536 ? 6000 : 1500, static_cast<unsigned>(pageSize));
    const std::string text = recover(dir.file("contacts2.db"), dir.file("mmssms.db"), 1);
    EXPECT_FALSE(text.empty()) << pageSize;
    expectSameText(dir, "page size " + std::to_string(pageSize));
  }
}

TEST(Differential, DamagedCopies) {
  TempDir dir;
  makePhone(dir, 1024, 700, 99);
  const auto contacts = readFile(dir.file("contacts2.db"));
  const auto sms = readFile(dir.file("mmssms.db"));
  std::mt19937 random(4242);
  for (int round = 0; round < 300; ++round) {
    auto damaged = round % 2 ? sms : contacts;
    const std::string target = dir.file(round % 2 ? "mmssms.db" : "contacts2.db");
    // Header bytes of pages past the schema, where SQLite still opens the
    // file but the walk and the carvers meet nonsense.
    for (int hit = 0; hit < 1 + round % 4; ++hit) {
      const std::size_t page = 2 + random() % (damaged.size() / 1024 - 2);
      const std::size_t offset = page * 1024 + random() % 16;
      damaged[offset] = static_cast<std::uint8_t>(random());
    }
    writeFile(target, damaged);
    expectSameText(dir, "round " + std::to_string(round));
    writeFile(target, round % 2 ? sms : contacts);
  }
}

TEST(Differential, DemoPhoneMatchesItsGoldenText) {
  const std::string demo = std::string(ZR_SOURCE_DIR) + "/demo/";
  const std::string golden = std::string(ZR_SOURCE_DIR) + "/tests/golden/";
  const std::string contacts = recover(demo + "contacts2.db", demo + "mmssms.db", 0);
  const std::string sms = recover(demo + "contacts2.db", demo + "mmssms.db", 1);
  EXPECT_EQ(contacts, literalRecover(demo + "contacts2.db", demo + "mmssms.db", 0));
  EXPECT_EQ(sms, literalRecover(demo + "contacts2.db", demo + "mmssms.db", 1));
  const auto expectedContacts = readFile(golden + "demo-contacts.txt");
  const auto expectedSms = readFile(golden + "demo-sms.txt");
  // The golden texts are UTF-8; where the narrow text is another code page,
  // the same characters in that code page are expected.
  EXPECT_EQ(contacts, platform::narrowFromUtf8(std::string(expectedContacts.begin(), expectedContacts.end())));
  EXPECT_EQ(sms, platform::narrowFromUtf8(std::string(expectedSms.begin(), expectedSms.end())));
}
