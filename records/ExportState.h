#pragma once
// What the exporters read and the state they share with the window while
// an export runs: the records, the two categories of the tree, and the
// export state (root folder, total, progress count, pause event, stop flag,
// progress sink).
//
// The export worker only reads the records and their check flags; the
// window thread does not change them while an export runs.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "phone/PhoneRecords.h"
#include "phone/RecordLayouts.h"
#include "platform/ManualResetEvent.h"

namespace records {

// The records of one scan as the exporters see them: the live lists in
// library order (the message list holds the deleted messages too, each in
// its conversation), and the deleted records the lists do not hold: the
// deleted contacts with the list of their values, and the conversations
// that only deleted messages hold (the one of messages without a
// conversation last).
struct ExportRecords {
  const phone::ContactRecord* contacts = nullptr;
  const phone::DataRowRecord* dataRows = nullptr;
  const phone::MimeTypeRecord* mimeTypes = nullptr;
  const phone::ConversationRecord* conversations = nullptr;
  const phone::MessageRecord* messages = nullptr;
  std::vector<const phone::ContactRecord*> recoveredContacts;
  const phone::DataRowRecord* recoveredDataRows = nullptr;
  std::vector<const phone::ConversationRecord*> recoveredConversations;
};

// The records held by `phone`.
ExportRecords ExportRecordsOf(const phone::PhoneRecords& phone);

// The conversation of the deleted messages that have no conversation, or
// null.
const phone::ConversationRecord* LooseConversationOf(const ExportRecords& records);

// A category item of the tree ("Contacts" or "Message"), as the export
// reads it.
struct ExportCategory {
  // The full caption as shown, e.g. u"Contacts (5)".
  std::u16string caption;
  // The item's check box is checked (state image 2).
  bool checked = true;
  // The record count of its item data is non-zero: the scan loaded records
  // of this category.
  bool holdsRecords = false;
};

// What became of an export that did not end complete.
enum class IncompleteExport {
  kNotSo,    // the export is complete (or has not ended)
  kMarked,   // the root holds the marker file that explains what failed
  kRemoved,  // the marker could not be written: the root was removed
  kLeft,     // neither worked: the root is left as it is
};

// Receives the progress bar's new position, 0 to 100 (PBM_SETPOS on the
// window; a recorder in tests).
using ProgressPosition = std::function<void(std::int32_t position)>;

// The export state of the window. The pause event and the stop flag are the
// window's, shared with the scan: Pause resets the event, Continue sets it,
// Stop sets the flag and then the event (in that order, so that a paused
// worker, once woken, sees the flag and writes nothing more).
struct ExportState {
  ExportState(platform::ManualResetEvent& pause, std::atomic<int>& stop, ProgressPosition onProgress = {})
      : pauseEvent(pause), stopFlag(stop), progressPosition(std::move(onProgress)) {}

  // The export root folder, once the export is prepared.
  std::u16string outputFolder;
  // When the export was prepared, in seconds since 1970 (the root's time).
  std::int64_t startTime = 0;
  // Checked records found when the export started: the progress denominator.
  std::int32_t exportTotal = 0;
  // Records handled so far (one per contact and per conversation), for the
  // progress bar.
  std::int32_t progressCount = 0;
  // Contacts and messages written, live and deleted: what the export
  // reports when it ends.
  std::int32_t contactsExported = 0;
  std::int32_t messagesExported = 0;
  // Characters of the phone's texts that a file's format cannot hold (XML
  // 1.0 forbids most control characters), left out of it.
  std::int64_t charactersDropped = 0;
  // Set when the export ended with every record written.
  bool complete = false;
  // What was done with the root of an export that did not end complete.
  IncompleteExport incomplete = IncompleteExport::kNotSo;
  // Export files created and written in full.
  std::int32_t filesWritten = 0;
  // The first failure that ended the export: the file or folder and the
  // system's reason (UTF-8); empty while nothing failed.
  std::string failure;
  platform::ManualResetEvent& pauseEvent;
  std::atomic<int>& stopFlag;
  ProgressPosition progressPosition;

  // Keeps the first failure; the exporter then ends at once.
  void Fail(std::string reason);

  // Waits, without time-out, until the pause event is set; then true when
  // the stop flag is set (the exporter must end at once).
  bool WaitThenStopped() const;
  // One more record handled: the progress count grows by one and the sink
  // receives progress count * 100 / export total (0 to 100; 0 while the
  // total is not positive).
  void Advance();
};

// A narrow record text (the system's ANSI code page on Windows, UTF-8
// elsewhere) as UTF-16; a null text is empty.
std::u16string WideText(const char* text);
std::u16string WideText(std::string_view text);

// A number in decimal, as "%d" writes it.
std::u16string DecimalText(std::int64_t value);

// Makes the folder of a category under the export root and returns its
// path. Its name is the caption; when the category's check box is not
// checked, the caption from its first "(" on (if any) is replaced by the
// number of records exported formatted as "(%d)". The folder must be new:
// when it cannot be made (its name is taken, the disk is read-only, ...)
// the failure goes to the state and the result is empty.
std::u16string MakeCategoryFolder(ExportState& state, const ExportCategory& category, std::int32_t exported);

}  // namespace records
