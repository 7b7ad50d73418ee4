// zephyrloom-rescue: the command-line front end of the recovery core.

#include <iostream>
#include <string>
#include <vector>

#include "cli/AcquireCommand.h"
#include "cli/CarveCommand.h"
#include "cli/CommandResult.h"
#include "cli/DemoCommand.h"
#include "cli/ExportCommand.h"
#include "cli/ScanCommand.h"
#include "ProductVersion.h"
#include "platform/ProgramArguments.h"

namespace {

const char* const kUsage =
    "usage: zephyrloom-rescue COMMAND [ARGS]\n"
    "\n"
    "Recovers the contacts and text messages of an Android phone, deleted\n"
    "ones included, from copies of its contacts2.db and mmssms.db.\n"
    "\n"
    "commands:\n"
    "  acquire  copy the phone's two databases through the adb helper\n"
    "  carve    recover the deleted rows of one table as text\n"
    "  scan     recover and load every record of two copies; print the counts\n"
    "  export   recover, load and export every record to UTF-16 text files\n"
    "  demo     all of it on the demo phone: acquire, scan, export\n"
    "\n"
    "Run 'zephyrloom-rescue COMMAND --help' for a command's options, and\n"
    "'zephyrloom-rescue --version' for the version.\n";

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args = platform::ProgramArguments(argc, argv);
  if (args.empty()) {
    std::cerr << kUsage;
    return cli::kExitUsage;
  }
  const std::string& command = args.front();
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kUsage;
    return cli::kExitOk;
  }
  if (command == "--version" || command == "-V") {
    std::cout << "zephyrloom-rescue " << ZR_VERSION_TEXT << "\n";
    return cli::kExitOk;
  }
  if (command == "acquire") return cli::runAcquire(rest, std::cout, std::cerr);
  if (command == "carve") return cli::runCarve(rest, std::cerr);
  if (command == "demo") return cli::runDemo(rest, std::cout, std::cerr);
  if (command == "scan") return cli::runScan(rest, std::cout, std::cerr);
  if (command == "export") return cli::runExport(rest, std::cout, std::cerr);
  std::cerr << "zephyrloom-rescue: unknown command '" << command << "'\n" << kUsage;
  return cli::kExitUsage;
}
