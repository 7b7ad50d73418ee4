// The carve command: its arguments, its exit status, its bytes.

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "cli/CarveCommand.h"
#include "engine/SqliteParse.h"
#include "platform/TextEncoding.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabase.h"

using namespace testing_support;

namespace {

int carve(const std::vector<std::string>& args, std::string* err = nullptr) {
  std::ostringstream messages;
  const int status = cli::runCarve(args, messages);
  if (err != nullptr) *err = messages.str();
  return status;
}

}  // namespace

TEST(CarveCommand, RejectsBadArguments) {
  std::string err;
  EXPECT_EQ(carve({}, &err), 2);
  EXPECT_NE(err.find("--kind"), std::string::npos);
  EXPECT_EQ(carve({"--kind", "calls", "a", "b"}, &err), 2);
  EXPECT_NE(err.find("contacts or sms"), std::string::npos);
  EXPECT_EQ(carve({"--kind", "sms", "a"}, &err), 2);
  EXPECT_EQ(carve({"--kind", "sms", "a", "b", "c"}, &err), 2);
  EXPECT_EQ(carve({"--kind"}, &err), 2);
  EXPECT_EQ(carve({"--verbose", "--kind", "sms", "a", "b"}, &err), 2);
  EXPECT_NE(err.find("--verbose"), std::string::npos);
}

// A copy that is missing or not a file is said, with a failure status (it
// used to pass silently as "nothing recovered"); a copy whose name the
// session does not know is warned about, and the text stays as it is.
TEST(CarveCommand, MissingCopiesAndUnknownNamesAreSaid) {
  TempDir dir;
  std::string err;
  EXPECT_EQ(carve({"--kind", "contacts", dir.file("contacts2.db"), dir.file("mmssms.db")}, &err), 1);
  EXPECT_NE(err.find("no such file: " + dir.file("contacts2.db")), std::string::npos) << err;
  EXPECT_EQ(carve({"--kind", "contacts", dir.path(), dir.file("mmssms.db")}, &err), 1);
  EXPECT_NE(err.find("is a folder"), std::string::npos) << err;
  {
    TestDatabase contacts(dir.file("people.db"));
    contacts.exec(contactsDataSchema());
    TestDatabase sms(dir.file("texts.db"));
    sms.exec(smsSchema());
  }
  // The SMS copy is not read for contacts: a missing one is no error then.
  EXPECT_EQ(carve({"--kind", "contacts", dir.file("people.db"), dir.file("missing")}, &err), 0);
  EXPECT_NE(err.find("must contain contacts2.db"), std::string::npos) << err;
  EXPECT_EQ(carve({"--kind", "sms", dir.file("people.db"), dir.file("texts.db")}, &err), 0);
  EXPECT_NE(err.find("must contain mmssms.db"), std::string::npos) << err;
  EXPECT_EQ(carve({"--kind", "sms", dir.file("people.db"), dir.file("missing")}, &err), 1);
}

TEST(CarveCommand, ProgramWritesTheRecoveredTextUnchanged) {
  TempDir dir;
  {
    TestDatabase db(dir.file("contacts2.db"));
    db.exec(contactsDataSchema());
    for (int k = 0; k < 140; ++k) addDataRow(db, k, "Filler " + std::to_string(k));
    addDataRow(db, 7, "Zoë\tTab");
    addDataRow(db, 7, "5550001");
    for (int k = 0; k < 40; ++k) addDataRow(db, k, "Later " + std::to_string(k));
    db.exec("DELETE FROM data WHERE raw_contact_id = 7");
  }
  const std::string expected = recover(dir.file("contacts2.db"), dir.file("mmssms.db"), eContacts);
  ASSERT_NE(expected.find(platform::narrowFromUtf8("Zoë\tTab\t5550001\r\n")), std::string::npos);
  const std::string out = dir.file("out.txt");
  // Double quotes: both sh and cmd.exe take them. The leading "cd ." keeps
  // cmd.exe from stripping the first and last quote of the line.
  const auto quoted = [](const std::string& text) { return "\"" + text + "\""; };
  const std::string command = "cd . && " + quoted(ZR_CLI_PATH) + " carve --kind contacts " + quoted(dir.file("contacts2.db")) + " " +
                              quoted(dir.file("mmssms.db")) + " > " + quoted(out);
  ASSERT_EQ(std::system(command.c_str()), 0);
  const auto bytes = readFile(out);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
}
