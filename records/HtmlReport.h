#pragma once
// The report to look at: one self-contained "report.html" in the export
// root that any current browser opens offline. It needs nothing beside it
// and reaches for nothing: the style is inline, there is no script, and
// its Content-Security-Policy forbids scripts, frames, forms and every
// load from anywhere (pictures only as data: addresses), so that even a
// text that slipped through could run nothing and call nowhere.
//
// What it shows, top to bottom: the counts; the evidence of the
// acquisition when one is given; a list of the checked conversations and
// each of them as chat bubbles (received on the left, sent on the right,
// with the day above and the time in each bubble; a deleted message in its
// conversation at its time, dashed, marked deleted with where it was
// found), the conversations only deleted messages hold after the live ones;
// then the checked contacts, live and deleted (each with its phone
// numbers, e-mail addresses and company, a deleted one marked with where
// it was recovered from).
//
// Every text from the phone goes through HtmlEscaped: it lands in the page
// as text and nothing else. Bubbles are plain static markup, so a
// conversation of tens of thousands of messages stays quick to open.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "phone/EvidenceRecord.h"
#include "records/ExportState.h"

namespace records {

constexpr char16_t kReportName[] = u"report.html";

// One line of the evidence record: "label: value", UTF-8.
struct ReportFact {
  std::string label;
  std::string value;
};

struct ReportOptions {
  // The acquisition's evidence record, in the order given (model, Android
  // version, serial, time, each file's size and SHA-256, ...). Empty: the
  // report has no evidence section.
  std::vector<ReportFact> evidence;
};

// The evidence section of an acquisition record: when, the phone's model,
// Android version and serial ("(not given)" when the phone did not say),
// then each pulled file with its size and SHA-256.
std::vector<ReportFact> ReportFactsOf(const phone::EvidenceRecord& record);

// The text as HTML text or attribute value: & < > " ' become character
// references, control characters other than TAB, LF and CR become U+FFFD
// (HTML has no place for them). The text must be well-formed UTF-8.
std::string HtmlEscaped(std::string_view utf8);

// Writes report.html with the checked records of the categories that hold
// records. Returns -1 when the export was stopped or the file failed (the
// failure is in the state), else the records handled, each of which
// advanced the progress once.
std::int32_t ExportReport(const ExportRecords& records, const ExportCategory& contacts,
                          const ExportCategory& messages, const ReportOptions& options, ExportState& state);

}  // namespace records
