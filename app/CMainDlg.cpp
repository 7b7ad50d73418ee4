#include "app/CMainDlg.h"

#include <shellapi.h>

#include <vector>

#include "controls/CAboutBox.h"
#include "controls/CMsgBox.h"
#include "controls/DrawingHelpers.h"
#include "controls/GdiObjects.h"
#include "controls/TkFontPool.h"
#include "controls/WebPages.h"
#include "ProductVersion.h"
#include "platform/FileOperations.h"
#include "platform/ProgramLocation.h"
#include "platform/TextEncoding.h"
#include "records/RecordViewMessages.h"

using controls::CImgButton;
using controls::PictureWidth;

namespace {

constexpr POINT kStepPicture = {1, 74};
constexpr POINT kMenuAnchor = {884, 32};
constexpr RECT kTreeRect = {1, 32, 222, 609};
constexpr RECT kListCreateRect = {225, 32, 748, 576};
constexpr int kListRowHeight = 30;

// Where the list stands, and its columns, for each category.
struct ListColumn {
  const wchar_t* title;
  int width;
};
constexpr RECT kContactsListPlace = {225, 32, 225 + 507, 32 + 576};
constexpr RECT kMessageListPlace = {225, 32, 225 + 497, 32 + 576};
const ListColumn kContactsColumns[] = {{L"Name", 150}, {L"Phone", 170}, {L"Company", 180}, {L"Email", 150}};
// One row per conversation; Messages says how many it holds and how many
// of them were deleted.
const ListColumn kMessageColumns[] = {{L"Name", 190}, {L"Phone", 176}, {L"Messages", 130}};
constexpr POINT kHelpLinkAt = {470, 630};
constexpr RECT kProgressRect = {42, 639, 772, 659};
constexpr POINT kBusyAnimationAt = {20, 641};

constexpr COLORREF kHintTitleColour = RGB(189, 58, 6);
constexpr COLORREF kHintColour = RGB(10, 0, 0);

struct Hint {
  int x;
  int y;
  unsigned fontKey;
  COLORREF colour;
  const wchar_t* text;
};

const Hint kFailureHints[] = {
    {100, 570, 0x200, kHintTitleColour, L"Cannot load data from Android Phone, please : "},
    {120, 590, 0x100, kHintColour, L"1. Be sure you've installed the drive of your device"},
    {120, 610, 0x100, kHintColour,
     L"2. Make sure device enables USB Debugging(Setting >> Applications >> Development >> USB debugging)."},
    {120, 630, 0x100, kHintColour, L"3. Make sure you've got ROOT access on your Android phone."},
};

struct MenuEntry {
  const wchar_t* label;
  UINT id;
};

const MenuEntry kMenuEntries[] = {
    {L"Home", ID_MENU_HOME}, {L"About", ID_MENU_ABOUT}, {L"Help", ID_MENU_HELP},
    {L"Update", ID_MENU_UPDATE}, {L"Exit", ID_MENU_EXIT},
};

// A picture that loaded (a missing file leaves an object that draws nothing).
bool usable(const controls::Picture& picture) { return PictureWidth(picture) > 0; }

void drawAt(Gdiplus::Graphics& graphics, const controls::Picture& picture, POINT at) {
  if (!usable(picture)) return;
  graphics.DrawImage(picture.get(), at.x, at.y, PictureWidth(picture), controls::PictureHeight(picture));
}

void drawStretched(Gdiplus::Graphics& graphics, const controls::Picture& picture, const RECT& rect) {
  if (!usable(picture)) return;
  graphics.DrawImage(picture.get(), Gdiplus::Rect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top));
}

// Per-frame delays of an animated picture, in hundredths of a second.
std::vector<UINT> frameDelays(Gdiplus::Image& picture) {
  const UINT size = picture.GetPropertyItemSize(PropertyTagFrameDelay);
  if (size < sizeof(Gdiplus::PropertyItem)) return {};
  std::vector<std::uint8_t> buffer(size);
  auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
  if (picture.GetPropertyItem(PropertyTagFrameDelay, size, item) != Gdiplus::Ok || item->value == nullptr) return {};
  const auto* values = static_cast<const UINT*>(item->value);
  return std::vector<UINT>(values, values + item->length / sizeof(UINT));
}

}  // namespace

CMainDlg::CMainDlg() : CMainDlg(Setup{}) {}

CMainDlg::CMainDlg(Setup setup) : m_setup(std::move(setup)) {
  if (!m_setup.acquire) return;
  const std::string base =
      m_setup.copyBase.empty() ? phone::DriveRootOf(platform::ProgramFolder()) : m_setup.copyBase;
  m_copies = phone::CopyPathsIn(base);
  m_pipeline.setCopies(m_copies);
}

CMainDlg::~CMainDlg() = default;

LRESULT CMainDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  ::SetWindowTextW(m_hWnd, controls::kProductName);
  const LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
  // No caption; and the page painting leaves the children's areas alone, so
  // that a repaint of the page never covers a pane that has already drawn.
  ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_CAPTION)) | WS_CLIPCHILDREN);
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, kWidth, kHeight, SWP_NOZORDER | SWP_FRAMECHANGED);
  ShowProgramIcon();
  LoadPagePictures();
  ApplyRoundedRegion(false);
  CenterWindow();
  CreateChildControls();
  m_strVersion = ZR_VERSION_TEXT;
  StartUpdateCheckTimer();
  if (m_setup.acquire) {
    phone::PrepareCopies(m_copies);
    StartAcquisition();
  }
  return TRUE;
}

// The taskbar and Alt+Tab show the window's icon; a dialog has none of its
// own. Shared icons from the module: nothing to free.
void CMainDlg::ShowProgramIcon() {
  const HINSTANCE module = ::GetModuleHandleW(nullptr);
  const int smallSize = ::GetSystemMetrics(SM_CXSMICON), largeSize = ::GetSystemMetrics(SM_CXICON);
  const auto icon = [&](int size) {
    return reinterpret_cast<LPARAM>(
        ::LoadImageW(module, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, size, size, LR_SHARED));
  };
  ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, icon(smallSize));
  ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, icon(largeSize));
}

void CMainDlg::LoadPagePictures() {
  m_connectBackground = controls::LoadPicture(L"mainbg1.png");
  m_scanBackground = controls::LoadPicture(L"mainbg2.png");
  m_step1 = controls::LoadPicture(L"step1.png");
  m_step2 = controls::LoadPicture(L"step2.png");
}

void CMainDlg::CreateChildControls() {
  if (m_helpLink.SubclassWindow(GetDlgItem(IDC_STATIC_LINK))) {
    m_helpLink.SetLinkFont(controls::get_font(L"Arial", 16, 400));
    m_helpLink.SetLabel(L"Have Problems?");
    m_helpLink.SetTarget(controls::kOnlineHelpPage);
    const SIZE size = m_helpLink.GetIdealSize();
    ::SetWindowPos(m_helpLink.m_hWnd, nullptr, kHelpLinkAt.x, kHelpLinkAt.y, size.cx, size.cy,
                   SWP_NOZORDER | SWP_HIDEWINDOW);
  }
  m_categoryIcons[0] = controls::LoadPicture(L"contacts.png");
  m_categoryIcons[1] = controls::LoadPicture(L"message.png");
  m_loadAnimation = controls::LoadPicture(L"loaddata.gif");
  m_loadFailure = controls::LoadPicture(L"loadfail.png");
  AttachButtons();
  CreateCategoryTree();
  CreateRecordList();
  PlaceProgressAndBusyAnimation();
}

void CMainDlg::CreateCategoryTree() {
  if (!m_tree.SetUp(GetDlgItem(IDC_TREE))) return;
  ::SetWindowPos(m_tree.m_hWnd, nullptr, kTreeRect.left, kTreeRect.top, kTreeRect.right - kTreeRect.left,
                 kTreeRect.bottom - kTreeRect.top, SWP_NOZORDER | SWP_HIDEWINDOW);
  TVINSERTSTRUCTW root{};
  root.hParent = TVI_ROOT;
  root.hInsertAfter = TVI_LAST;
  root.item.mask = TVIF_TEXT | TVIF_CHILDREN;
  root.item.pszText = const_cast<wchar_t*>(L"android phone");
  root.item.cChildren = 1;
  m_hTreeRoot = reinterpret_cast<HTREEITEM>(m_tree.Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&root)));
  m_hCategories[kContactsKind] =
      m_tree.InsertCategory(m_hTreeRoot, kContactsKind, L"Contacts", m_categoryIcons[0].get());
  m_hCategories[kMessageKind] = m_tree.InsertCategory(m_hTreeRoot, kMessageKind, L"Message", m_categoryIcons[1].get());
  m_tree.Send(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(m_hTreeRoot));
}

void CMainDlg::CreateRecordList() {
  m_pListView = std::make_unique<controls::CListViewCheck1>();
  m_pListView->m_nItemHeight = kListRowHeight;
  if (m_pListView->CreateList(m_hWnd, kListCreateRect, IDC_LIST) == nullptr) {
    m_pListView.reset();
    return;
  }
  m_pListView->ShowWindow(SW_HIDE);
}

void CMainDlg::AttachButtons() {
  struct Placement {
    CImgButton* button;
    int id;
    const wchar_t* strip;
    int x, y, frames;
    bool shown;
  };
  const Placement placements[] = {
      {&m_btnMinimize, IDC_MINIMIZE, L"min.png", -29, 5, 4, true},
      {&m_btnClose, IDC_CLOSE, L"close.png", -8, 5, 4, true},
      {&m_btnMenu, IDC_MENU, L"menu.png", -50, 5, 3, true},
      {&m_btnHome, IDC_HOME, L"btn_home.png", -120, 5, 4, true},
      {&m_btnHelp, IDC_HELPBTN, L"btn_help.png", -90, 5, 4, true},
      {&m_btnBack, IDC_BACK, L"back.png", 20, -20, 3, false},
      {&m_btnPause, IDC_PAUSE, L"pause.png", -92, -20, 4, false},
      {&m_btnContinue, IDC_CONTINUE, L"continue.png", -92, -20, 4, false},
      {&m_btnStop, IDC_STOP, L"stop.png", -20, -20, 4, false},
      {&m_btnRecover, IDC_RECOVER, L"recover.png", -30, -20, 3, false},
      {&m_btnRefresh, IDC_REFRESH, L"refresh.png", -30, -35, 3, false},
  };
  for (const Placement& placement : placements) {
    placement.button->Attach(GetDlgItem(placement.id), placement.strip, placement.x, placement.y, placement.frames);
    if (!placement.shown && placement.button->IsWindow()) placement.button->ShowWindow(SW_HIDE);
  }
}

void CMainDlg::PlaceProgressAndBusyAnimation() {
  const HWND progress = GetDlgItem(IDC_PROGRESS);
  ::SendMessageW(progress, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  ::SendMessageW(progress, PBM_SETPOS, 0, 0);
  ::SetWindowPos(progress, nullptr, kProgressRect.left, kProgressRect.top, kProgressRect.right - kProgressRect.left,
                 kProgressRect.bottom - kProgressRect.top, SWP_NOZORDER | SWP_HIDEWINDOW);
  m_busyAnimation = std::make_unique<controls::CAnimateImg>(100, 100);
  m_busyAnimation->LoadStrip(L"animate.png");
  m_busyAnimation->SetFrames();
  if (m_busyAnimation->SubclassWindow(GetDlgItem(IDC_BUSY))) {
    m_busyAnimation->SetPos(kBusyAnimationAt.x, kBusyAnimationAt.y, SWP_HIDEWINDOW);
  }
}

LRESULT CMainDlg::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  controls::PaintScope paint(m_hWnd);
  DoPaint(paint.dc());
  return 0;
}

LRESULT CMainDlg::OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&) {
  DoPaint(reinterpret_cast<HDC>(wParam));
  return 0;
}

void CMainDlg::DoPaint(HDC dc) {
  controls::MemoryDC canvas(dc, RECT{0, 0, kWidth, kHeight});
  {
    Gdiplus::Graphics graphics(canvas.dc());
    if (m_nPage == kConnectPage && usable(m_connectBackground)) {
      PaintConnectPage(graphics, canvas.dc());
    } else {
      drawAt(graphics, m_scanBackground, POINT{0, 0});
    }
  }
  // The snapshots are taken from the freshly painted page, before it reaches
  // the screen, so that they never show stale pixels.
  CaptureButtonBackgrounds(canvas.dc());
}

void CMainDlg::PaintConnectPage(Gdiplus::Graphics& graphics, HDC dc) {
  drawAt(graphics, m_connectBackground, POINT{0, 0});
  if (m_nStep != 1 || !usable(m_step1)) {
    drawAt(graphics, m_step2, kStepPicture);
    return;
  }
  drawAt(graphics, m_step1, kStepPicture);
  if (usable(m_loadAnimation) && m_nLoadState == kLoading) {
    PaintLoadAnimation(graphics);
  } else if (m_nLoadState == kLoadFailed) {
    drawStretched(graphics, m_loadFailure, m_rcLoadAnim);
    graphics.Flush();
    PaintFailureHints(dc);
  }
}

void CMainDlg::PaintLoadAnimation(Gdiplus::Graphics& graphics) {
  drawStretched(graphics, m_loadAnimation, m_rcLoadAnim);
  if (m_bLoadAnimTimer == 0) {
    m_bLoadAnimTimer = 1;
    ::SetTimer(m_hWnd, kLoadAnimTimer, kFirstLoadAnimDelayMs, nullptr);
  }
}

void CMainDlg::PaintFailureHints(HDC dc) {
  for (const Hint& hint : kFailureHints) {
    controls::SelectScope font(dc, controls::TkFontPool::GetFont(hint.fontKey));
    ::SetTextColor(dc, hint.colour);
    ::TextOutW(dc, hint.x, hint.y, hint.text, lstrlenW(hint.text));
  }
}

void CMainDlg::CaptureButtonBackgrounds(HDC dc) {
  for (CImgButton* button : {&m_btnMinimize, &m_btnClose, &m_btnMenu, &m_btnHome, &m_btnHelp, &m_btnRefresh}) {
    button->CaptureBackground(dc);
  }
  if (m_nPage != kScanPage) return;
  for (CImgButton* button : {&m_btnBack, &m_btnRecover, &m_btnPause, &m_btnContinue, &m_btnStop}) {
    button->CaptureBackground(dc);
  }
}

LRESULT CMainDlg::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if (wParam == app::kUpdateCheckTimer) {
    StartUpdateCheck();
    return 0;
  }
  if (wParam != kLoadAnimTimer) {
    handled = FALSE;
    return 0;
  }
  StepLoadAnimation();
  return 0;
}

void CMainDlg::StepLoadAnimation() {
  if (m_bLoadAnimTimer == 0 || !m_loadAnimation) return;
  ::KillTimer(m_hWnd, kLoadAnimTimer);
  m_bLoadAnimTimer = 0;
  const UINT dimensions = m_loadAnimation->GetFrameDimensionsCount();
  if (dimensions == 0) return;
  std::vector<GUID> ids(dimensions);
  m_loadAnimation->GetFrameDimensionsList(ids.data(), dimensions);
  const UINT frames = m_loadAnimation->GetFrameCount(&ids[0]);
  if (frames <= 1) return;
  const std::vector<UINT> delays = frameDelays(*m_loadAnimation);
  m_loadAnimation->SelectActiveFrame(&Gdiplus::FrameDimensionTime, static_cast<UINT>(m_loadAnimFrame));
  m_loadAnimFrame = (m_loadAnimFrame + 1) % static_cast<int>(frames);
  ::InvalidateRect(m_hWnd, &m_rcLoadAnim, FALSE);
  m_bLoadAnimTimer = 1;
  const std::size_t next = static_cast<std::size_t>(m_loadAnimFrame);
  const UINT delayMs = next < delays.size() ? delays[next] * 10 : 100;
  ::SetTimer(m_hWnd, kLoadAnimTimer, delayMs, nullptr);
}

LRESULT CMainDlg::OnCtlColorStatic(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  // The help link sits on the white card of the failure screen.
  if (reinterpret_cast<HWND>(lParam) != m_helpLink.m_hWnd) {
    handled = FALSE;
    return 0;
  }
  return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
}

void CMainDlg::ShowLoadFailure() {
  m_nLoadState = kLoadFailed;
  m_btnRefresh.ShowWindow(SW_SHOW);
  m_helpLink.ShowWindow(SW_SHOW);
  Invalidate();
}

LRESULT CMainDlg::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&) {
  fw::DragByBackground(m_hWnd, lParam);
  return 0;
}

LRESULT CMainDlg::OnCloseMessage(UINT, WPARAM, LPARAM, BOOL&) {
  OnClose(0);
  return 0;
}

LRESULT CMainDlg::OnCloseButton(WORD, WORD, HWND, BOOL&) {
  OnClose(kExitCodeCloseButton);
  return 0;
}

LRESULT CMainDlg::OnMinimize(WORD, WORD, HWND, BOOL&) {
  Send(WM_SYSCOMMAND, SC_MINIMIZE);
  return 0;
}

LRESULT CMainDlg::OnMenuButton(WORD, WORD, HWND, BOOL&) {
  OnMenu();
  return 0;
}

LRESULT CMainDlg::OnHome(WORD, WORD, HWND, BOOL&) {
  OpenPage(controls::kProductPage);
  return 0;
}

LRESULT CMainDlg::OnHelpButton(WORD, WORD, HWND, BOOL&) {
  OpenPage(controls::kSupportPage);
  return 0;
}

LRESULT CMainDlg::OnRefresh(WORD, WORD, HWND, BOOL&) {
  OnRetry();
  return 0;
}

HMENU CMainDlg::BuildMainMenu() {
  const HMENU menu = ::CreatePopupMenu();
  if (menu == nullptr) return nullptr;
  for (const MenuEntry& entry : kMenuEntries) ::AppendMenuW(menu, MF_STRING, entry.id, entry.label);
  return menu;
}

void CMainDlg::OnMenu() {
  const HMENU menu = BuildMainMenu();
  if (menu == nullptr) return;
  POINT at = kMenuAnchor;
  ::ClientToScreen(m_hWnd, &at);
  const UINT chosen =
      static_cast<UINT>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, m_hWnd, nullptr));
  ::DestroyMenu(menu);
  RunMenuCommand(chosen);
}

void CMainDlg::RunMenuCommand(UINT id) {
  switch (id) {
    case ID_MENU_HOME:
      OpenPage(controls::kProductPage);
      break;
    case ID_MENU_ABOUT: {
      controls::CAboutBox about(m_hWnd);
      about.DoModal(m_hWnd);
      break;
    }
    case ID_MENU_HELP:
      OpenPage(controls::kOnlineHelpPage);
      break;
    case ID_MENU_UPDATE:
      RunUpdater();
      break;
    case ID_MENU_EXIT:
      OnClose(0);
      break;
    default:
      break;  // dismissed
  }
}

// The "Update" menu entry and a Yes to the update prompt: the updater beside
// the program, started in the program's folder without arguments.
void CMainDlg::RunUpdater() {
  const std::string folder = platform::ProgramFolder();
  const std::wstring updater = platform::wideFromNarrow(platform::joinPath(folder, "SelfRefresh.exe"));
  if (::GetFileAttributesW(updater.c_str()) == INVALID_FILE_ATTRIBUTES) {
    controls::CMsgBox::Show(controls::kMsgBoxInfo, controls::kMsgBoxOk,
                            L"The updater SelfRefresh.exe was not found beside the program.", m_hWnd);
    return;
  }
  ::ShellExecuteW(m_hWnd, L"open", updater.c_str(), nullptr, platform::wideFromNarrow(folder).c_str(), SW_SHOWNORMAL);
}

// The update check: timer 3 starts it once, a second after the window
// opened; the worker asks through OnUpdatePrompt; closing stops it.

void CMainDlg::StartUpdateCheckTimer() {
  ::SetTimer(m_hWnd, app::kUpdateCheckTimer, app::kUpdateCheckDelayMs, nullptr);
}

void CMainDlg::StartUpdateCheck() {
  ::KillTimer(m_hWnd, app::kUpdateCheckTimer);
  m_updateCheck.Start(m_hWnd, m_strVersion, app::UpdateSourceOfProcess());
}

LRESULT CMainDlg::OnUpdatePrompt(UINT, WPARAM, LPARAM, BOOL&) {
  const bool update = m_updateCheck.Prompt([this] {
    return controls::CMsgBox::Show(controls::kMsgBoxInfo, controls::kMsgBoxYesNo,
                                   L"New version found,are you sure to Update?", m_hWnd) == IDC_MSG_YES;
  });
  if (update) RunUpdater();
  return 0;
}

void CMainDlg::StopUpdateCheck() {
  ::KillTimer(m_hWnd, app::kUpdateCheckTimer);
  m_updateCheck.Stop();
}

void CMainDlg::SetRecoveredFindings(std::shared_ptr<const phone::RecoveredFindings> findings) {
  m_pipeline.SetFindings(std::move(findings));
}

records::ExportRecords CMainDlg::RecordsView() const {
  return m_pipeline.View();
}

void CMainDlg::SetCategoryLoaded(int kind, const std::string& caption) {
  if (kind < 0 || kind >= kCategorySlots || m_hCategories[kind] == nullptr) return;
  const std::u16string text = platform::utf16FromNarrow(caption);
  m_tree.SetCategory(m_hCategories[kind], reinterpret_cast<const wchar_t*>(text.c_str()), 1);
}

void CMainDlg::OnScanFinished() {
  if (m_busyAnimation) {
    if (m_busyAnimation->running()) m_busyAnimation->Stop();
    m_busyAnimation->ShowWindow(SW_HIDE);
  }
  for (CImgButton* button : {&m_btnPause, &m_btnContinue, &m_btnStop}) button->ShowWindow(SW_HIDE);
  ::ShowWindow(GetDlgItem(IDC_PROGRESS), SW_HIDE);
  m_busy = 0;
  m_nPage = kScanPage;
  m_nStep = 2;
  m_btnBack.ShowWindow(SW_SHOW);
  m_btnRecover.ShowWindow(SW_SHOW);
  if (m_tree.IsWindow()) {
    for (HTREEITEM item : {m_hTreeRoot, m_hCategories[kContactsKind], m_hCategories[kMessageKind]}) {
      if (item != nullptr) m_tree.SetCheck(item, 1);
    }
    m_tree.EnableWindow(TRUE);
    m_tree.ShowWindow(SW_SHOW);
    // Selecting Contacts fills the list; from no selection, so that it is
    // filled even when Contacts was selected before a reload.
    m_tree.Send(TVM_SELECTITEM, TVGN_CARET, 0);
    m_tree.Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(m_hCategories[kContactsKind]));
  }
  Invalidate();
}

int CMainDlg::CategoryKindOf(HTREEITEM item) const {
  const controls::CategoryData* data = m_tree.Category(item);
  return data != nullptr ? data->index : -1;
}

LRESULT CMainDlg::OnTreeSelChanged(int, NMHDR* header, BOOL& handled) {
  const HTREEITEM item = reinterpret_cast<NMTREEVIEWW*>(header)->itemNew.hItem;
  if (item == m_hTreeRoot) {
    handled = FALSE;  // the root shows nothing of its own
    return 0;
  }
  const controls::CategoryData* data = m_tree.Category(item);
  if (data == nullptr || data->recordCount == 0 || !m_pListView) return 0;
  m_hCurrentCategory = item;
  m_pListView->header().SetCheck(m_tree.GetCheck(item));
  m_pListView->Clear();
  if (data->index == kContactsKind) ShowContactRows();
  if (data->index == kMessageKind) ShowMessageRows();
  return 0;
}

namespace {

void placeHidden(HWND window, const RECT& place) {
  ::SetWindowPos(window, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_HIDEWINDOW);
}

}  // namespace

void CMainDlg::ShowContactRows() {
  if (m_pMsgBoard && m_pMsgBoard->IsWindow()) m_pMsgBoard->ShowWindow(SW_HIDE);
  placeHidden(m_pListView->m_hWnd, kContactsListPlace);
  int index = 0;
  for (const ListColumn& column : kContactsColumns) m_pListView->InsertColumn(index++, column.width, column.title);
  FillList(records::ContactRows(RecordsView()));
  if (!m_pContactBoard) {
    m_pContactBoard = std::make_unique<records::CContactInfoBoard>();
    if (!m_pContactBoard->Create(m_hWnd, m_records)) m_pContactBoard.reset();
  }
  m_pListView->SetRecordKind(controls::kContactRecords);
  m_pListView->ShowWindow(SW_SHOW);
  if (!m_pContactBoard) return;
  m_pContactBoard->ShowWindow(SW_SHOW);
  const LPARAM first = m_pListView->RowCount() > 0 ? m_pListView->RowData(0) : 0;
  m_pContactBoard->Send(records::kShowContactMessage, 0, first);
}

void CMainDlg::ShowMessageRows() {
  if (m_pContactBoard && m_pContactBoard->IsWindow()) m_pContactBoard->ShowWindow(SW_HIDE);
  placeHidden(m_pListView->m_hWnd, kMessageListPlace);
  int index = 0;
  for (const ListColumn& column : kMessageColumns) m_pListView->InsertColumn(index++, column.width, column.title);
  FillList(records::MessageRows(RecordsView()));
  if (!m_pMsgBoard) {
    m_pMsgBoard = std::make_unique<records::CMsgInfoBoard>();
    if (!m_pMsgBoard->Create(m_hWnd, m_records)) m_pMsgBoard.reset();
  }
  FitLastColumn();
  const bool any = m_pListView->RowCount() > 0;
  if (any) m_pListView->SelectFirstRow();
  if (m_pMsgBoard) m_pMsgBoard->Send(records::kShowConversationMessage, 0, any ? m_pListView->RowData(0) : 0);
  m_pListView->SetRecordKind(controls::kMessageRecords);
  m_pListView->ShowWindow(SW_SHOW);
  if (m_pMsgBoard) m_pMsgBoard->ShowWindow(SW_SHOW);
}

void CMainDlg::FitLastColumn() {
  // Two columns that just fit the list's width no longer do once the
  // vertical scroll bar takes its share; a horizontal bar for the last few
  // pixels helps nobody, so the last column gives them up.
  const HWND header = m_pListView->header().m_hWnd;
  const int columns = static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  if (columns < 1) return;
  int others = 0;
  for (int column = 0; column + 1 < columns; ++column) {
    others += static_cast<int>(m_pListView->Send(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)));
  }
  const int last = static_cast<int>(m_pListView->Send(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(columns - 1)));
  const int room = m_pListView->GetClientRect().right - others;
  const int scrollBar = ::GetSystemMetrics(SM_CXVSCROLL);
  if (room < last && last - room <= scrollBar + 2) {
    m_pListView->Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(columns - 1), MAKELPARAM(room, 0));
  }
}

void CMainDlg::FillList(const std::vector<records::RecordRow>& rows) {
  std::vector<controls::ListRow> listRows;
  listRows.reserve(rows.size());
  for (const records::RecordRow& row : rows) {
    controls::ListRow listRow;
    listRow.cells.reserve(row.cells.size());
    for (const std::u16string& cell : row.cells) listRow.cells.emplace_back(cell.begin(), cell.end());
    listRow.data = reinterpret_cast<LPARAM>(row.record);
    listRow.checked = row.checked;
    listRows.push_back(std::move(listRow));
  }
  m_pListView->SetRows(std::move(listRows));
}

LRESULT CMainDlg::OnListClick(int, NMHDR*, BOOL&) {
  if (!m_pListView) return 0;
  const int row = static_cast<int>(m_pListView->Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (row < 0) return 0;
  const LPARAM record = m_pListView->RowData(row);
  const int kind = CategoryKindOf(m_hCurrentCategory);
  if (kind == kContactsKind && m_pContactBoard) m_pContactBoard->Send(records::kShowContactMessage, 0, record);
  if (kind == kMessageKind && m_pMsgBoard) m_pMsgBoard->Send(records::kShowConversationMessage, 0, record);
  return 0;
}

LRESULT CMainDlg::OnListItemCheck(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  if (!m_pListView) return 0;
  const LPARAM record = m_pListView->RowData(static_cast<int>(wParam));
  const int state = lParam == 1 ? 1 : 0;
  const int kind = CategoryKindOf(m_hCurrentCategory);
  // Rows point only at records of the current category, which the window owns.
  if (record != 0 && kind == kContactsKind) reinterpret_cast<phone::ContactRecord*>(record)->checked = state;
  if (record != 0 && kind == kMessageKind) {
    reinterpret_cast<phone::ConversationRecord*>(record)->checked = static_cast<std::uint8_t>(state);
  }
  if (m_hCurrentCategory != nullptr) m_tree.SetCheck(m_hCurrentCategory, m_pListView->header().GetCheck());
  UpdateRootCheck();
  return 0;
}

void CMainDlg::UpdateRootCheck() {
  int state = 1;
  for (HTREEITEM category : m_hCategories) {
    if (category != nullptr && m_tree.GetCheck(category) == 0) {
      state = 0;
      break;
    }
  }
  if (m_hTreeRoot != nullptr) m_tree.SetCheck(m_hTreeRoot, state);
  m_tree.Invalidate();
}

LRESULT CMainDlg::OnCategoryCheck(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  const auto category = reinterpret_cast<HTREEITEM>(wParam);
  const int state = lParam == 1 ? 1 : 0;
  if (category == m_hCurrentCategory && m_pListView) {
    m_pListView->header().SetCheck(state);
    const int rows = m_pListView->RowCount();
    for (int row = 0; row < rows; ++row) m_pListView->SetCheck(row, state);
  }
  const int kind = CategoryKindOf(category);
  if (kind == kContactsKind) records::CheckAllContacts(m_records, state == 1);
  if (kind == kMessageKind) records::CheckAllMessages(m_records, state == 1);
  return 0;
}

void CMainDlg::ClearRecords() {
  if (m_pListView) m_pListView->Clear();
  if (m_pContactBoard && m_pContactBoard->IsWindow()) ::DestroyWindow(m_pContactBoard->m_hWnd);
  m_pContactBoard.reset();
  if (m_pMsgBoard && m_pMsgBoard->IsWindow()) ::DestroyWindow(m_pMsgBoard->m_hWnd);
  m_pMsgBoard.reset();
  m_hCurrentCategory = nullptr;
  m_pipeline.Clear();
}

void CMainDlg::OpenPage(const wchar_t* page) {
  ::ShellExecuteW(m_hWnd, L"open", page, nullptr, nullptr, SW_SHOWNORMAL);
}
