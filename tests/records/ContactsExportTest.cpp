// The contacts export file: names and "No Name%d", the type labels, rows
// that write nothing, the "Deleted:" part, the folder name and the stop.

#include <gtest/gtest.h>

#include <string>

#include "records/ContactsExport.h"
#include "records/TypeLabels.h"
#include "tests/records/ExportTestSupport.h"

namespace records {
namespace {

using namespace records_testing;

const std::u16string kHyphens(66, u'-');

class ContactsExportTest : public ::testing::Test {
 protected:
  std::int32_t run() { return ExportContacts(build.records, category, harness.state); }
  Lines lines() const { return exportLines(harness.root() / "Contacts (9)" / "contacts.txt"); }

  RecordBuilder build;
  ExportCategory category{u"Contacts (9)", true, true};
  ExportHarness harness;
};

TEST_F(ContactsExportTest, RowsOfKnownKindsAreLinesUnderTheNameOrNoName) {
  build.contact(10, "Ann");
  build.contact(11, "", 0).checked = 0;  // unchecked: takes no number
  build.contact(12, "nickname only", 35);
  build.contact(13, "Bo");  // no rows: counted all the same
  build.dataRow(10, 1, "n", "2");
  build.dataRow(12, 1, "m", "12");
  build.dataRow(10, 4, "Ann", nullptr);  // name row: no line
  build.dataRow(10, 3, "Acme", nullptr);
  build.dataRow(10, 2, "a@b", "1");
  // The first mimetype record of a key decides; the text must match exactly.
  build.mimeType(1, "vnd.android.cursor.item/name");
  build.mimeType(7, nullptr);
  build.mimeType(8, "VND.ANDROID.CURSOR.ITEM/PHONE_V2");
  for (const std::int32_t key : {7, 8, 99}) build.dataRow(10, key, "no line", "1");

  EXPECT_EQ(run(), 3);
  EXPECT_EQ(namesIn(harness.root() / "Contacts (9)"), Lines{u"contacts.txt"});
  EXPECT_EQ(fileBytes(harness.root() / "Contacts (9)" / "contacts.txt"),
            raw("\xFF\xFE"
                "C\0o\0n\0t\0a\0c\0t\0s\0:\0\r\0\n\0"
                "A\0n\0n\0(\0M\0o\0b\0i\0l\0e\0)\0 \0:\0 \0n\0\r\0\n\0"
                "A\0n\0n\0(\0C\0o\0m\0p\0a\0n\0y\0)\0 \0:\0 \0A\0c\0m\0e\0\r\0\n\0"
                "A\0n\0n\0(\0H\0o\0m\0e\0 \0E\0m\0a\0i\0l\0)\0 \0:\0 \0a\0@\0b\0\r\0\n\0"
                "N\0o\0 \0N\0a\0m\0e\0"
                "0\0(\0)\0 \0:\0 \0m\0\r\0\n\0"));
  EXPECT_EQ(harness.state.progressCount, 3);
}

TEST_F(ContactsExportTest, TypeCodesPickTheirLabels) {
  const char16_t* phoneLabels[] = {u"",          u"Home",      u"Mobile", u"Work",  u"WorkFax",     u"HomeFax",
                                   u"Pager",     u"Other",     u"",       u"",      u"CompanyMain", u"ISDN",
                                   u"",          u"OtherFax",  u"Radio",  u"Telex", u"TTY_TTD",     u"WorkMobile",
                                   u"WorkPager", u"Assistant", u"MMS",    u""};
  const char16_t* emailLabels[] = {u"", u"Home Email", u"Work Email", u"Other Email", u"Mobile Email", u""};
  build.contact(1, "P");
  Lines expected{u"Contacts:"};
  for (int code = 0; code < 22; ++code) {
    build.dataRow(1, 1, "n", std::to_string(code).c_str());
    expected.push_back(u"P(" + std::u16string(phoneLabels[code]) + u") : n");
  }
  for (int code = 0; code < 6; ++code) {
    build.dataRow(1, 2, "e", std::to_string(code).c_str());
    expected.push_back(u"P(" + std::u16string(emailLabels[code]) + u") : e");
  }
  // Read as atoi does; absent is 0.
  for (const char* code : {" 2x", "-2", "4294967298", "x2", static_cast<const char*>(nullptr)}) {
    build.dataRow(1, 1, "n", code);
  }
  expected.insert(expected.end(), {u"P(Mobile) : n", u"P() : n", u"P() : n", u"P() : n", u"P() : n"});
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(lines(), expected);
  EXPECT_EQ(TypeCodeOf("99999999999"), 2147483647);
  EXPECT_EQ(TypeCodeOf("-99999999999"), -2147483647 - 1);
}

TEST_F(ContactsExportTest, RecoveredContactsFollowTheHyphenLine) {
  build.contact(1, "Ann").checked = 0;
  build.recoveredContact("Kenji\t555-0110");
  build.recoveredContact("N/A\t555\tmore\tfields");
  build.recoveredContact("no tab: counted, not written");
  build.recoveredContact("Unchecked\t1").checked = 0;
  build.recoveredContact("Jos\xC3\xA9\tZo\xC3\xAB");
  EXPECT_EQ(run(), 4);
  EXPECT_EQ(lines(), (Lines{u"Contacts:", kHyphens, u"Deleted:", u"Kenji : 555-0110", u"N/A : 555\tmore\tfields",
                            u16("Jos\xC3\xA9 : Zo\xC3\xAB")}));
  EXPECT_EQ(harness.state.progressCount, 4);
}

TEST_F(ContactsExportTest, WholeDeletedContactsAreWrittenAsLiveOnesAre) {
  build.contact(1, "", 0).checked = 1;  // No Name0
  const std::int32_t nadia = build.deletedContact("Nadia Kowalski").contactKey;
  build.deletedValue(nadia, 3, "Kowalski Bakery", nullptr);
  build.deletedValue(nadia, 1, "(212) 555-0137", "1");
  build.deletedValue(nadia, 2, "nadia.k@example.net", "1");
  build.deletedValue(build.deletedContact("").contactKey, 1, "555-0199", "2");
  EXPECT_EQ(run(), 3);
  EXPECT_EQ(lines(), (Lines{u"Contacts:", kHyphens, u"Deleted:", u"Nadia Kowalski(Company) : Kowalski Bakery",
                            u"Nadia Kowalski(Home) : (212) 555-0137", u"Nadia Kowalski(Home Email) : nadia.k@example.net",
                            u"No Name1(Mobile) : 555-0199"}));
  EXPECT_EQ(harness.state.contactsExported, 3);
}

TEST_F(ContactsExportTest, DeletedPartComesWithDeletedContactsAndNothingCheckedCreatesNothing) {
  build.contact(1, "Ann");
  build.recoveredContact("A\tB").checked = 0;
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(lines(), (Lines{u"Contacts:", kHyphens, u"Deleted:"}));

  build.records.recoveredContacts.clear();
  build.records.contacts = nullptr;
  harness.state.outputFolder += u"-nothing";
  EXPECT_EQ(run(), 0);
  EXPECT_FALSE(std::filesystem::exists(harness.root())) << "nothing checked: nothing created";
}

TEST_F(ContactsExportTest, FolderKeepsTheCaptionUnlessTheCategoryIsPartlyChecked) {
  build.contact(1, "Ann");
  build.contact(2, "Bo").checked = 0;
  for (const auto& [caption, checked] : {std::pair{u"Contacts (3)", false}, std::pair{u"Contacts", false},
                                         std::pair{u"Con(tacts) (3)", false}, std::pair{u"Contacts (3)", true}}) {
    category = {caption, checked, true};
    EXPECT_EQ(run(), 1);
  }
  EXPECT_EQ(namesIn(harness.root()), (Lines{u"Con(1)", u"Contacts (1)", u"Contacts (3)", u"Contacts(1)"}));
}

TEST_F(ContactsExportTest, StopBeforeALiveContactEndsTheExportAtOnce) {
  for (std::int32_t key = 1; key <= 3; ++key) build.contact(key, "C" + std::to_string(key));
  build.dataRow(1, 1, "n", "1");
  build.recoveredContact("A\tB");
  harness.afterStep = [this] { harness.stop = true; };
  EXPECT_EQ(run(), -1);
  EXPECT_EQ(lines(), (Lines{u"Contacts:", u"C1(Home) : n"}));
  EXPECT_EQ(harness.state.progressCount, 1);
}

}  // namespace
}  // namespace records
