#include "tests/gui/DemoPhoneLoader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "app/CMainDlg.h"
#include "phone/ScanWorkflow.h"
#include "records/PhonePipeline.h"
#include "platform/ManualResetEvent.h"
#include "tests/gui/GuiTestSupport.h"

namespace gui_test {

namespace {

// What the window's scan sink does with a loaded category.
class CaptionSink : public phone::ScanSink {
 public:
  explicit CaptionSink(CMainDlg& window) : window_(window) {}
  void progressPosition(int) override {}
  void categoryLoaded(const std::string& category, const std::string& caption) override {
    window_.SetCategoryLoaded(category == phone::kContactsCategory ? CMainDlg::kContactsKind : CMainDlg::kMessageKind,
                              caption);
  }

 private:
  CMainDlg& window_;
};


}  // namespace

bool LoadDemoPhone(CMainDlg& window) {
  return LoadPhone(window, ZR_SOURCE_DIR "/demo/contacts2.db", ZR_SOURCE_DIR "/demo/mmssms.db");
}

bool LoadPhone(CMainDlg& window, const std::string& contacts, const std::string& sms) {
  // As the program recovers: whole deleted records, with the deep pass.
  const auto findings = records::RecoverFindings(phone::CopyPaths{contacts, sms}, true);
  CaptionSink sink(window);
  platform::ManualResetEvent gate(true);
  std::atomic<int> stop{0};
  phone::ScanWorkflow scan(window.Records(), sink, gate, stop);
  scan.setCopies(contacts, sms);
  scan.setFindings(findings);
  scan.ScanThreadProc();
  window.SetRecoveredFindings(findings);
  window.OnScanFinished();
  return window.Records().contactLists().contacts != nullptr;
}

void RunWithDemoPhone(CMainDlg& window, const std::function<void(CMainDlg&, HWND)>& drive) {
  WhenDialogAppears(nullptr, [&](HWND handle) {
    if (LoadDemoPhone(window)) {
      PumpPending();
      drive(window, handle);
    } else {
      ADD_FAILURE() << "the demo phone could not be read";
    }
    ::PostMessageW(handle, WM_CLOSE, 0, 0);
  });
  window.DoModal(nullptr);
}

CMainDlg::Setup NoPhone() {
  CMainDlg::Setup setup;
  setup.acquire = false;
  return setup;
}

}  // namespace gui_test
