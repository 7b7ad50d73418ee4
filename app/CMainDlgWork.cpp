// The main window at work: the acquisition at start, Refresh and Back; the
// scan with Pause, Continue and Stop; Recover and its export; and the close
// path that stops every worker before anything is freed. The work itself is
// the pipeline's; these members run it on the window's worker and turn its
// reports into the window's messages.

#include <shlobj.h>

#include <cstdlib>
#include <ctime>

#include "app/CMainDlg.h"
#include "controls/CMsgBox.h"
#include "platform/ProgramLocation.h"
#include "platform/TextEncoding.h"

namespace {

constexpr wchar_t kBackQuestion[] = L"Are you sure to go back to reload the data from Android phone?";
constexpr wchar_t kNoThreadText[] =
    L"The work could not be started: the system refused a new thread. Close other programs and try again.";
constexpr wchar_t kExportFolderVariable[] = L"ZEPHYRLOOM_EXPORT_FOLDER";

std::wstring wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring wideUtf8(const std::string& text) { return wide(platform::utf16FromNarrow(text)); }

}  // namespace

// ---- What the workers report ------------------------------------------------

void CMainDlg::WorkerReports::progressPosition(int percent) {
  ::SendMessageW(window_.GetDlgItem(IDC_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void CMainDlg::WorkerReports::countingDone() {
  window_.m_btnPause.ShowWindow(SW_SHOW);
  window_.m_btnStop.ShowWindow(SW_SHOW);
}

void CMainDlg::WorkerReports::categoryLoaded(const std::string& category, const std::string& caption) {
  const int kind = category == phone::kContactsCategory ? kContactsKind : kMessageKind;
  window_.Send(kCategoryLoadedMessage, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(&caption));
}

void CMainDlg::WorkerReports::copyProblem(const std::string& copy, const phone::ReadOutcome& outcome) {
  const std::wstring notice = L"The copy " + wideUtf8(copy) + L" could not be read whole (" + wideUtf8(outcome.detail) +
                              L"). The records shown are those that could be read.";
  window_.Send(kCopyProblemMessage, 0, reinterpret_cast<LPARAM>(&notice));
}

LRESULT CMainDlg::OnCategoryLoadedMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  SetCategoryLoaded(static_cast<int>(wParam), *reinterpret_cast<const std::string*>(lParam));
  return 0;
}

LRESULT CMainDlg::OnCopyProblemMessage(UINT, WPARAM, LPARAM lParam, BOOL&) {
  m_copyProblems.push_back(*reinterpret_cast<const std::wstring*>(lParam));
  return 0;
}

// ---- Workers -----------------------------------------------------------------

bool CMainDlg::StartWorker(void (CMainDlg::*body)(), const std::function<void()>& restore) {
  if (m_worker.Start([this, body] { (this->*body)(); })) return true;
  if (restore) restore();
  ShowWarning(kNoThreadText);
  return false;
}

void CMainDlg::StartAcquisition() {
  if (!m_setup.acquire) return;
  m_stopFlag = 0;
  StartWorker(&CMainDlg::AcquireThreadProc, [this] {
    // Without a worker no copies will come: the failure screen offers Refresh.
    ShowLoadFailure();
  });
}

void CMainDlg::AcquireThreadProc() {
  phone::AcquisitionSettings settings;
  settings.helperFolder = m_setup.helperFolder.empty() ? platform::ProgramFolder() : m_setup.helperFolder;
  settings.startDelay = m_setup.acquisitionDelay;
  m_pipeline.Acquire(settings);
  PostMessageW(m_hWnd, kCopiesReadyMessage, 1, 0);
}

LRESULT CMainDlg::OnCopiesReady(UINT, WPARAM wParam, LPARAM, BOOL&) {
  if (wParam != 1) return 0;
  m_worker.Join();
  m_busy = 0;
  if (m_bLoadAnimTimer != 0) {
    ::KillTimer(m_hWnd, kLoadAnimTimer);
    m_bLoadAnimTimer = 0;
  }
  m_loadAnimFrame = 0;
  if (!phone::AnyCopyExists(m_copies)) {
    ShowLoadFailure();
    phone::KillHelperProcesses();
    return 0;
  }
  m_nLoadState = kLoaded;
  m_nStep = 2;
  m_nPage = kScanPage;
  m_copyProblems.clear();
  // The records are the worker's until it ends: the tree takes no clicks.
  m_tree.EnableWindow(FALSE);
  m_tree.ShowWindow(SW_SHOW);
  ::SendMessageW(GetDlgItem(IDC_PROGRESS), PBM_SETPOS, 0, 0);
  ::ShowWindow(GetDlgItem(IDC_PROGRESS), SW_SHOW);
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  m_btnBack.ShowWindow(SW_HIDE);
  m_busyAnimation->ShowWindow(SW_SHOW);
  if (!m_busyAnimation->running()) m_busyAnimation->Start();
  m_pauseEvent.set();
  m_stopFlag = 0;
  m_busy = 1;
  StartWorker(&CMainDlg::ScanThreadProc, [this] {
    m_busy = 0;
    OnScanFinished();
  });
  return 0;
}

void CMainDlg::ScanThreadProc() {
  // The recovery runs here rather than on the window's thread, so that a
  // large phone never leaves the window unanswered; the scan page shows
  // the busy animation meanwhile.
  m_pipeline.Recover();
  m_pipeline.Scan();
  PostMessageW(m_hWnd, kScanFinishedMessage, 0, 0);
}

LRESULT CMainDlg::OnScanFinishedMessage(UINT, WPARAM, LPARAM, BOOL&) {
  m_worker.Join();
  OnScanFinished();
  for (const std::wstring& notice : m_copyProblems) ShowWarning(notice);
  m_copyProblems.clear();
  return 0;
}

// ---- Pause, Continue, Stop, Back, Refresh ----------------------------------------

LRESULT CMainDlg::OnPauseButton(WORD, WORD, HWND, BOOL&) {
  if (m_busy != 0) OnPause();
  return 0;
}

LRESULT CMainDlg::OnContinueButton(WORD, WORD, HWND, BOOL&) {
  if (m_busy != 0) OnContinue();
  return 0;
}

LRESULT CMainDlg::OnStopButton(WORD, WORD, HWND, BOOL&) {
  OnStop();
  return 0;
}

LRESULT CMainDlg::OnBackButton(WORD, WORD, HWND, BOOL&) {
  OnBack();
  return 0;
}

void CMainDlg::OnPause() {
  m_pauseEvent.reset();
  if (m_busyAnimation->running()) m_busyAnimation->Stop();
  m_btnPause.ShowWindow(SW_HIDE);
  m_btnContinue.ShowWindow(SW_SHOW);
}

void CMainDlg::OnContinue() {
  m_pauseEvent.set();
  if (!m_busyAnimation->running()) m_busyAnimation->Start();
  m_btnContinue.ShowWindow(SW_HIDE);
  m_btnPause.ShowWindow(SW_SHOW);
}

void CMainDlg::OnStop() {
  // The flag first: a paused worker, once woken, must already see it.
  m_stopFlag = 1;
  m_pauseEvent.set();
}

void CMainDlg::OnBack() {
  if (m_busy != 0) return;  // Back is hidden while a worker runs
  if (controls::CMsgBox::Show(controls::kMsgBoxWarn, controls::kMsgBoxYesNo, kBackQuestion, m_hWnd) != IDC_MSG_YES) {
    return;
  }
  ClearRecords();
  ResetCategories();
  if (m_pListView) m_pListView->ShowWindow(SW_HIDE);
  m_tree.ShowWindow(SW_HIDE);
  m_btnRecover.ShowWindow(SW_HIDE);
  m_btnBack.ShowWindow(SW_HIDE);
  ::SendMessageW(GetDlgItem(IDC_PROGRESS), PBM_SETPOS, 0, 0);
  m_nPage = kConnectPage;
  m_nStep = 1;
  m_nLoadState = kLoading;
  m_bLoadAnimTimer = 0;
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  ::UpdateWindow(m_hWnd);
  phone::DeleteCopies(m_copies);
  StartAcquisition();
}

void CMainDlg::ResetCategories() {
  if (!m_tree.IsWindow()) return;
  m_tree.SetCategory(m_hCategories[kContactsKind], L"Contacts", 0);
  m_tree.SetCategory(m_hCategories[kMessageKind], L"Message", 0);
  for (HTREEITEM item : {m_hCategories[kContactsKind], m_hCategories[kMessageKind]}) {
    if (item != nullptr) m_tree.SetCheck(item, 0);
  }
  m_tree.Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(m_hTreeRoot));
}

void CMainDlg::OnRetry() {
  m_btnRefresh.ShowWindow(SW_HIDE);
  m_helpLink.ShowWindow(SW_HIDE);
  m_nLoadState = kLoading;
  m_bLoadAnimTimer = 0;
  Invalidate();
  // The helper overwrites the copies; old ones need not go first.
  StartAcquisition();
}

// ---- Recover -----------------------------------------------------------------------

LRESULT CMainDlg::OnRecoverButton(WORD, WORD, HWND, BOOL&) {
  OnRecover();
  return 0;
}

records::ExportCategory CMainDlg::ExportCategoryOf(int kind) const {
  records::ExportCategory category;
  const HTREEITEM item = m_hCategories[kind];
  const controls::CategoryData* data = item != nullptr ? m_tree.Category(item) : nullptr;
  if (data == nullptr) return category;
  const std::wstring caption = m_tree.ItemText(item);
  category.caption.assign(caption.begin(), caption.end());
  category.checked = m_tree.GetCheck(item) != 0;
  category.holdsRecords = data->recordCount != 0;
  return category;
}

std::int32_t CMainDlg::CountCheckedRecords() const {
  return m_pipeline.CountChecked(ExportCategoryOf(kContactsKind), ExportCategoryOf(kMessageKind));
}

std::optional<std::wstring> CMainDlg::AskForExportFolder(HWND owner) {
  if (const wchar_t* chosen = _wgetenv(kExportFolderVariable); chosen != nullptr && *chosen != L'\0') {
    return std::wstring(chosen);
  }
  wchar_t path[MAX_PATH] = {};
  wchar_t title[MAX_PATH] = {};
  ::GetCurrentDirectoryW(MAX_PATH, title);
  BROWSEINFOW browse{};
  browse.hwndOwner = owner;
  browse.pszDisplayName = path;
  browse.lpszTitle = title;
  PIDLIST_ABSOLUTE list = ::SHBrowseForFolderW(&browse);
  if (list == nullptr) return std::nullopt;
  const BOOL hasPath = ::SHGetPathFromIDListW(list, path);
  ::CoTaskMemFree(list);
  return std::wstring(hasPath ? path : L"");
}

void CMainDlg::OnRecover() {
  if (m_busy != 0) return;
  const std::int32_t checked = CountCheckedRecords();
  if (checked == 0) {
    ShowWarning(wide(records::kNothingCheckedText));
    return;
  }
  const std::optional<std::wstring> folder = m_pickFolder(m_hWnd);
  if (!folder) return;
  const std::u16string picked(folder->begin(), folder->end());
  const records::ExportStart start =
      m_pipeline.PrepareExport(checked, picked, static_cast<std::int64_t>(std::time(nullptr)));
  if (start == records::ExportStart::kNoFolder) {
    ShowWarning(wide(records::kNoFolderText));
    return;
  }
  if (start == records::ExportStart::kNoRoot) {
    const records::ExportState& state = *m_pipeline.exportState();
    ShowWarning(L"Nothing was recovered: the folder " + wide(state.outputFolder) + L" could not be created (" +
                wideUtf8(state.failure) + L").");
    return;
  }
  m_exportContacts = ExportCategoryOf(kContactsKind);
  m_exportMessages = ExportCategoryOf(kMessageKind);
  ShowExportControls(true);
  m_busy = 1;
  StartWorker(&CMainDlg::ExportThreadProc, [this] {
    m_busy = 0;
    ShowExportControls(false);
  });
}

void CMainDlg::ShowExportControls(bool exporting) {
  // The export reads the check boxes' records: they stay as they are until
  // it ends.
  m_tree.EnableWindow(exporting ? FALSE : TRUE);
  if (m_pListView) m_pListView->EnableWindow(exporting ? FALSE : TRUE);
  const HWND progress = GetDlgItem(IDC_PROGRESS);
  ::SendMessageW(progress, PBM_SETPOS, exporting ? 0 : 100, 0);
  ::ShowWindow(progress, exporting ? SW_SHOW : SW_HIDE);
  m_btnRecover.ShowWindow(exporting ? SW_HIDE : SW_SHOW);
  // Back returns with Recover when the export ends.
  m_btnBack.ShowWindow(exporting ? SW_HIDE : SW_SHOW);
  m_btnPause.ShowWindow(exporting ? SW_SHOW : SW_HIDE);
  m_btnStop.ShowWindow(exporting ? SW_SHOW : SW_HIDE);
  m_btnContinue.ShowWindow(SW_HIDE);
  m_busyAnimation->ShowWindow(exporting ? SW_SHOW : SW_HIDE);
  if (exporting && !m_busyAnimation->running()) m_busyAnimation->Start();
  if (!exporting && m_busyAnimation->running()) m_busyAnimation->Stop();
}

void CMainDlg::ExportThreadProc() {
  m_pipeline.RunExport(m_exportContacts, m_exportMessages);
  PostMessageW(m_hWnd, kExportFinishedMessage, 0, 0);
}

LRESULT CMainDlg::OnExportFinished(UINT, WPARAM, LPARAM, BOOL&) {
  m_worker.Join();
  ShowExportControls(false);
  m_busy = 0;
  ReportExportEnd();
  return 0;
}

void CMainDlg::ReportExportEnd() {
  const records::ExportState* state = m_pipeline.exportState();
  if (state == nullptr) return;
  if (state->complete || state->failure.empty()) {
    // Complete, or stopped by the user: the records written so far.
    controls::CMsgBox::Show(controls::kMsgBoxRight, controls::kMsgBoxOk,
                            wide(records::FinishedText(state->contactsExported + state->messagesExported)), m_hWnd);
    return;
  }
  std::wstring text = L"The export stopped: " + wideUtf8(state->failure) + L". " +
                      std::to_wstring(state->progressCount) + L" of " + std::to_wstring(state->exportTotal) +
                      L" records were handled before it stopped";
  switch (state->incomplete) {
    case records::IncompleteExport::kMarked:
      text += L"; the folder " + wide(state->outputFolder) + L" holds \"" + wide(records::kIncompleteMarkerName) +
              L"\" saying so.";
      break;
    case records::IncompleteExport::kRemoved:
      text += L"; the incomplete folder " + wide(state->outputFolder) + L" was removed.";
      break;
    default:
      text += L"; the folder " + wide(state->outputFolder) + L" is incomplete.";
      break;
  }
  ShowWarning(text);
}

void CMainDlg::ShowWarning(const std::wstring& text) {
  controls::CMsgBox::Show(controls::kMsgBoxWarn, controls::kMsgBoxOk, text, m_hWnd);
}

// ---- Closing -------------------------------------------------------------------

void CMainDlg::StopWorkers(int endCode) {
  // A worker may be paused, waiting for a helper step, or writing: the
  // flag, the event and the end of the helper processes reach each of them.
  m_stopFlag = 1;
  m_pauseEvent.set();
  phone::KillHelperProcesses();
  if (m_worker.WaitPumping(kWorkerStopLimit)) return;
  // A worker that outlives the limit reads records this window would free:
  // end the process here, with the copies removed, rather than free them
  // under it.
  if (m_setup.acquire) phone::DeleteCopies(m_copies);
  phone::KillHelperProcesses();
  ::ExitProcess(static_cast<UINT>(endCode));
}

void CMainDlg::OnClose(int endCode) {
  StopUpdateCheck();
  StopWorkers(endCode);
  m_busy = 0;
  if (m_busyAnimation) m_busyAnimation->Stop();
  ClearRecords();
  if (m_pListView && m_pListView->IsWindow()) ::DestroyWindow(m_pListView->m_hWnd);
  m_pListView.reset();
  if (m_setup.acquire) phone::DeleteCopies(m_copies);
  if (m_bLoadAnimTimer != 0) {
    ::KillTimer(m_hWnd, kLoadAnimTimer);
    m_bLoadAnimTimer = 0;
  }
  phone::KillHelperProcesses();
  EndDialog(endCode);
}
