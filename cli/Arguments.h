#pragma once
// Small helpers the commands share for their arguments.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace cli {

// Options of the form --name VALUE (or --name=VALUE) and plain words.
struct ParsedArguments {
  std::vector<std::string> words;
  std::vector<std::pair<std::string, std::string>> options;
  std::vector<std::string> flags;
  std::string error;  // set when the arguments cannot be parsed

  std::optional<std::string> option(const std::string& name) const;
  bool flag(const std::string& name) const;
};

// `valued` names the options that take a value, `switches` those that do not.
ParsedArguments ParseArguments(const std::vector<std::string>& args, const std::vector<std::string>& valued,
                               const std::vector<std::string>& switches);

// Writes "zephyrloom-rescue COMMAND: MESSAGE" and a hint; returns exit status 2.
int UsageError(std::ostream& err, const std::string& command, const std::string& message);

// Checks that a copy exists and can be read; writes a message when not.
bool CopyIsReadable(const std::string& path, const std::string& command, std::ostream& err);

// The recovery of deleted records knows the copies by name: warns when a
// name lacks contacts2.db or mmssms.db, as nothing deleted is then recovered.
void WarnAboutCopyNames(const std::string& contacts, const std::string& sms, const std::string& command,
                        std::ostream& err);

}  // namespace cli
