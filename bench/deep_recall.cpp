// Recall and precision of the recovered records on phones with a list of
// what was deleted (tools/make-android-phones): the session alone, the
// session with the deep pass, the deep pass's own lines, and each source of
// the deep pass alone.
//
//   deep_recall PHONE_FOLDER...
//
// Recall: deleted rows whose value comes back whole in some line (a contact
// row's data1 as a field; a message's address and body together).
// Precision: lines whose values all belong to deleted rows ("N/A" and the
// sender's name aside); a "[search index]" line is right when its words are
// the words of a deleted message, and counts apart from whole recall.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "deep/DeepRecovery.h"
#include "deep/FullTextIndex.h"
#include "engine/SqliteParse.h"

namespace {

struct Truth {
  std::set<std::string> contacts;                          // data1 values
  std::set<std::pair<std::string, std::string>> messages;  // address, body
  std::set<std::string> messageWords;                       // bodies as the index has them
};

Truth readTruth(const std::string& path) {
  Truth truth;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t tab = line.find('\t');
    if (line.compare(0, tab, "contact") == 0) {
      truth.contacts.insert(line.substr(tab + 1));
    } else {
      const std::size_t second = line.find('\t', tab + 1);
      truth.messages.emplace(line.substr(tab + 1, second - tab - 1), line.substr(second + 1));
      truth.messageWords.insert(deep::fullTextWords(line.substr(second + 1)));
    }
  }
  return truth;
}

std::vector<std::vector<std::string>> linesOf(const std::string& text) {
  std::vector<std::vector<std::string>> lines;
  std::size_t start = 0;
  for (std::size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
    std::vector<std::string> fields;
    std::size_t field = start;
    for (std::size_t tab = text.find('\t', field); tab != std::string::npos && tab < end; tab = text.find('\t', field)) {
      fields.push_back(text.substr(field, tab - field));
      field = tab + 1;
    }
    fields.push_back(text.substr(field, end - field));
    lines.push_back(fields);
    start = end + 2;
  }
  return lines;
}

struct Score {
  std::size_t found = 0;     // deleted rows that came back
  std::size_t deleted = 0;   // deleted rows
  std::size_t right = 0;     // lines of deleted values only
  std::size_t lines = 0;
  std::size_t wordsOnly = 0;  // deleted messages back as their words alone
};

Score scoreContacts(const std::string& text, const Truth& truth) {
  Score score;
  score.deleted = truth.contacts.size();
  std::set<std::string> found;
  for (const auto& fields : linesOf(text)) {
    ++score.lines;
    bool right = true;
    for (const std::string& value : fields) {
      if (value == "N/A") continue;
      if (truth.contacts.count(value) != 0) {
        found.insert(value);
      } else {
        right = false;
      }
    }
    if (right) ++score.right;
  }
  score.found = found.size();
  return score;
}

Score scoreMessages(const std::string& text, const Truth& truth) {
  Score score;
  score.deleted = truth.messages.size();
  std::set<std::pair<std::string, std::string>> found;
  std::set<std::string> words;
  const std::string mark = "[search index] ";
  for (const auto& fields : linesOf(text)) {
    ++score.lines;
    if (fields.size() == 3 && fields[2].compare(0, mark.size(), mark) == 0) {
      if (truth.messageWords.count(fields[2].substr(mark.size())) != 0) {
        words.insert(fields[2].substr(mark.size()));
        ++score.right;
      }
      continue;
    }
    if (fields.size() == 3 && truth.messages.count({fields[1], fields[2]}) != 0) {
      found.insert({fields[1], fields[2]});
      ++score.right;
    }
  }
  score.found = found.size();
  for (const auto& [address, body] : found) words.erase(deep::fullTextWords(body));
  score.wordsOnly = words.size();
  return score;
}

std::string percent(std::size_t part, std::size_t whole) {
  if (whole == 0) return "-";
  char text[16];
  std::snprintf(text, sizeof text, "%.1f%%", 100.0 * static_cast<double>(part) / static_cast<double>(whole));
  return text;
}

std::string ratio(std::size_t part, std::size_t whole) {
  if (whole == 0) return "-";
  char text[16];
  std::snprintf(text, sizeof text, "%.3f", static_cast<double>(part) / static_cast<double>(whole));
  return text;
}

void row(const std::string& phone, const char* kind, const char* what, const Score& score) {
  const std::string words = score.wordsOnly == 0 ? "" : " (+" + std::to_string(score.wordsOnly) + " as words)";
  std::printf("| %s | %s | %s | %zu/%zu %s%s | %zu lines, precision %s |\n", phone.c_str(), kind, what, score.found,
              score.deleted, percent(score.found, score.deleted).c_str(), words.c_str(), score.lines,
              ratio(score.right, score.lines).c_str());
}

std::string session(const std::string& contacts, const std::string& sms, ePaserType kind) {
  SqliteParse parse(contacts, sms);
  parse.startParse(kind);
  return parse.get_contacts_mem();
}

}  // namespace

int main(int argc, char** argv) {
  std::printf("| phone | kind | recovered by | recall (rows) | lines, precision |\n|---|---|---|---|---|\n");
  for (int k = 1; k < argc; ++k) {
    const std::filesystem::path folder = argv[k];
    const std::string phone = folder.filename().string();
    const std::string contacts = (folder / "contacts2.db").string();
    const std::string sms = (folder / "mmssms.db").string();
    const Truth truth = readTruth((folder / "truth.txt").string());
    for (const ePaserType kind : {eContacts, eSms}) {
      const char* kindName = kind == eContacts ? "contacts" : "sms";
      if ((kind == eContacts ? truth.contacts.size() : truth.messages.size()) == 0) continue;
      const auto score = [&](const std::string& text) {
        return kind == eContacts ? scoreContacts(text, truth) : scoreMessages(text, truth);
      };
      const std::string alone = session(contacts, sms, kind);
      const std::string deepText = deep::RecoverDeep(contacts, sms, kind, alone).text();
      row(phone, kindName, "session alone", score(alone));
      row(phone, kindName, "session + deep", score(alone + deepText));
      row(phone, kindName, "deep lines", score(deepText));
      for (std::size_t source = 0; source < deep::kSourceCount; ++source) {
        const auto which = static_cast<deep::Source>(source);
        const std::string only =
            deep::RecoverDeep(contacts, sms, kind, alone, deep::DeepOptions::only(which)).text();
        if (only.empty()) continue;
        row(phone, kindName, (std::string("deep: ") + deep::sourceName(which)).c_str(), score(only));
      }
    }
  }
  return 0;
}
