// Command lines: the helper's arguments must reach it exactly as meant, on
// Windows (where the runtime cuts the line) and on POSIX (where we cut it
// by the same rules).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/CommandLine.h"

namespace platform {
namespace {

using Words = std::vector<std::string>;

TEST(CommandLine, EveryArgumentComesBackUnchanged) {
  const Words tricky = {"plain", "", "two words", "tab\there", "say \"hi\"", "C:\\Program Files\\", "back\\slash",
                        "ends\\\\", "\\\"", "\"", "a\\\\\"b", "  ", "%PATH%", "line\nend", "\"\""};
  Words argv = {"C:\\Program Files\\Zephyrloom\\zephyrloom-phone-rescue-adb-help.exe"};
  argv.insert(argv.end(), tricky.begin(), tricky.end());
  EXPECT_EQ(SplitCommandLine(BuildCommandLine(argv)), argv);
  for (const std::string& argument : tricky) {
    EXPECT_EQ(SplitCommandLine("p " + QuoteArgument(argument)), (Words{"p", argument})) << QuoteArgument(argument);
  }
  // Arguments without blanks stay as they are, so the helper's command
  // lines read as adb command lines.
  EXPECT_EQ(QuoteArgument("/data/data/x/databases/contacts2.db"), "/data/data/x/databases/contacts2.db");
  EXPECT_EQ(QuoteArgument("C:\\Zephyrloom\\contacts2.db"), "C:\\Zephyrloom\\contacts2.db");
}

TEST(CommandLine, CutByTheRuntimeRules) {
  EXPECT_EQ(SplitCommandLine(R"(p "abc" d e)"), (Words{"p", "abc", "d", "e"}));
  EXPECT_EQ(SplitCommandLine(R"(p a\\\b d"e f"g h)"), (Words{"p", R"(a\\\b)", "de fg", "h"}));
  EXPECT_EQ(SplitCommandLine(R"(p a\\\"b c d)"), (Words{"p", R"(a\"b)", "c", "d"}));
  EXPECT_EQ(SplitCommandLine(R"(p a\\\\"b c" d e)"), (Words{"p", R"(a\\b c)", "d", "e"}));
  EXPECT_EQ(SplitCommandLine(R"(p "a""b" "" x)"), (Words{"p", "a\"b", "", "x"}));
  EXPECT_EQ(SplitCommandLine(" \t p \t a\t "), (Words{"p", "a"}));
  EXPECT_EQ(SplitCommandLine("   "), Words{});
  // The program's word knows no escapes: a backslash before its closing
  // quote is part of the path.
  EXPECT_EQ(SplitCommandLine(R"("C:\Program Files\x\" a)"), (Words{R"(C:\Program Files\x\)", "a"}));
  // Why the helper's path is always quoted: unquoted, a blank ends it.
  EXPECT_EQ(SplitCommandLine(R"(C:\Program Files\x.exe pull)").front(), R"(C:\Program)");
  EXPECT_EQ(SplitCommandLine(QuoteProgramPath(R"(C:\Program Files\x.exe)") + " pull").front(),
            R"(C:\Program Files\x.exe)");
}

}  // namespace
}  // namespace platform
