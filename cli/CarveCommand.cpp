#include "cli/CarveCommand.h"

#include "cli/CommandResult.h"
#include "deep/DeepRecovery.h"
#include "engine/PrivateWorkingCopy.h"
#include "engine/SqliteParse.h"
#include "platform/StandardStreams.h"

namespace cli {

const char* const kCarveUsage =
    "usage: zephyrloom-rescue carve --kind contacts|sms [--deep] CONTACTS_DB SMS_DB\n"
    "\n"
    "Recovers the deleted rows of one table from copies of a phone's databases\n"
    "and writes the recovered-record text to standard output, one record per\n"
    "line ending in CR LF, fields separated by tabs, N/A for a missing value.\n"
    "\n"
    "  --kind contacts   carve the contacts 'data' table of CONTACTS_DB\n"
    "                    (a copy whose name contains contacts2.db)\n"
    "  --kind sms        carve the 'sms' table of SMS_DB (a copy whose name\n"
    "                    contains mmssms.db); CONTACTS_DB names the senders\n"
    "  --deep            after those lines, the deleted rows found beyond the\n"
    "                    free space of the table's pages: in the copy's -wal\n"
    "                    and -journal, in raw contacts marked deleted, in\n"
    "                    cells of every alignment and on freelist pages\n"
    "\n"
    "Both paths are always given, as a recovery session takes them. The files\n"
    "are read through private working copies and never changed. Exit status 0\n"
    "also when nothing was recovered; 1 when a copy is missing or is not a\n"
    "regular file; 2 for a usage error.\n";

namespace {

int usageError(std::ostream& err, const std::string& message) {
  err << "zephyrloom-rescue carve: " << message << "\n"
      << "Try 'zephyrloom-rescue carve --help'.\n";
  return kExitUsage;
}

// The session recovers nothing, without a word, from a copy it cannot read
// or whose name it does not know; the command says so. False when a copy the
// session needs cannot be read at all.
bool checkCopies(const std::string& kind, const std::string& contacts, const std::string& sms, std::ostream& err) {
  std::vector<std::string> needed{contacts};
  if (kind == "sms") needed.push_back(sms);
  for (const std::string& path : needed) {
    const std::string problem = engine::whyNotADatabaseFile(path);
    if (!problem.empty()) {
      err << "zephyrloom-rescue carve: " << problem << "\n";
      return false;
    }
  }
  const bool contactsNamed = contacts.find("contacts2.db") != std::string::npos;
  if (kind == "contacts" && !contactsNamed) {
    err << "zephyrloom-rescue carve: warning: nothing is recovered from " << contacts
        << ": a contacts copy's name must contain contacts2.db\n";
  }
  if (kind == "sms" && sms.find("mmssms.db") == std::string::npos) {
    err << "zephyrloom-rescue carve: warning: nothing is recovered from " << sms
        << ": an SMS copy's name must contain mmssms.db\n";
  } else if (kind == "sms" && !contactsNamed) {
    err << "zephyrloom-rescue carve: warning: senders are not named: " << contacts
        << " is not read, as a contacts copy's name must contain contacts2.db\n";
  }
  return true;
}

}  // namespace

int runCarve(const std::vector<std::string>& args, std::ostream& err) {
  std::string kind;
  bool deepPass = false;
  std::vector<std::string> paths;
  for (std::size_t index = 0; index < args.size(); ++index) {
    const std::string& arg = args[index];
    if (arg == "--help" || arg == "-h") {
      platform::writeStdoutBinary(kCarveUsage);
      return kExitOk;
    }
    if (arg == "--kind") {
      if (index + 1 >= args.size()) return usageError(err, "--kind needs a value: contacts or sms");
      kind = args[++index];
    } else if (arg == "--deep") {
      deepPass = true;
    } else if (arg.rfind("--kind=", 0) == 0) {
      kind = arg.substr(7);
    } else if (arg.size() > 1 && arg[0] == '-') {
      return usageError(err, "unknown option '" + arg + "'");
    } else {
      paths.push_back(arg);
    }
  }
  if (kind.empty()) return usageError(err, "missing --kind contacts|sms");
  if (kind != "contacts" && kind != "sms") return usageError(err, "--kind must be contacts or sms, not '" + kind + "'");
  if (paths.size() != 2) return usageError(err, "expected CONTACTS_DB and SMS_DB, got " + std::to_string(paths.size()) + " path(s)");

  if (!checkCopies(kind, paths[0], paths[1], err)) return kExitFailure;
  SqliteParse session(paths[0], paths[1]);
  const ePaserType type = kind == "contacts" ? eContacts : eSms;
  session.startParse(type);
  std::string text = session.get_contacts_mem();
  if (deepPass) text = deep::WithDeepLines(paths[0], paths[1], type, text);
  if (!platform::writeStdoutBinary(text)) {
    err << "zephyrloom-rescue carve: cannot write to standard output\n";
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace cli
