#include "records/VCardText.h"

namespace records {

namespace {

constexpr std::size_t kMaxLineOctets = 75;
constexpr std::string_view kLineEnd = "\r\n";

bool continues(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

std::string VCardEscaped(std::string_view utf8) {
  std::string escaped;
  escaped.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size(); ++at) {
    const char c = utf8[at];
    switch (c) {
      case '\\':
        escaped += "\\\\";
        break;
      case ',':
        escaped += "\\,";
        break;
      case ';':
        escaped += "\\;";
        break;
      case '\r':
        if (at + 1 < utf8.size() && utf8[at + 1] == '\n') ++at;
        escaped += "\\n";
        break;
      case '\n':
        escaped += "\\n";
        break;
      default:
        escaped += c;
        break;
    }
  }
  return escaped;
}

std::string VCardFolded(std::string_view line) {
  std::string folded;
  folded.reserve(line.size() + line.size() / kMaxLineOctets * 3 + kLineEnd.size());
  // The first line holds 75 octets; each following one a blank and 74.
  std::size_t room = kMaxLineOctets;
  while (line.size() > room) {
    std::size_t cut = room;
    while (cut > 0 && continues(static_cast<unsigned char>(line[cut]))) --cut;
    if (cut == 0) cut = room;  // not UTF-8 at all: cut where the octets say
    folded.append(line.substr(0, cut)).append(kLineEnd).append(" ");
    line.remove_prefix(cut);
    room = kMaxLineOctets - 1;
  }
  folded.append(line).append(kLineEnd);
  return folded;
}

}  // namespace records
