#include "cli/Arguments.h"

#include <algorithm>

#include "cli/CommandResult.h"
#include "engine/PrivateWorkingCopy.h"
#include "platform/FileOperations.h"
#include "platform/RandomAccessFile.h"

namespace cli {

std::optional<std::string> ParsedArguments::option(const std::string& name) const {
  for (const auto& [key, value] : options) {
    if (key == name) return value;
  }
  return std::nullopt;
}

bool ParsedArguments::flag(const std::string& name) const {
  return std::find(flags.begin(), flags.end(), name) != flags.end();
}

ParsedArguments ParseArguments(const std::vector<std::string>& args, const std::vector<std::string>& valued,
                               const std::vector<std::string>& switches) {
  ParsedArguments parsed;
  const auto isIn = [](const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
  };
  for (std::size_t index = 0; index < args.size(); ++index) {
    const std::string& arg = args[index];
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    if (arg.size() < 2 || arg[0] != '-') {
      parsed.words.push_back(arg);
    } else if (isIn(switches, arg)) {
      parsed.flags.push_back(arg);
    } else if (isIn(valued, name) && equals != std::string::npos) {
      parsed.options.emplace_back(name, arg.substr(equals + 1));
    } else if (isIn(valued, arg)) {
      if (index + 1 >= args.size()) {
        parsed.error = arg + " needs a value";
        return parsed;
      }
      parsed.options.emplace_back(arg, args[++index]);
    } else {
      parsed.error = "unknown option '" + arg + "'";
      return parsed;
    }
  }
  return parsed;
}

int UsageError(std::ostream& err, const std::string& command, const std::string& message) {
  err << "zephyrloom-rescue " << command << ": " << message << "\n"
      << "Try 'zephyrloom-rescue " << command << " --help'.\n";
  return kExitUsage;
}

bool CopyIsReadable(const std::string& path, const std::string& command, std::ostream& err) {
  // Checked before any open: opening a FIFO for reading would wait for ever.
  const std::string problem = engine::whyNotADatabaseFile(path);
  if (!problem.empty()) {
    err << "zephyrloom-rescue " << command << ": " << problem << "\n";
    return false;
  }
  platform::RandomAccessFile file;
  if (!file.open(path)) {
    err << "zephyrloom-rescue " << command << ": cannot read " << path << "\n";
    return false;
  }
  return true;
}

void WarnAboutCopyNames(const std::string& contacts, const std::string& sms, const std::string& command,
                        std::ostream& err) {
  if (contacts.find("contacts2.db") == std::string::npos) {
    err << "zephyrloom-rescue " << command << ": warning: no deleted record is recovered from " << contacts
        << ": a contacts copy's name must contain contacts2.db\n";
  }
  if (sms.find("mmssms.db") == std::string::npos) {
    err << "zephyrloom-rescue " << command << ": warning: no deleted message is recovered from " << sms
        << ": an SMS copy's name must contain mmssms.db\n";
  }
}

}  // namespace cli
