// Another program running recovery sessions through the class that
// ZephyrloomRescue.exe exports: linked against the program's import
// library only, with no engine code of its own.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/SqliteParse.h"
#include "tests/export-class/ProgramImports.h"

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string demo(const char* name) { return std::string(ZR_SOURCE_DIR) + "/demo/" + name; }

}  // namespace

class ExportedSession : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(export_test::BindImportsOf(L"ZephyrloomRescue.exe")); }
};

TEST_F(ExportedSession, RecoversTheDemoPhoneThroughTheProgram) {
  for (const int kind : {0, 1}) {
    SqliteParse session(demo("contacts2.db"), demo("mmssms.db"));
    session.startParse(static_cast<ePaserType>(kind));
    const std::string text = session.get_contacts_mem();
    EXPECT_FALSE(text.empty()) << kind;
    // The characters of the golden text that the code page has come out
    // the same; compare the line count, which no conversion changes.
    const std::string golden = readFile(std::string(ZR_SOURCE_DIR) + (kind == 0 ? "/tests/golden/demo-contacts.txt"
                                                                                 : "/tests/golden/demo-sms.txt"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), std::count(golden.begin(), golden.end(), '\n')) << kind;
  }
}

TEST_F(ExportedSession, EmptyBeforeAndForMissingFiles) {
  SqliteParse session("Z:/nowhere/contacts2.db", "Z:/nowhere/mmssms.db");
  EXPECT_EQ(session.get_contacts_mem(), "");
  session.startParse(eContacts);
  EXPECT_EQ(session.get_contacts_mem(), "");
}
