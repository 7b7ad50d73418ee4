#pragma once
// The one road from a phone to an export folder, which the window and the
// command line both drive:
//
//   Acquire   run the adb helper's four steps; the copies appear (or not)
//   Recover   the two recovery sessions carve the deleted rows of the copies
//   Scan      count, then load the live and the recovered records
//   Export    write the checked records into a new time-stamped folder
//
// The pipeline owns no thread and no window. Whoever drives it chooses the
// thread of each step, and hears of its progress through a PipelineSink:
// the window turns that into its progress bar and tree captions, the
// command line into a text bar. The pause gate and the stop flag are the
// driver's, shared by the scan and the export: Pause resets the gate,
// Continue sets it, Stop sets the flag and then the gate.
//
// The records belong to the driver too (the window keeps its own); the
// pipeline fills them on Scan and the driver frees them with Clear.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "phone/Acquisition.h"
#include "phone/PhoneRecords.h"
#include "phone/ScanWorkflow.h"
#include "platform/ManualResetEvent.h"
#include "records/ExportJob.h"
#include "records/ExportState.h"

namespace records {

// What the pipeline tells its driver. The scan's reports (progress,
// counting done, categories, unreadable copies) are those of the scan
// itself; the export adds its own progress.
class PipelineSink : public phone::ScanSink {
 public:
  // New position of the export's progress bar, 0 to 100.
  virtual void exportPosition(int /*percent*/) {}
};

// The scan's findings per category, for the front ends that show them.
struct CategoryFindings {
  std::string caption;        // "Contacts", or "Contacts (59)" once loaded
  bool holdsRecords = false;  // the scan loaded records of this category
};

// What the recovery of the two copies finds: with the deep pass, the rows of
// the sessions and of the deep pass (whole records are made of them);
// without it, the sessions' recovered-record texts (a record per line).
std::shared_ptr<const phone::RecoveredFindings> RecoverFindings(const phone::CopyPaths& copies, bool deep);

class PhonePipeline : private PipelineSink {
 public:
  PhonePipeline(phone::PhoneRecords& records, PipelineSink& sink, platform::ManualResetEvent& pauseGate,
                std::atomic<int>& stopFlag);
  PhonePipeline(const PhonePipeline&) = delete;
  PhonePipeline& operator=(const PhonePipeline&) = delete;

  // The two copies every later step reads.
  void setCopies(const phone::CopyPaths& copies) { copies_ = copies; }
  const phone::CopyPaths& copies() const { return copies_; }

  // Runs the acquisition worker's steps into the copies (settings.copies is
  // replaced by them). It ends early, skipping the steps not yet begun, once
  // the stop flag is set. True when at least one copy exists afterwards.
  bool Acquire(phone::AcquisitionSettings settings, const phone::StepObserver& onStep = nullptr);

  // The two recovery sessions on the copies, contacts first, and the deep
  // pass: their rows, kept for the scan, which makes whole deleted records
  // of them. With the deep pass turned off, the sessions' recovered-record
  // texts instead (carving alone), one deleted record per line.
  void Recover();
  // The deep pass (-wal, -journal, contacts marked deleted, freelist pages,
  // cells of every alignment) is on unless turned off here.
  void setDeepRecovery(bool on) { deep_ = on; }
  // The texts of the last recovery by carving alone (or of
  // SetRecoveredTexts); empty when the records are made from rows.
  const std::string& deletedContactsText() const;
  const std::string& deletedMessagesText() const;
  void SetRecoveredTexts(std::string deletedContacts, std::string deletedMessages);
  // What a recovery found, made elsewhere (RecoverFindings).
  void SetFindings(std::shared_ptr<const phone::RecoveredFindings> findings) { findings_ = std::move(findings); }

  // The scan, as the scan worker runs it: counting both categories, then
  // loading them, with the sink told of each step. A stop during contacts
  // skips the messages. The findings are kept for categories().
  void Scan();
  // The two passes of one category, as the scan runs them (see
  // phone::ScanWorkflow): counting gives the records loading will load,
  // loading the records loaded or -1 when stopped.
  int LoadContacts(bool counting);
  int LoadMessages(bool counting);
  int progressTotal() const;
  int progressCount() const;
  const CategoryFindings& contactsFindings() const { return contacts_; }
  const CategoryFindings& messagesFindings() const { return messages_; }
  // A copy could not be read whole during the last scan.
  bool copyUnreadable() const { return copyUnreadable_; }

  // The records as the list and the exporters read them.
  ExportRecords View() const;
  // The categories as the scan left them, every box checked (the command
  // line exports everything it found).
  ExportCategory ScannedContacts() const;
  ExportCategory ScannedMessages() const;

  // The export in three steps, as the window's Recover command takes them:
  // count what is checked, make the new root under the picked folder, and
  // write (on the export worker). The state of the running export is
  // exportState() once Prepare has made it.
  std::int32_t CountChecked(const ExportCategory& contacts, const ExportCategory& messages) const;
  ExportStart PrepareExport(std::int32_t checked, std::u16string_view pickedFolder, std::int64_t now);
  std::int32_t RunExport(const ExportCategory& contacts, const ExportCategory& messages,
                         const ExportOptions& options = ExportOptions());
  const ExportState* exportState() const { return exportState_ ? &*exportState_ : nullptr; }

  // Forgets the records, the recovered texts and the findings (Back, close).
  void Clear();

 private:
  // The scan's reports pass through here on their way to the driver's sink,
  // so that the findings are kept for the export.
  void progressPosition(int percent) override { sink_.progressPosition(percent); }
  void countingDone() override { sink_.countingDone(); }
  void categoryLoaded(const std::string& category, const std::string& caption) override;
  void copyProblem(const std::string& copy, const phone::ReadOutcome& outcome) override;
  phone::ScanWorkflow& workflow();

  phone::PhoneRecords& records_;
  PipelineSink& sink_;
  platform::ManualResetEvent& pauseGate_;
  std::atomic<int>& stopFlag_;
  phone::CopyPaths copies_;
  std::shared_ptr<const phone::RecoveredFindings> findings_;
  std::optional<phone::ScanWorkflow> workflow_;
  CategoryFindings contacts_{phone::kContactsCategory, false};
  CategoryFindings messages_{phone::kMessageCategory, false};
  bool copyUnreadable_ = false;
  bool deep_ = true;
  std::optional<ExportState> exportState_;
};

}  // namespace records
