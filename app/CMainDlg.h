#pragma once
// The program's only top-level window: a caption-less skinned dialog of
// 984 x 674 pixels with rounded corners, drawn from the skin pictures. It
// shows the connect page (loading animation, or the failure screen with its
// hints) and the scan page.

#include <memory>
#include <string>

#include "app/UpdateCheckWorker.h"
#include "controls/CAnimateImg.h"
#include "controls/CHyperLink.h"
#include "controls/CImgButton.h"
#include "controls/CListViewCheck1.h"
#include "controls/CTreeViewEx1.h"
#include "controls/Pictures.h"
#include "framework/Window.h"
#include "phone/PhoneRecords.h"
#include "records/CContactInfoBoard.h"
#include "records/CMsgInfoBoard.h"
#include "records/ExportState.h"
#include "records/RecordRows.h"
#include "resource.h"

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

  CMainDlg();
  ~CMainDlg() override;

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

  // The records of the last scan and the two recovered-record texts they
  // were imported from. The scan fills them; the window owns them.
  phone::PhoneRecords& Records() { return m_records; }
  void SetRecoveredTexts(std::string deletedContacts, std::string deletedMessages);
  // The records as the list and the export read them.
  records::ExportRecords RecordsView() const;
  // A category holds records: its caption with the count ("Contacts (59)")
  // and a record count that enables it in the tree.
  void SetCategoryLoaded(int kind, const std::string& caption);
  // The scan ended: the scan page, every box checked, Contacts selected.
  void OnScanFinished();
  // Empties the record list and drops the detail panes and every record.
  void ClearRecords();

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
  LRESULT OnTreeSelChanged(int, NMHDR*, BOOL& handled);
  LRESULT OnListClick(int, NMHDR*, BOOL&);
  LRESULT OnListItemCheck(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnCategoryCheck(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnUpdatePrompt(UINT, WPARAM, LPARAM, BOOL&);

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
  phone::PhoneRecords m_records;
  std::string m_strDeletedContacts;
  std::string m_strDeletedMessages;
};
