#pragma once
// The program's only top-level window: a caption-less skinned dialog of
// 984 x 674 pixels with rounded corners, drawn from the skin pictures. It
// shows the connect page (loading animation, or the failure screen with its
// hints) and the scan page.

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/WorkerThread.h"

#include "app/UpdateCheckWorker.h"
#include "controls/CAnimateImg.h"
#include "controls/CHyperLink.h"
#include "controls/CImgButton.h"
#include "controls/CListViewCheck1.h"
#include "controls/CTreeViewEx1.h"
#include "controls/Pictures.h"
#include "framework/Window.h"
#include "phone/Acquisition.h"
#include "phone/PhoneRecords.h"
#include "platform/ManualResetEvent.h"
#include "records/CContactInfoBoard.h"
#include "records/CMsgInfoBoard.h"
#include "records/ExportState.h"
#include "records/PhonePipeline.h"
#include "records/RecordRows.h"
#include "resource.h"

// The members named for the work they do (OnCopiesReady, ScanThreadProc,
// LoadContacts, m_nPage, ...) keep the names the window's tables use.
class CMainDlg : public fw::CDialogImpl<CMainDlg> {
 public:
  enum { IDD = IDD_MAINDLG };

  static constexpr int kWidth = 984;
  static constexpr int kHeight = 674;
  static constexpr int kExitCodeCloseButton = 1000;
  static constexpr UINT_PTR kLoadAnimTimer = 2;
  static constexpr UINT kFirstLoadAnimDelayMs = 80;

  enum Page { kConnectPage = 1, kScanPage = 2 };
  // The kinds of the tree's categories (their item data).
  enum CategoryKind { kContactsKind = 0, kMessageKind = 1 };
  static constexpr int kCategorySlots = 5;
  enum LoadState { kLoading = -1, kLoadFailed = 0, kLoaded = 1 };

  // Custom messages: posted by the workers when they end.
  static constexpr UINT kScanFinishedMessage = WM_USER + 109;
  static constexpr UINT kExportFinishedMessage = WM_USER + 110;
  static constexpr UINT kCopiesReadyMessage = WM_USER + 111;
  // Sent by the scan worker, so that the tree and the notices are changed
  // on the window's own thread: a category's caption (wParam the kind,
  // lParam the caption as const std::string*), a copy that could not be
  // read whole (lParam the notice as const std::wstring*).
  static constexpr UINT kCategoryLoadedMessage = WM_APP + 1;
  static constexpr UINT kCopyProblemMessage = WM_APP + 2;

  // How long the close path waits for a running worker after stopping it.
  static constexpr std::chrono::milliseconds kWorkerStopLimit{15000};

  // Where the window takes the phone from. The program uses the defaults;
  // tests put the copies in a folder of their own, or keep the window from
  // reaching for a phone at all.
  struct Setup {
    // The folder below which the copies go; empty: the drive root of the
    // program's folder ("C:\\").
    std::string copyBase;
    // The folder of the adb helper; empty: the program's folder.
    std::string helperFolder;
    // The wait before the first helper step, for a phone just plugged in.
    std::chrono::milliseconds acquisitionDelay{5000};
    // Start the acquisition when the window opens (and on Refresh, Back).
    bool acquire = true;
  };

  // The export folder: asked with the system's folder picker, or taken
  // from the environment variable ZEPHYRLOOM_EXPORT_FOLDER when it is set
  // (scripted runs). Nothing when the user cancelled; an empty text when
  // the choice has no file-system path.
  using FolderPicker = std::function<std::optional<std::wstring>(HWND owner)>;
  static std::optional<std::wstring> AskForExportFolder(HWND owner);

  CMainDlg();
  explicit CMainDlg(Setup setup);
  ~CMainDlg() override;

  // Replaces the folder picker (tests).
  void SetFolderPicker(FolderPicker picker) { m_pickFolder = std::move(picker); }
  // The paths of the two copies.
  const phone::CopyPaths& CopyPaths() const { return m_copies; }
  // True while a scan or an export worker runs (Pause and Continue act).
  bool Busy() const { return m_busy != 0; }

  // State read and set by the scan workflow and the painting.
  int m_nPage = kConnectPage;
  int m_nStep = 1;
  int m_nLoadState = kLoading;
  int m_bLoadAnimTimer = 0;
  RECT m_rcLoadAnim = {120, 230, 905, 561};
  std::string m_strVersion;

  // Draws the current page into a DC of the client size (WM_PAINT and
  // WM_PRINTCLIENT share it).
  void DoPaint(HDC dc);
  // Shows the failure screen: hints, refresh button and help link.
  void ShowLoadFailure();

  // The records of the last scan and what the recovery found that their
  // deleted ones were made from. The scan fills them; the window owns them.
  phone::PhoneRecords& Records() { return m_records; }
  void SetRecoveredFindings(std::shared_ptr<const phone::RecoveredFindings> findings);
  // The records as the list and the export read them.
  records::ExportRecords RecordsView() const;
  // A category holds records: its caption with the count ("Contacts (59)")
  // and a record count that enables it in the tree.
  void SetCategoryLoaded(int kind, const std::string& caption);
  // The scan ended: the scan page, every box checked, Contacts selected.
  void OnScanFinished();
  // Empties the record list and drops the detail panes and every record.
  void ClearRecords();
  // The checked records of the categories that hold records.
  std::int32_t CountCheckedRecords() const;

  // The main menu: its five entries, and what choosing one does.
  static HMENU BuildMainMenu();
  void RunMenuCommand(UINT id);

  // Ends the update check: timer 3 stops, a running check may no longer
  // prompt, and its worker gets a bounded wait to end. Closing calls it
  // before anything else.
  void StopUpdateCheck();
  // The update check that timer 3 starts once.
  app::UpdateCheckWorker m_updateCheck;

  // Child controls, for the workflow that shows and hides them.
  controls::CImgButton m_btnClose, m_btnMinimize, m_btnMenu, m_btnHome, m_btnHelp, m_btnBack, m_btnPause,
      m_btnContinue, m_btnStop, m_btnRecover, m_btnRefresh;
  controls::CMyHyperLink m_helpLink;
  std::unique_ptr<controls::CAnimateImg> m_busyAnimation;
  controls::CTreeViewEx1 m_tree;
  std::unique_ptr<controls::CListViewCheck1> m_pListView;
  std::unique_ptr<records::CContactInfoBoard> m_pContactBoard;
  std::unique_ptr<records::CMsgInfoBoard> m_pMsgBoard;
  HTREEITEM m_hTreeRoot = nullptr;
  HTREEITEM m_hCategories[kCategorySlots] = {};
  HTREEITEM m_hCurrentCategory = nullptr;

  BEGIN_MSG_MAP(CMainDlg)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_PRINTCLIENT, OnPrintClient)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_DEVICECHANGE, OnDeviceChange)
    MESSAGE_HANDLER(WM_CLOSE, OnCloseMessage)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColorStatic)
    COMMAND_ID_HANDLER(IDOK, OnSwallowedKey)
    COMMAND_ID_HANDLER(IDCANCEL, OnSwallowedKey)
    COMMAND_ID_HANDLER(IDC_CLOSE, OnCloseButton)
    COMMAND_ID_HANDLER(IDC_MINIMIZE, OnMinimize)
    COMMAND_ID_HANDLER(IDC_MENU, OnMenuButton)
    COMMAND_ID_HANDLER(IDC_HOME, OnHome)
    COMMAND_ID_HANDLER(IDC_HELPBTN, OnHelpButton)
    COMMAND_ID_HANDLER(IDC_REFRESH, OnRefresh)
    COMMAND_ID_HANDLER(IDC_PAUSE, OnPauseButton)
    COMMAND_ID_HANDLER(IDC_CONTINUE, OnContinueButton)
    COMMAND_ID_HANDLER(IDC_STOP, OnStopButton)
    COMMAND_ID_HANDLER(IDC_BACK, OnBackButton)
    COMMAND_ID_HANDLER(IDC_RECOVER, OnRecoverButton)
    MESSAGE_HANDLER(kCopiesReadyMessage, OnCopiesReady)
    MESSAGE_HANDLER(kScanFinishedMessage, OnScanFinishedMessage)
    MESSAGE_HANDLER(kExportFinishedMessage, OnExportFinished)
    MESSAGE_HANDLER(kCategoryLoadedMessage, OnCategoryLoadedMessage)
    MESSAGE_HANDLER(kCopyProblemMessage, OnCopyProblemMessage)
    NOTIFY_HANDLER(IDC_TREE, TVN_SELCHANGEDW, OnTreeSelChanged)
    NOTIFY_HANDLER(IDC_LIST, NM_CLICK, OnListClick)
    MESSAGE_HANDLER(controls::kRowCheckMessage, OnListItemCheck)
    MESSAGE_HANDLER(controls::kCategoryCheckMessage, OnCategoryCheck)
    MESSAGE_HANDLER(app::kUpdateFoundMessage, OnUpdatePrompt)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnDeviceChange(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnCloseMessage(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled);
  LRESULT OnCtlColorStatic(UINT, WPARAM, LPARAM lParam, BOOL& handled);
  LRESULT OnSwallowedKey(WORD, WORD, HWND, BOOL&) { return 0; }
  LRESULT OnCloseButton(WORD, WORD, HWND, BOOL&);
  LRESULT OnMinimize(WORD, WORD, HWND, BOOL&);
  LRESULT OnMenuButton(WORD, WORD, HWND, BOOL&);
  LRESULT OnHome(WORD, WORD, HWND, BOOL&);
  LRESULT OnHelpButton(WORD, WORD, HWND, BOOL&);
  LRESULT OnRefresh(WORD, WORD, HWND, BOOL&);
  LRESULT OnPauseButton(WORD, WORD, HWND, BOOL&);
  LRESULT OnContinueButton(WORD, WORD, HWND, BOOL&);
  LRESULT OnStopButton(WORD, WORD, HWND, BOOL&);
  LRESULT OnBackButton(WORD, WORD, HWND, BOOL&);
  LRESULT OnRecoverButton(WORD, WORD, HWND, BOOL&);
  LRESULT OnCopiesReady(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnScanFinishedMessage(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnExportFinished(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnCategoryLoadedMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnCopyProblemMessage(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnTreeSelChanged(int, NMHDR*, BOOL& handled);
  LRESULT OnListClick(int, NMHDR*, BOOL&);
  LRESULT OnListItemCheck(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnCategoryCheck(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnUpdatePrompt(UINT, WPARAM, LPARAM, BOOL&);

  void ShowProgramIcon();
  void LoadPagePictures();
  void CreateChildControls();
  void AttachButtons();
  void PlaceProgressAndBusyAnimation();
  void CreateCategoryTree();
  void CreateRecordList();
  void ShowContactRows();
  void ShowMessageRows();
  void FillList(const std::vector<records::RecordRow>& rows);
  void FitLastColumn();
  void UpdateRootCheck();
  int CategoryKindOf(HTREEITEM item) const;
  void PaintConnectPage(Gdiplus::Graphics& graphics, HDC dc);
  void PaintLoadAnimation(Gdiplus::Graphics& graphics);
  void PaintFailureHints(HDC dc);
  void CaptureButtonBackgrounds(HDC dc);
  void StepLoadAnimation();
  void OnMenu();
  void OnRetry();
  void OnClose(int endCode);

  // The phone's road, on the workers (each body delegates to the pipeline).
  void StartAcquisition();
  void AcquireThreadProc();
  void ScanThreadProc();
  void ExportThreadProc();
  int LoadContacts(bool counting) { return m_pipeline.LoadContacts(counting); }
  int LoadMessages(bool counting) { return m_pipeline.LoadMessages(counting); }
  // Starts a worker; when the system refuses a thread, puts the controls
  // back with `restore` and tells the user.
  bool StartWorker(void (CMainDlg::*body)(), const std::function<void()>& restore);
  void OnPause();
  void OnContinue();
  void OnStop();
  void OnBack();
  void OnRecover();
  void ShowExportControls(bool exporting);
  void ResetCategories();
  records::ExportCategory ExportCategoryOf(int kind) const;
  void ReportExportEnd();
  // Stops the running worker and waits for it; ends the process with
  // `endCode` when it will not end.
  void StopWorkers(int endCode);
  void ShowWarning(const std::wstring& text);

  // What the workers tell the window, as the window's own messages.
  class WorkerReports : public records::PipelineSink {
   public:
    explicit WorkerReports(CMainDlg& window) : window_(window) {}
    void progressPosition(int percent) override;
    void countingDone() override;
    void categoryLoaded(const std::string& category, const std::string& caption) override;
    void copyProblem(const std::string& copy, const phone::ReadOutcome& outcome) override;
    void exportPosition(int percent) override { progressPosition(percent); }

   private:
    CMainDlg& window_;
  };
  void OpenPage(const wchar_t* page);
  void RunUpdater();
  void StartUpdateCheckTimer();
  void StartUpdateCheck();

  controls::Picture m_connectBackground;
  controls::Picture m_scanBackground;
  controls::Picture m_step1;
  controls::Picture m_step2;
  controls::Picture m_loadAnimation;
  controls::Picture m_loadFailure;
  controls::Picture m_categoryIcons[5];
  int m_loadAnimFrame = 0;
  Setup m_setup;
  phone::CopyPaths m_copies;
  phone::PhoneRecords m_records;
  // Signalled while the workers may run; reset while paused.
  platform::ManualResetEvent m_pauseEvent{false};
  std::atomic<int> m_stopFlag{0};
  // Non-zero while a scan or export worker runs.
  int m_busy = 0;
  WorkerReports m_reports{*this};
  records::PhonePipeline m_pipeline{m_records, m_reports, m_pauseEvent, m_stopFlag};
  // The categories as the export worker reads them, taken when it starts.
  records::ExportCategory m_exportContacts;
  records::ExportCategory m_exportMessages;
  // Notices of copies that could not be read whole, shown when the scan ends.
  std::vector<std::wstring> m_copyProblems;
  FolderPicker m_pickFolder = &CMainDlg::AskForExportFolder;
  // Last: it goes first, so that no worker outlives what it reads.
  app::WorkerThread m_worker;
};
