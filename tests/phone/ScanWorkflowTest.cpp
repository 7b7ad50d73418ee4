// The scan: counting, progress positions, captions, pause and stop.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "phone/ScanWorkflow.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabase.h"

using namespace phone;
using testing_support::TempDir;
using testing_support::TestDatabase;

namespace {

// What the window would have received.
class RecordingSink : public ScanSink {
 public:
  void progressPosition(int percent) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      positions.push_back(percent);
    }
    if (onPosition) onPosition(percent);
  }
  void countingDone() override { counted = true; }
  void categoryLoaded(const std::string&, const std::string& caption) override {
    std::lock_guard<std::mutex> lock(mutex_);
    captions.push_back(caption);
  }
  std::size_t positionCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return positions.size();
  }

  std::vector<int> positions;
  std::vector<std::string> captions;
  std::atomic<bool> counted{false};
  std::function<void(int)> onPosition;  // runs on the worker

 private:
  std::mutex mutex_;
};

void makeContacts(const std::string& path, int contacts) {
  TestDatabase db(path);
  db.exec("CREATE TABLE mimetypes (_id INTEGER PRIMARY KEY AUTOINCREMENT, mimetype TEXT NOT NULL)");
  db.exec("INSERT INTO mimetypes (mimetype) VALUES ('vnd.android.cursor.item/name')");
  db.exec("CREATE TABLE raw_contacts (_id INTEGER PRIMARY KEY AUTOINCREMENT, account_id INTEGER, "
          "deleted INTEGER NOT NULL DEFAULT 0, contact_id INTEGER, display_name TEXT, "
          "display_name_source INTEGER NOT NULL DEFAULT 0)");
  db.exec("CREATE TABLE contacts (_id INTEGER PRIMARY KEY AUTOINCREMENT, name_raw_contact_id INTEGER)");
  db.exec("CREATE TABLE data (_id INTEGER PRIMARY KEY AUTOINCREMENT, mimetype_id INTEGER, raw_contact_id INTEGER, "
          "data1 TEXT, data2 TEXT)");
  for (int k = 1; k <= contacts; ++k) {
    const std::string id = std::to_string(k);
    db.exec("INSERT INTO raw_contacts (_id, contact_id, display_name, display_name_source) VALUES (" + id + ", " +
            id + ", 'Person " + id + "', 40)");
    db.exec("INSERT INTO contacts (_id, name_raw_contact_id) VALUES (" + id + ", " + id + ")");
  }
}

void makeSms(const std::string& path, int conversations) {
  TestDatabase db(path);
  db.exec("CREATE TABLE threads (_id INTEGER PRIMARY KEY, date INTEGER)");
  db.exec("CREATE TABLE sms (_id INTEGER PRIMARY KEY, thread_id INTEGER, address TEXT, person INTEGER, "
          "date INTEGER, type INTEGER, body TEXT)");
  for (int k = 1; k <= conversations; ++k) {
    const std::string id = std::to_string(k);
    db.exec("INSERT INTO threads VALUES (" + id + ", 0)");
    db.exec("INSERT INTO sms (thread_id, address, date, type, body) VALUES (" + id + ", '555" + id +
            "', 1600000000000, 1, 'hello')");
  }
}

class ScanWorkflowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    contacts = dir.file("contacts2.db");
    sms = dir.file("mmssms.db");
  }

  ScanWorkflow makeScan() {
    ScanWorkflow scan(records, sink, gate, stop);
    scan.setCopies(contacts, sms);
    return scan;
  }

  TempDir dir;
  std::string contacts;
  std::string sms;
  PhoneRecords records;
  RecordingSink sink;
  platform::ManualResetEvent gate{true};
  std::atomic<int> stop{0};
};

}  // namespace

TEST_F(ScanWorkflowTest, ProgressAndCaptionsOfThreeContactsTwoRecoveredOneConversation) {
  makeContacts(contacts, 3);
  makeSms(sms, 1);
  ScanWorkflow scan = makeScan();
  scan.setRecoveredTexts("Alice\t555\r\nN/A\t777\r\n", "");
  scan.ScanThreadProc();
  EXPECT_EQ(scan.progressTotal(), 6);
  EXPECT_EQ(sink.positions, (std::vector<int>{16, 33, 50, 66, 83, 100}));
  EXPECT_EQ(sink.captions, (std::vector<std::string>{"Contacts (5)", "Message (1)"}));
  EXPECT_TRUE(sink.counted);
  EXPECT_EQ(records.recoveredContacts().size(), 2u);
}

// A phone whose every contact was deleted used to show none of them.
TEST_F(ScanWorkflowTest, CategoryWithoutLiveRecordsStillShowsItsDeletedOnes) {
  makeContacts(contacts, 0);
  makeSms(sms, 2);
  ScanWorkflow scan = makeScan();
  scan.setRecoveredTexts("Alice\t555\r\n", "N/A\t555\thi\r\n");
  scan.ScanThreadProc();
  EXPECT_EQ(scan.progressTotal(), 4);
  EXPECT_EQ(records.recoveredContacts().size(), 1u);
  EXPECT_EQ(sink.captions, (std::vector<std::string>{"Contacts (1)", "Message (3)"}));
}

TEST_F(ScanWorkflowTest, MissingCopiesLoadNothing) {
  ScanWorkflow scan = makeScan();
  scan.setRecoveredTexts("Alice\t555\r\n", "N/A\t555\thi\r\n");
  scan.ScanThreadProc();
  EXPECT_EQ(scan.progressTotal(), 0);
  EXPECT_TRUE(sink.positions.empty());
  EXPECT_TRUE(sink.captions.empty());
}

TEST_F(ScanWorkflowTest, PauseHoldsContactsAndStopSkipsTheMessages) {
  makeContacts(contacts, 5);
  makeSms(sms, 2);
  ScanWorkflow scan = makeScan();
  gate.reset();
  std::thread worker([&] { scan.ScanThreadProc(); });
  // Paused before the first contact: nothing loads.
  ASSERT_TRUE(gate.waitUntilWaiting(1, std::chrono::seconds(10)));
  EXPECT_TRUE(sink.counted);
  EXPECT_EQ(sink.positionCount(), 0u);
  // Stop wakes the paused worker, which ends without loading more.
  stop = 1;
  gate.set();
  worker.join();
  EXPECT_EQ(sink.positionCount(), 0u);
  EXPECT_TRUE(sink.captions.empty());
  EXPECT_EQ(scan.progressTotal(), 7);
}

TEST_F(ScanWorkflowTest, StopAfterSomeContactsKeepsTheirCaption) {
  makeContacts(contacts, 5);
  makeSms(sms, 2);
  ScanWorkflow scan = makeScan();
  // Stop as the second contact is loaded, as a click would between records.
  sink.onPosition = [&](int) {
    if (sink.positionCount() == 2) stop = 1;
  };
  scan.ScanThreadProc();
  EXPECT_EQ(sink.positions.size(), 2u);
  EXPECT_EQ(sink.captions, (std::vector<std::string>{"Contacts (2)"}));
}

TEST(CategoryCaption, NameAndCount) {
  EXPECT_EQ(CategoryCaption("Contacts", 12), "Contacts (12)");
  EXPECT_EQ(CategoryCaption("Message", 0), "Message (0)");
}
