#include "deep/TableShape.h"

#include <algorithm>
#include <cctype>

namespace deep {

namespace {

// Keywords that start a table constraint rather than a column.
constexpr const char* kTableConstraints[] = {"CONSTRAINT", "PRIMARY", "UNIQUE", "CHECK", "FOREIGN"};
// Keywords that end a column's type name.
constexpr const char* kColumnConstraints[] = {"CONSTRAINT", "PRIMARY", "NOT",     "NULL",      "UNIQUE", "CHECK",
                                              "DEFAULT",    "COLLATE", "REFERENCES", "GENERATED", "AS"};

std::string upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

bool isOneOf(const std::string& word, const char* const* words, std::size_t count) {
  return std::find_if(words, words + count, [&](const char* w) { return word == w; }) != words + count;
}

// Splits a column definition into tokens: identifiers (bare or quoted),
// parenthesised groups and single punctuation characters.
std::vector<std::string> tokens(const std::string& text) {
  std::vector<std::string> out;
  std::size_t at = 0;
  while (at < text.size()) {
    const char c = text[at];
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++at;
    } else if (c == '"' || c == '`' || c == '[' || c == '\'') {
      const char close = c == '[' ? ']' : c;
      std::string word;
      std::size_t k = at + 1;
      for (; k < text.size(); ++k) {
        if (text[k] == close) {
          if (close != ']' && k + 1 < text.size() && text[k + 1] == close) {
            word += close;
            ++k;
            continue;
          }
          break;
        }
        word += text[k];
      }
      out.push_back(word);
      at = k + 1;
    } else if (c == '(') {
      int depth = 0;
      std::size_t k = at;
      for (; k < text.size(); ++k) {
        if (text[k] == '(') ++depth;
        if (text[k] == ')' && --depth == 0) break;
      }
      out.push_back(text.substr(at, k - at + 1));
      at = k + 1;
    } else if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || static_cast<unsigned char>(c) >= 0x80) {
      std::size_t k = at;
      while (k < text.size() && (std::isalnum(static_cast<unsigned char>(text[k])) || text[k] == '_' ||
                                 static_cast<unsigned char>(text[k]) >= 0x80)) {
        ++k;
      }
      out.push_back(text.substr(at, k - at));
      at = k;
    } else {
      out.push_back(std::string(1, c));
      ++at;
    }
  }
  return out;
}

// The definitions between the outer parentheses, split at top-level commas.
std::optional<std::vector<std::string>> definitions(const std::string& sql) {
  const std::size_t open = sql.find('(');
  if (open == std::string::npos) return std::nullopt;
  std::vector<std::string> parts;
  std::string current;
  int depth = 0;
  char quote = 0;
  for (std::size_t k = open + 1; k < sql.size(); ++k) {
    const char c = sql[k];
    if (quote != 0) {
      if (c == quote) quote = 0;
      current += c;
      continue;
    }
    if (c == '"' || c == '\'' || c == '`') quote = c;
    if (c == '[') quote = ']';
    if (c == '(') ++depth;
    if (c == ')') {
      if (depth == 0) {
        parts.push_back(current);
        return parts;
      }
      --depth;
    }
    if (c == ',' && depth == 0) {
      parts.push_back(current);
      current.clear();
      continue;
    }
    current += c;
  }
  return std::nullopt;
}

ColumnKind affinityOf(const std::string& type) {
  if (type.find("INT") != std::string::npos) return ColumnKind::kNumeric;
  if (type.find("CHAR") != std::string::npos || type.find("CLOB") != std::string::npos ||
      type.find("TEXT") != std::string::npos) {
    return ColumnKind::kText;
  }
  if (type.empty() || type.find("BLOB") != std::string::npos) return ColumnKind::kAny;
  return ColumnKind::kNumeric;
}

}  // namespace

int TableShape::columnIndex(const std::string& column) const {
  for (std::size_t k = 0; k < columns.size(); ++k) {
    if (columns[k] == column) return static_cast<int>(k);
  }
  return -1;
}

bool TableShape::fits(std::size_t column, std::uint64_t serialType) const {
  if (column >= rules.size() || serialType == 10 || serialType == 11) return false;
  const ColumnRule& rule = rules[column];
  if (serialType == 0) return !rule.notNull || rule.kind == ColumnKind::kRowidAlias;
  switch (rule.kind) {
    case ColumnKind::kRowidAlias:
      return false;
    case ColumnKind::kNumeric:
      return serialType <= 9;
    case ColumnKind::kText:
      return serialType >= 12;
    case ColumnKind::kAny:
      return true;
  }
  return false;
}

std::optional<TableShape> parseCreateTable(const std::string& sql) {
  const std::vector<std::string> head = tokens(sql.substr(0, sql.find('(')));
  if (head.size() < 3 || upper(head[0]) != "CREATE") return std::nullopt;
  for (const std::string& word : head) {
    if (upper(word) == "VIRTUAL") return std::nullopt;
  }
  const std::size_t close = sql.rfind(')');
  if (close != std::string::npos && upper(sql.substr(close)).find("WITHOUT") != std::string::npos) return std::nullopt;
  const auto parts = definitions(sql);
  if (!parts) return std::nullopt;
  TableShape shape;
  for (const std::string& part : *parts) {
    const std::vector<std::string> words = tokens(part);
    if (words.empty()) continue;
    const std::string first = upper(words[0]);
    if (isOneOf(first, kTableConstraints, std::size(kTableConstraints))) continue;
    std::string type;
    std::size_t k = 1;
    for (; k < words.size() && !isOneOf(upper(words[k]), kColumnConstraints, std::size(kColumnConstraints)); ++k) {
      if (words[k].empty() || words[k][0] != '(') type += (type.empty() ? "" : " ") + upper(words[k]);
    }
    std::string rest;
    for (; k < words.size(); ++k) rest += " " + upper(words[k]);
    ColumnRule rule;
    rule.kind = affinityOf(type);
    rule.notNull = rest.find("NOT NULL") != std::string::npos;
    if (type == "INTEGER" && rest.find("PRIMARY KEY") != std::string::npos && rest.find(" DESC") == std::string::npos) {
      rule.kind = ColumnKind::kRowidAlias;
    }
    shape.columns.push_back(words[0]);
    shape.rules.push_back(rule);
  }
  if (shape.columns.empty()) return std::nullopt;
  return shape;
}

}  // namespace deep
