// The pipeline as both front ends drive it: recovery, scan and export of
// the demo phone through one object, the reports a driver receives, a scan
// again after Clear (Back), and an acquisition that a stop cuts short.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/ManualResetEvent.h"
#include "records/PhonePipeline.h"
#include "tests/support/TempDir.h"

namespace records {
namespace {

namespace fs = std::filesystem;

// Keeps what a driver is told.
class RecordingSink : public PipelineSink {
 public:
  void progressPosition(int percent) override { scanPositions.push_back(percent); }
  void countingDone() override { countingDoneAt = static_cast<int>(scanPositions.size()); }
  void categoryLoaded(const std::string& category, const std::string& caption) override {
    captions.push_back(category + "=" + caption);
  }
  void exportPosition(int percent) override { exportPositions.push_back(percent); }

  std::vector<int> scanPositions;
  std::vector<int> exportPositions;
  std::vector<std::string> captions;
  int countingDoneAt = -1;
};

class PhonePipelineTest : public ::testing::Test {
 protected:
  PhonePipelineTest() : pipeline(records, sink, pauseGate, stopFlag) {
    const std::string demo = std::string(ZR_SOURCE_DIR) + "/demo/";
    pipeline.setCopies(phone::CopyPaths{demo + "contacts2.db", demo + "mmssms.db"});
  }

  phone::PhoneRecords records;
  RecordingSink sink;
  platform::ManualResetEvent pauseGate{true};
  std::atomic<int> stopFlag{0};
  PhonePipeline pipeline;
  testing_support::TempDir out;
};

TEST_F(PhonePipelineTest, DemoPhoneGoesFromCopiesToAnExportThroughOneObject) {
  // The free-space carving alone, whose counts are the demo phone's own.
  pipeline.setDeepRecovery(false);
  pipeline.Recover();
  EXPECT_FALSE(pipeline.deletedContactsText().empty());
  EXPECT_FALSE(pipeline.deletedMessagesText().empty());
  pipeline.Scan();

  EXPECT_EQ(sink.captions, (std::vector<std::string>{"Contacts=Contacts (59)", "Message=Message (39)"}));
  EXPECT_EQ(sink.countingDoneAt, 0) << "counting reports no progress";
  ASSERT_FALSE(sink.scanPositions.empty());
  EXPECT_EQ(sink.scanPositions.back(), 100);
  EXPECT_EQ(pipeline.progressCount(), pipeline.progressTotal());
  EXPECT_EQ(pipeline.ScannedContacts().caption, u"Contacts (59)");
  EXPECT_TRUE(pipeline.ScannedMessages().holdsRecords);
  EXPECT_FALSE(pipeline.copyUnreadable());

  const ExportCategory contacts = pipeline.ScannedContacts();
  const ExportCategory messages = pipeline.ScannedMessages();
  const std::int32_t checked = pipeline.CountChecked(contacts, messages);
  EXPECT_EQ(checked, 59 + 12 + 1) << "contacts, conversations and the one of messages without a conversation";
  ASSERT_EQ(pipeline.PrepareExport(checked, fs::path(out.path()).u16string(), 1700000000), ExportStart::kStarted);
  EXPECT_EQ(pipeline.RunExport(contacts, messages), checked);
  ASSERT_NE(pipeline.exportState(), nullptr);
  EXPECT_TRUE(pipeline.exportState()->complete);
  EXPECT_EQ(pipeline.exportState()->contactsExported, 59);
  EXPECT_EQ(pipeline.exportState()->messagesExported, 263 + 27);
  EXPECT_EQ(sink.exportPositions.back(), 100);
  const fs::path root(pipeline.exportState()->outputFolder);
  EXPECT_TRUE(fs::is_regular_file(root / "Contacts (59)" / "contacts.txt"));
  EXPECT_TRUE(fs::is_regular_file(root / "Message (39)" / "deleted.txt"));
}

// The demo phone's owner deleted ten contacts and 35 messages: each comes
// back once, whole, the messages in their conversations with their dates.
TEST_F(PhonePipelineTest, DeletedRecordsOfTheDemoPhoneComeBackWholeAndOnce) {
  pipeline.Recover();
  EXPECT_TRUE(pipeline.deletedContactsText().empty()) << "records are made from rows, not text";
  pipeline.Scan();
  EXPECT_EQ(sink.captions, (std::vector<std::string>{"Contacts=Contacts (50)", "Message=Message (47)"}));

  std::vector<std::string> names;
  for (const phone::ContactRecord* contact : records.recoveredContacts()) names.emplace_back(contact->displayName);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Brandon Lewis", "Jürgen Hoffmann", "Kenji Watanabe", "Nadia Kowalski",
                                             "Olivia Hart", "Ryan Fletcher", "Sophie Martin", "Trevor Banks",
                                             "Vanessa Price", "陈静"}));
  int deleted = 0, dated = 0, withDirection = 0;
  for (const phone::MessageRecord* message = records.smsLists().messages; message != nullptr;
       message = message->next) {
    if (!phone::IsDeleted(*message)) continue;
    ++deleted;
    dated += phone::MessageDateOf(*message) != 0 ? 1 : 0;
    withDirection += message->direction != 0 ? 1 : 0;
  }
  EXPECT_EQ(deleted, 35);
  EXPECT_EQ(dated, 35);
  EXPECT_EQ(withDirection, 35);
  // Sam Ortiz's and Ryan Fletcher's threads are gone: two conversations of
  // deleted messages alone.
  ASSERT_EQ(records.recoveredConversations().size(), 2u);
  EXPECT_EQ(records.recoveredConversations()[0]->messageCount + records.recoveredConversations()[1]->messageCount,
            16);
}

TEST_F(PhonePipelineTest, ScanAfterClearFindsTheSameAndAStopSkipsTheMessages) {
  pipeline.Recover();
  pipeline.Scan();
  const std::size_t firstRecovered = records.recoveredContacts().size();
  pipeline.Clear();
  EXPECT_EQ(records.contactLists().contacts, nullptr);
  EXPECT_TRUE(records.recoveredContacts().empty());
  EXPECT_TRUE(pipeline.deletedContactsText().empty());
  EXPECT_FALSE(pipeline.ScannedContacts().holdsRecords);

  // Back and a new acquisition: the same copies give the same records.
  sink.captions.clear();
  pipeline.Recover();
  pipeline.Scan();
  EXPECT_EQ(records.recoveredContacts().size(), firstRecovered);
  EXPECT_EQ(sink.captions.size(), 2u);

  // Stopped before the first contact: nothing loads, the messages are skipped.
  pipeline.Clear();
  sink.captions.clear();
  pipeline.Recover();
  stopFlag = 1;
  pipeline.Scan();
  EXPECT_TRUE(sink.captions.empty());
  EXPECT_FALSE(pipeline.ScannedMessages().holdsRecords);
  EXPECT_EQ(pipeline.CountChecked(pipeline.ScannedContacts(), pipeline.ScannedMessages()), 0);
}

TEST_F(PhonePipelineTest, AStopEndsTheAcquisitionWaitWithoutRunningTheHelper) {
  pipeline.setCopies(phone::CopyPathsIn(out.path()));
  phone::AcquisitionSettings settings;
  settings.helperFolder = out.path();  // no helper here: a step would only fail
  settings.startDelay = std::chrono::minutes(10);
  int steps = 0;
  std::thread stopper([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    stopFlag = 1;
  });
  const bool copies = pipeline.Acquire(settings, [&steps](const phone::HelperStep&, const platform::ProcessResult&) {
    ++steps;
  });
  stopper.join();
  EXPECT_FALSE(copies);
  EXPECT_EQ(steps, 0) << "no step starts after a stop";
}

}  // namespace
}  // namespace records
