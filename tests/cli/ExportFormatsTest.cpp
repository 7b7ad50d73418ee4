// `export --format csv|html|vcard|smsxml` end to end on a crafted phone
// whose texts are made to break exports (commas, semicolons, backslashes,
// quotes, line breaks, tabs, emoji, Chinese, formulas, markup, a long body,
// bytes that are no UTF-8), live and deleted: the files the command line
// writes are read back by real readers, Python's csv module and
// html.parser, python3-vobject, and expat with the messages put into an
// empty Android database (tests/cli/check_csv.py, check_report.py,
// check_vcard.py, check_smsxml.py).

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tools/ProviderSchemas.h"
#include "tests/support/TestDatabase.h"

using testing_support::TempDir;
using testing_support::TestDatabase;
namespace fs = std::filesystem;

namespace {

struct Contact {
  int id;
  std::string name;
  std::vector<std::vector<std::string>> rows;  // mimetype id, data1, data2
};

struct Message {
  int thread;
  std::string address;
  int type;  // 1 received, 2 sent
  std::string body;
};

const std::vector<Contact> kContacts = {
    {1, "<b>Bold</b> & \"Co\"", {{"2", "+14155550100", "2"}, {"3", "bold@example.com", "1"}}},
    {2, "Doe, Jane", {{"2", "=1+1", "1"}, {"4", "Acme \"Quotes\", Inc.", ""}}},
    {3, "王小明 😀", {{"2", "13800138000", "2"}}},
    {4, "@Nobody", {}},
    {5, "Back\\slash; Semi", {{"2", "+1 555; 0199", "1"}}},
};

// A body of 2,000 characters, with what vCard and XML must escape.
std::string longBody() {
  std::string body;
  while (body.size() < 2000) body += "back\\slash; semi, <b>&amp;</b> ";
  return body.substr(0, 2000);
}

// Received and sent in turn; their dates one minute apart from 2019-01-13
// 15:54:50 UTC.
const std::vector<Message> kMessages = {
    {1, "+14155550100", 1, "Hello, world"},
    {1, "+14155550100", 2, "She said \"hi\""},
    {1, "+14155550100", 1, "line one\r\nline two"},
    {1, "+14155550100", 2, "tab\there"},
    {1, "+14155550100", 1, "=1+1"},
    {1, "+14155550100", 2, "=HYPERLINK(\"http://x.example\",\"y\")"},
    {1, "+14155550100", 1, "-2 and +3 and @SUM(A1)"},
    {1, "+14155550100", 2, "<script>alert(1)</script>"},
    {1, "+14155550100", 1, "<img src=x onerror=alert(1)>"},
    {2, "+8613800138000", 1, "你好 😀🎉 emoji"},
    {2, "+8613800138000", 2, ""},
    {7, "55501", 1, "bad \xC3\x28 byte"},
    {1, "+14155550100", 2, longBody()},
};

const std::vector<std::string> kDeletedBodies = {"deleted, with a comma", "<script>deleted()</script>",
                                                 "=deleted()"};

constexpr long long kFirstDate = 1547394890000;
// Rows that make a table span pages, as on a phone.
constexpr int kFillerRows = 200;

void makeContacts(const std::string& path) {
  TestDatabase db(path);
  db.exec("BEGIN");
  db.exec("CREATE TABLE mimetypes (_id INTEGER PRIMARY KEY AUTOINCREMENT, mimetype TEXT NOT NULL)");
  for (const char* type : {"vnd.android.cursor.item/name", "vnd.android.cursor.item/phone_v2",
                           "vnd.android.cursor.item/email_v2", "vnd.android.cursor.item/organization"}) {
    db.run("INSERT INTO mimetypes (mimetype) VALUES (?)", {type});
  }
  db.exec("CREATE TABLE raw_contacts (_id INTEGER PRIMARY KEY AUTOINCREMENT, account_id INTEGER, "
          "deleted INTEGER NOT NULL DEFAULT 0, contact_id INTEGER, display_name TEXT, "
          "display_name_source INTEGER NOT NULL DEFAULT 0)");
  db.exec("CREATE TABLE contacts (_id INTEGER PRIMARY KEY AUTOINCREMENT, name_raw_contact_id INTEGER)");
  db.exec(testing_support::contactsDataSchema());
  for (const Contact& contact : kContacts) {
    const std::string id = "#" + std::to_string(contact.id);
    db.run("INSERT INTO raw_contacts (_id, contact_id, display_name, display_name_source) VALUES (?, ?, ?, 40)",
           {id, id, contact.name});
    db.run("INSERT INTO contacts (_id, name_raw_contact_id) VALUES (?, ?)", {id, id});
    db.run("INSERT INTO data (mimetype_id, raw_contact_id, data1) VALUES (1, ?, ?)", {id, contact.name});
    for (const auto& row : contact.rows) {
      db.run("INSERT INTO data (mimetype_id, raw_contact_id, data1, data2) VALUES (?, ?, ?, ?)",
             {"#" + row[0], id, row[1], row[2].empty() ? "\x01" : row[2]});
    }
  }
  // A contact deleted on the phone: its rows stay in the free space of a
  // page of the table's tree, among rows of no contact of the list.
  for (int k = 0; k < kFillerRows; ++k) testing_support::addDataRow(db, 100 + k, "filler " + std::to_string(k));
  db.run("INSERT INTO data (mimetype_id, raw_contact_id, data1) VALUES (1, 9, ?)", {"Gone, \"Person\""});
  db.run("INSERT INTO data (mimetype_id, raw_contact_id, data1, data2) VALUES (2, 9, '5550009', '2')", {});
  for (int k = 0; k < 20; ++k) testing_support::addDataRow(db, 100 + k, "later " + std::to_string(k));
  db.exec("COMMIT");
  db.exec("DELETE FROM data WHERE raw_contact_id = 9");
}

void makeSms(const std::string& path) {
  TestDatabase db(path);
  db.exec("BEGIN");
  db.exec("CREATE TABLE threads (_id INTEGER PRIMARY KEY, date INTEGER)");
  db.exec(testing_support::smsSchema());
  long long date = kFirstDate;
  for (const Message& message : kMessages) {
    db.run("INSERT INTO sms (thread_id, address, person, date, type, body) VALUES (?, ?, 0, ?, ?, ?)",
           {"#" + std::to_string(message.thread), message.address, "#" + std::to_string(date),
            "#" + std::to_string(message.type), message.body});
    date += 60000;
  }
  // Deleted messages in the free space of a page of the table's tree.
  for (int k = 0; k < kFillerRows; ++k) testing_support::addMessage(db, "555", "filler " + std::to_string(k));
  for (const std::string& body : kDeletedBodies) testing_support::addMessage(db, "+15125550163", body);
  for (int k = 0; k < 20; ++k) testing_support::addMessage(db, "555", "later " + std::to_string(k));
  db.exec("COMMIT");
  db.exec("DELETE FROM sms WHERE address = '+15125550163'");
}

std::string hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (const unsigned char byte : bytes) {
    text += digits[byte >> 4];
    text += digits[byte & 15];
  }
  return text;
}

// The field as the spreadsheet must show it: text, never a formula.
std::string asText(const std::string& value) {
  return !value.empty() && std::string("=+-@\t\r").find(value[0]) != std::string::npos ? "'" + value : value;
}

void writeRows(const std::string& path, const std::vector<std::vector<std::string>>& rows) {
  std::ofstream out(path, std::ios::binary);
  for (const auto& row : rows) {
    for (std::size_t k = 0; k < row.size(); ++k) out << (k == 0 ? "" : " ") << hex(row[k]);
    out << "\n";
  }
}

// A live text as the live-record reader hands it on: a byte that is no
// UTF-8 becomes U+FFFD.
std::string readBack(const std::string& body) { return body == "bad \xC3\x28 byte" ? "bad \xEF\xBF\xBD( byte" : body; }

std::string text(const std::string& path) {
  const auto bytes = testing_support::readFile(path);
  return std::string(bytes.begin(), bytes.end());
}

class ExportFormatsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    makeContacts(dir.file("contacts2.db"));
    makeSms(dir.file("mmssms.db"));
  }

  // Runs the command line in a zone an hour east of UTC in winter; its exit status.
  int exportAs(const std::string& format) {
    const std::string command = "TZ=Europe/Berlin \"" + std::string(ZR_CLI_PATH) + "\" export \"" +
                                dir.file("contacts2.db") + "\" \"" + dir.file("mmssms.db") + "\" --out \"" +
                                dir.file(format) + "\" --format " + format + " > \"" + dir.file("stdout.txt") +
                                "\" 2> \"" + dir.file("stderr.txt") + "\"";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  fs::path rootOf(const std::string& format) const {
    for (const auto& entry : fs::directory_iterator(dir.file(format))) return entry.path();
    return fs::path();
  }

  // Runs a check script; its output, empty when it passed.
  std::string check(const std::string& script, const fs::path& file, const std::string& expected) {
    const std::string command = std::string(ZR_PYTHON3) + " \"" + ZR_SOURCE_DIR + "/tests/cli/" + script + "\" \"" +
                                file.string() + "\" \"" + expected + "\" > \"" + dir.file("check.txt") + "\" 2>&1";
    const int status = std::system(command.c_str());
    const std::string output = text(dir.file("check.txt"));
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? std::string() : output + "(status " +
                                                                                std::to_string(status) + ")";
  }

  TempDir dir;
};

TEST_F(ExportFormatsTest, SpreadsheetReadsBackFieldForFieldThroughPythonsCsvModule) {
  ASSERT_EQ(exportAs("csv"), 0) << text(dir.file("stderr.txt"));
  const fs::path root = rootOf("csv");

  std::vector<std::vector<std::string>> contacts = {{"Record", "State", "Source", "Name", "Kind", "Type", "Value"}};
  const char* kinds[] = {"", "", "phone", "e-mail", "company"};
  const char* phoneTypes[] = {"", "Home", "Mobile"};
  // Record numbers go in the list's order: by name, ASCII letters without
  // regard to case.
  std::vector<Contact> listed(kContacts.begin(), kContacts.end());
  const auto folded = [](std::string name) {
    for (char& c : name) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return name;
  };
  std::sort(listed.begin(), listed.end(),
            [&](const Contact& a, const Contact& b) { return folded(a.name) < folded(b.name); });
  int record = 0;
  for (const Contact& contact : listed) {
    const std::string number = std::to_string(++record);
    if (contact.rows.empty()) contacts.push_back({number, "live", "live", asText(contact.name), "", "", ""});
    for (const auto& row : contact.rows) {
      const int kind = std::stoi(row[0]);
      const std::string type = kind == 2 ? phoneTypes[std::stoi(row[2])] : kind == 3 ? "Home Email" : "Company";
      contacts.push_back({number, "live", "live", asText(contact.name), kinds[kind], type, asText(row[1])});
    }
  }
  // The deleted contact: whole, its name and its number of its kind.
  contacts.push_back(
      {std::to_string(++record), "deleted", "free space", "Gone, \"Person\"", "phone", "Mobile", "5550009"});
  writeRows(dir.file("contacts.expected"), contacts);
  EXPECT_EQ(check("check_csv.py", root / "contacts.csv", dir.file("contacts.expected")), "");

  std::vector<std::vector<std::string>> messages = {
      {"State", "Source", "Name", "Number", "Type", "Date", "Direction", "Body"}};
  for (std::size_t k = 0; k < kMessages.size(); ++k) {
    const Message& message = kMessages[k];
    const std::string name = message.thread == 1 ? asText(kContacts[0].name)
                             : message.thread == 2 ? kContacts[2].name
                                                   : "";
    char date[64];
    std::snprintf(date, sizeof date, "2019-01-13T%02zu:%02zu:50+01:00", 16 + (54 + k) / 60, (54 + k) % 60);
    const std::string body = readBack(message.body);
    messages.push_back({"live", "live", name, asText(message.address), message.type == 1 ? "Inbox" : "Sent", date,
                        message.type == 1 ? "received" : "sent", asText(body)});
  }
  const std::string fillerDate = "2020-09-13T14:26:40+02:00";  // addMessage's 1600000000000
  for (int k = 0; k < kFillerRows; ++k) {
    messages.push_back({"live", "live", "", "555", "Inbox", fillerDate, "received", "filler " + std::to_string(k)});
  }
  for (int k = 0; k < 20; ++k) {
    messages.push_back({"live", "live", "", "555", "Inbox", fillerDate, "received", "later " + std::to_string(k)});
  }
  for (const std::string& body : kDeletedBodies) {
    // No contact has the number; the row kept its box and date.
    messages.push_back({"deleted", "free space", "", "'+15125550163", "Inbox", fillerDate, "received", asText(body)});
  }
  writeRows(dir.file("messages.expected"), messages);
  EXPECT_EQ(check("check_csv.py", root / "messages.csv", dir.file("messages.expected")), "");
}

TEST_F(ExportFormatsTest, ReportParsesAsInertPageWithABubblePerMessage) {
  ASSERT_EQ(exportAs("html"), 0) << text(dir.file("stderr.txt"));
  std::ofstream expected(dir.file("report.expected"), std::ios::binary);
  for (const Message& message : kMessages) {
    const std::string body = readBack(message.body);
    expected << (message.type == 1 ? "in " : "out ") << hex(body) << "\n";
  }
  for (int k = 0; k < kFillerRows; ++k) expected << "in " << hex("filler " + std::to_string(k)) << "\n";
  for (int k = 0; k < 20; ++k) expected << "in " << hex("later " + std::to_string(k)) << "\n";
  for (const std::string& body : kDeletedBodies) expected << "del " << hex(body) << "\n";
  for (const Contact& contact : kContacts) expected << "contact " << hex(contact.name) << "\n";
  expected << "deleted-contact " << hex("Gone, \"Person\"") << "\n";
  expected.close();
  EXPECT_EQ(check("check_report.py", rootOf("html") / "report.html", dir.file("report.expected")), "");
}

TEST_F(ExportFormatsTest, PhoneFilesReadBackThroughTheReadersOfPhones) {
  ASSERT_EQ(exportAs("vcard"), 0) << text(dir.file("stderr.txt"));
  {
    std::ofstream expected(dir.file("vcard.expected"), std::ios::binary);
    const char* types[] = {"", "HOME,VOICE", "CELL"};
    const auto joined = [](std::vector<std::string> values) {
      std::sort(values.begin(), values.end());
      std::string all;
      for (const std::string& value : values) all += (all.empty() ? "" : "\x1f") + value;
      return all;
    };
    for (const Contact& contact : kContacts) {
      std::vector<std::string> tels, emails, orgs;
      for (const auto& row : contact.rows) {
        const int kind = std::stoi(row[0]);
        if (kind == 2) tels.push_back(std::string(types[std::stoi(row[2])]) + "|" + row[1]);
        if (kind == 3) emails.push_back("HOME,INTERNET|" + row[1]);
        if (kind == 4) orgs.push_back(row[1]);
      }
      expected << hex(contact.name) << " " << hex(joined(tels)) << " " << hex(joined(emails)) << " "
               << hex(joined(orgs)) << "\n";
    }
    expected << hex("Gone, \"Person\"") << " " << hex("CELL|5550009") << "  " << " " << hex("deleted") << "\n";
  }
  EXPECT_EQ(check("check_vcard.py", rootOf("vcard") / "contacts.vcf", dir.file("vcard.expected")), "");

  ASSERT_EQ(exportAs("smsxml"), 0) << text(dir.file("stderr.txt"));
  EXPECT_NE(text(dir.file("stdout.txt")).find("1 text holds bytes that are not UTF-8"), std::string::npos)
      << "the message with a bad byte is counted";
  {
    std::ofstream expected(dir.file("smsxml.expected"), std::ios::binary);
    const auto line = [&](const std::string& address, long long date, int type, const std::string& body) {
      expected << hex(address) << " " << hex(std::to_string(date)) << " " << hex(std::to_string(type)) << " "
               << hex(body) << "\n";
    };
    for (std::size_t k = 0; k < kMessages.size(); ++k) {
      const Message& message = kMessages[k];
      line(message.address, kFirstDate + 60000 * static_cast<long long>(k), message.type, readBack(message.body));
    }
    constexpr long long kFillerDate = 1600000000000;  // addMessage's
    for (int k = 0; k < kFillerRows; ++k) line("555", kFillerDate, 1, "filler " + std::to_string(k));
    for (int k = 0; k < 20; ++k) line("555", kFillerDate, 1, "later " + std::to_string(k));
    for (const std::string& body : kDeletedBodies) line("+15125550163", kFillerDate, 1, body);
  }
  {
    TestDatabase android(dir.file("android10-mmssms.db"));
    android.exec(phone_schema::kMessagesSchema);
  }
  const fs::path xml = rootOf("smsxml") / "messages.xml";
  EXPECT_EQ(check("check_smsxml.py", xml, dir.file("android10-mmssms.db") + "\" \"" + dir.file("smsxml.expected")), "");
}

TEST_F(ExportFormatsTest, TheDemoReportShowsTheRecordOfItsAcquisition) {
  const std::string command = "\"" + std::string(ZR_CLI_PATH) + "\" demo --out \"" + dir.file("demo") +
                              "\" --format html > \"" + dir.file("stdout.txt") + "\" 2> \"" + dir.file("stderr.txt") + "\"";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << text(dir.file("stderr.txt"));
  fs::path root;
  for (const auto& entry : fs::directory_iterator(dir.file("demo"))) {
    if (entry.path().filename() != "phone") root = entry.path();
  }
  const std::string record = text((root / "zephyrloom-evidence.txt").string());
  const std::string report = text((root / "report.html").string());
  EXPECT_NE(report.find("<section id=\"evidence\">"), std::string::npos);
  int hashes = 0;
  for (std::size_t at = record.find("sha256: "); at != std::string::npos; at = record.find("sha256: ", at + 1)) {
    const std::string hash = record.substr(at + 8, 64);
    EXPECT_NE(report.find("SHA-256 " + hash + "</td>"), std::string::npos) << hash;
    ++hashes;
  }
  EXPECT_EQ(hashes, 2);
}

TEST_F(ExportFormatsTest, AnUnknownFormatIsAUsageError) {
  EXPECT_EQ(exportAs("pdf"), 2);
  EXPECT_NE(text(dir.file("stderr.txt")).find("unknown format 'pdf'"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir.file("pdf")));
}

}  // namespace
