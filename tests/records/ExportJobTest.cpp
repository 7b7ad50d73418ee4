// The export job: the count of checked records, the time-stamped root, both
// exporters in turn, stop and pause from another thread, the finished text,
// and a whole export of the demo phone.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <regex>
#include <string>
#include <thread>

#include "phone/PhoneRecords.h"
#include "platform/FileOperations.h"
#include "platform/LocalTime.h"
#include "records/ExportJob.h"
#include "tests/records/ExportTestSupport.h"
#include "tests/support/TestDatabase.h"

namespace records {
namespace {

using namespace records_testing;
namespace fs = std::filesystem;

constexpr auto kPatience = std::chrono::seconds(20);

// Two live contacts, a recovered one, two conversations, a recovered
// message: 6 records.
class ExportJobTest : public ::testing::Test {
 protected:
  ExportJobTest() {
    ann = &build.contact(1, "Ann");
    build.contact(2, "Bo");
    build.dataRow(1, 1, "1", "2");
    build.recoveredContact("Kenji\t3");
    first = &build.conversation(1);
    build.conversation(2);
    build.message(1, "111", 0, phone::kDirectionReceived, "in");
    build.message(2, "222", 0, phone::kDirectionReceived, "in");
    build.recoveredMessage("N/A\t333\tgone");
    recovered = &build.looseConversation();
  }

  std::int32_t count() const { return CountCheckedRecords(build.records, contacts, messages); }
  ExportStart prepare(std::u16string folder) { return PrepareExport(harness.state, count(), folder, 1700000000); }
  std::int32_t run() { return RunExport(build.records, contacts, messages, harness.state); }
  // Prepares the export into the temporary folder and runs it on a worker
  // thread, as the window does.
  std::thread start() {
    EXPECT_EQ(prepare(fs::path(harness.temp.path()).u16string()), ExportStart::kStarted);
    return std::thread([this] { result = run(); });
  }
  Lines contactLines() const { return exportLines(harness.root() / "Contacts (3)" / "contacts.txt"); }

  RecordBuilder build;
  phone::ContactRecord* ann;
  phone::ConversationRecord* first;
  phone::ConversationRecord* recovered;
  ExportCategory contacts{u"Contacts (3)", true, true};
  ExportCategory messages{u"Message (3)", true, true};
  ExportHarness harness;
  std::int32_t result = 0;
};

TEST_F(ExportJobTest, CountCheckedRecordsCoversTheCategoriesThatHoldRecords) {
  EXPECT_EQ(count(), 6);
  ann->checked = 0;
  recovered->checked = 0;
  EXPECT_EQ(count(), 4);
  recovered->checked = 1;
  EXPECT_EQ(count(), 5);
  contacts.holdsRecords = false;
  EXPECT_EQ(count(), 3);
  messages.holdsRecords = false;
  EXPECT_EQ(count(), 0);
}

TEST_F(ExportJobTest, RootIsThePickedFolderTheProgramNameAndTheLocalTime) {
  std::tm time{};
  time.tm_year = 124;
  time.tm_mon = 2;
  time.tm_mday = 5;
  time.tm_hour = 7;
  time.tm_min = 8;
  time.tm_sec = 9;
  const std::u16string out = u"out" + std::u16string(1, platform::kPathSeparator);
  EXPECT_EQ(ExportRootOf(u"out", time), out + u"ZephyrloomRescue20240305070809");
  EXPECT_EQ(ExportRootOf(out, time), out + u"ZephyrloomRescue20240305070809") << "no doubled separator";

  harness.stop = true;
  harness.pause.reset();
  EXPECT_EQ(prepare(u""), ExportStart::kNoFolder);
  EXPECT_FALSE(harness.stop) << "cleared before the folder is looked at";
  EXPECT_EQ(namesIn(harness.temp.path()), Lines{});

  harness.state.progressCount = 17;
  EXPECT_EQ(prepare(fs::path(harness.temp.path()).u16string()), ExportStart::kStarted);
  EXPECT_EQ(harness.state.exportTotal, 6);
  EXPECT_EQ(harness.state.progressCount, 0);
  EXPECT_TRUE(harness.pause.isSet());
  const Lines roots = namesIn(harness.temp.path());
  ASSERT_EQ(roots.size(), 1u);
  EXPECT_TRUE(std::regex_match(fs::path(roots[0]).string(), std::regex("ZephyrloomRescue[0-9]{14}")));
  EXPECT_EQ(harness.root(), fs::path(harness.temp.path()) / fs::path(roots[0]));
}

// Two exports in the same second used to write every record twice into the
// same files; each now gets a root of its own.
TEST_F(ExportJobTest, TwoRunsInTheSameSecondGetRootsOfTheirOwn) {
  start().join();
  EXPECT_EQ(result, 6);
  EXPECT_EQ(harness.positions, (std::vector<std::int32_t>{16, 33, 50, 66, 83, 100}));
  EXPECT_EQ(FinishedText(result), u"Recovering finished, 6 files have been recovered.");
  const fs::path firstRoot = harness.root();
  start().join();
  EXPECT_EQ(namesIn(harness.temp.path()).size(), 2u);
  EXPECT_EQ(harness.root(), fs::path(firstRoot.u16string() + u" (2)"));
  EXPECT_EQ(namesIn(harness.root() / "Message (3)"), (Lines{u"111.txt", u"222.txt", u"deleted.txt"}));
  const Lines once{u"Contacts:", u"Ann(Mobile) : 1", std::u16string(66, u'-'), u"Deleted:", u"Kenji : 3"};
  EXPECT_EQ(contactLines(), once);
  EXPECT_EQ(exportLines(firstRoot / "Contacts (3)" / "contacts.txt"), once);
}

// A root name taken by a file (or a planted link) is never written through;
// a picked folder where nothing can be made is said.
TEST_F(ExportJobTest, TakenRootNameGetsASuffixAndAnImpossibleRootIsReported) {
  std::tm time{};
  ASSERT_TRUE(platform::localTimeOf(1700000000, time));
  const fs::path taken = fs::path(ExportRootOf(fs::path(harness.temp.path()).u16string(), time));
  { std::ofstream planted(taken); }
  EXPECT_EQ(prepare(fs::path(harness.temp.path()).u16string()), ExportStart::kStarted);
  EXPECT_EQ(harness.root(), fs::path(taken.u16string() + u" (2)"));
  EXPECT_EQ(fs::file_size(taken), 0u);
  EXPECT_EQ(prepare((fs::path(harness.temp.path()) / "no" / "such" / "folder").u16string()), ExportStart::kNoRoot);
}

// A category folder planted in the root (with a link to a file outside in
// it) is never entered: the export fails there, says so and is marked.
TEST_F(ExportJobTest, PlantedCategoryFolderEndsTheExportAndIsNeverWrittenThrough) {
  const fs::path outside = fs::path(harness.temp.path()) / "outside.txt";
  { std::ofstream create(outside, std::ios::binary); create << "untouched"; }
  EXPECT_EQ(prepare(fs::path(harness.temp.path()).u16string()), ExportStart::kStarted);
  fs::create_directory(harness.root() / "Contacts (3)");
  std::error_code error;
  fs::create_symlink(outside, harness.root() / "Contacts (3)" / "contacts.txt", error);
  EXPECT_EQ(run(), 0);
  EXPECT_FALSE(harness.state.complete);
  EXPECT_NE(harness.state.failure.find("Contacts (3): the name exists already"), std::string::npos)
      << harness.state.failure;
  EXPECT_EQ(harness.state.incomplete, IncompleteExport::kMarked);
  EXPECT_EQ(namesIn(harness.root()), (Lines{u"Contacts (3)", kIncompleteMarkerName}));
  EXPECT_EQ(fileBytes(outside), "untouched");
}

TEST_F(ExportJobTest, CategoryThatHoldsNoRecordsIsLeftOut) {
  contacts.holdsRecords = false;
  start().join();
  EXPECT_EQ(result, 3);
  EXPECT_EQ(namesIn(harness.root()), (Lines{u"Message (3)", u"messages.xml"})) << "no contacts.vcf either";
}

TEST_F(ExportJobTest, StopDuringTheContactsWritesNoMessageFilesAndDuringTheMessagesEndsThem) {
  harness.afterStep = [this] { harness.stop = true; };
  start().join();
  EXPECT_EQ(result, 1);
  EXPECT_FALSE(harness.state.complete);
  EXPECT_EQ(harness.state.incomplete, IncompleteExport::kMarked);
  EXPECT_EQ(namesIn(harness.root()), (Lines{u"Contacts (3)", kIncompleteMarkerName}));
  EXPECT_EQ(contactLines(), (Lines{u"Contacts:", u"Ann(Mobile) : 1"}));
  EXPECT_EQ(exportLines(harness.root() / kIncompleteMarkerName).at(0),
            u"This export is incomplete: it was stopped before every record was written.");

  harness.afterStep = [this] { harness.stop = harness.state.progressCount == 4; };
  start().join();
  EXPECT_EQ(result, 4);
  EXPECT_EQ(namesIn(harness.root() / "Message (3)"), Lines{u"111.txt"});
  EXPECT_EQ(harness.state.filesWritten, 2);
}

TEST_F(ExportJobTest, PauseHoldsTheWorkerBeforeTheNextRecordUntilContinueOrStop) {
  // Pause pressed while the first contact is written.
  harness.afterStep = [this] {
    if (harness.state.progressCount == 1) harness.pause.reset();
  };
  std::thread worker = start();
  const bool paused = harness.pause.waitUntilWaiting(1, kPatience);
  EXPECT_TRUE(paused) << "the worker never reached the pause event";
  EXPECT_EQ(contactLines(), (Lines{u"Contacts:", u"Ann(Mobile) : 1"}));
  harness.pause.set();  // Continue
  worker.join();
  EXPECT_EQ(result, 6);

  // Paused before the second conversation, then Stop: the flag first, then
  // the event, so that the woken worker sees the flag.
  harness.afterStep = [this] {
    if (harness.state.progressCount == 4) harness.pause.reset();
  };
  worker = start();
  EXPECT_TRUE(harness.pause.waitUntilWaiting(1, kPatience));
  harness.stop = true;
  harness.pause.set();
  worker.join();
  EXPECT_EQ(result, 4);
}

// The demo phone: live records through PhoneRecords, deleted ones imported
// from the recovery's text, everything checked.
TEST(DemoPhoneExport, EveryRecordIsWrittenIntoWellFormedFiles) {
  const std::string contactsPath = std::string(ZR_SOURCE_DIR) + "/demo/contacts2.db";
  const std::string smsPath = std::string(ZR_SOURCE_DIR) + "/demo/mmssms.db";
  phone::PhoneRecords phone;
  ASSERT_TRUE(phone.ReadContacts(contactsPath).complete() && phone.ReadSms(smsPath).complete());
  const std::string deletedContacts = testing_support::recover(contactsPath, smsPath, 0);
  const std::string deletedMessages = testing_support::recover(contactsPath, smsPath, 1);
  const std::size_t recoveredContacts = phone.ImportRecoveredContacts(deletedContacts, nullptr);
  ASSERT_GT(phone.ImportRecoveredMessages(deletedMessages, nullptr), 0u);
  const ExportRecords records = ExportRecordsOf(phone);
  const ExportCategory contacts{u"Contacts", true, true}, messages{u"Message", true, true};
  ExportHarness harness;
  const std::int32_t total = CountCheckedRecords(records, contacts, messages);
  EXPECT_EQ(total, static_cast<std::int32_t>(40 + recoveredContacts + 12 + 1)) << "the messages without a conversation: one";
  ASSERT_EQ(PrepareExport(harness.state, total, fs::path(harness.temp.path()).u16string(), 1700000000),
            ExportStart::kStarted);
  EXPECT_EQ(RunExport(records, contacts, messages, harness.state), total);
  EXPECT_EQ(harness.positions.back(), 100);
  std::size_t lines = 0;
  for (const auto& folder : {harness.root() / "Contacts", harness.root() / "Message"}) {
    for (const std::u16string& file : namesIn(folder)) lines += exportLines(folder / fs::path(file)).size();
  }
  // At least: contacts.txt's heading lines, and in the conversations an
  // empty line each and three lines per message.
  EXPECT_GE(lines, 3 + 12 + 3 * 263u);
}

}  // namespace
}  // namespace records
