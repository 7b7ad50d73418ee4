#include "platform/CommandLine.h"

namespace platform {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string QuoteArgument(std::string_view argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string_view::npos) {
    return std::string(argument);
  }
  std::string quoted = "\"";
  std::size_t pos = 0;
  while (pos < argument.size()) {
    std::size_t backslashes = 0;
    while (pos < argument.size() && argument[pos] == '\\') {
      ++backslashes;
      ++pos;
    }
    if (pos == argument.size()) {
      // Before the closing quote every backslash is doubled.
      quoted.append(backslashes * 2, '\\');
    } else if (argument[pos] == '"') {
      quoted.append(backslashes * 2 + 1, '\\');
      quoted += '"';
      ++pos;
    } else {
      quoted.append(backslashes, '\\');
      quoted += argument[pos];
      ++pos;
    }
  }
  quoted += '"';
  return quoted;
}

std::string QuoteProgramPath(std::string_view path) { return "\"" + std::string(path) + "\""; }

std::string BuildCommandLine(const std::vector<std::string>& argv) {
  std::string line;
  for (std::size_t index = 0; index < argv.size(); ++index) {
    if (index == 0) {
      line = QuoteProgramPath(argv[0]);
    } else {
      line += ' ';
      line += QuoteArgument(argv[index]);
    }
  }
  return line;
}

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> words;
  std::size_t pos = 0;
  while (pos < line.size() && isBlank(line[pos])) ++pos;
  if (pos == line.size()) return words;

  // The program: quotes group, nothing escapes.
  std::string program;
  bool quoted = false;
  while (pos < line.size() && (quoted || !isBlank(line[pos]))) {
    if (line[pos] == '"') {
      quoted = !quoted;
    } else {
      program += line[pos];
    }
    ++pos;
  }
  words.push_back(program);

  for (;;) {
    while (pos < line.size() && isBlank(line[pos])) ++pos;
    if (pos == line.size()) break;
    std::string word;
    bool inQuotes = false;
    while (pos < line.size() && (inQuotes || !isBlank(line[pos]))) {
      std::size_t backslashes = 0;
      while (pos < line.size() && line[pos] == '\\') {
        ++backslashes;
        ++pos;
      }
      if (pos < line.size() && line[pos] == '"') {
        word.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          word += '"';
          ++pos;
        } else if (inQuotes && pos + 1 < line.size() && line[pos + 1] == '"') {
          word += '"';
          pos += 2;
        } else {
          inQuotes = !inQuotes;
          ++pos;
        }
      } else {
        word.append(backslashes, '\\');
        if (pos < line.size() && (inQuotes || !isBlank(line[pos]))) {
          word += line[pos];
          ++pos;
        }
      }
    }
    words.push_back(word);
  }
  return words;
}

}  // namespace platform
