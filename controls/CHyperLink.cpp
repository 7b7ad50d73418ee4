#include "controls/CHyperLink.h"

#include <shellapi.h>
#include <windowsx.h>

#include "controls/WebPages.h"
#include "platform/WindowsHandles.h"

namespace controls {

namespace {

constexpr wchar_t kLinkColorKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";
constexpr wchar_t kAnchorColor[] = L"Anchor Color";
constexpr wchar_t kAnchorColorVisited[] = L"Anchor Color Visited";
constexpr DWORD kMaxColorValueUnits = 12;  // "255,255,255" and its terminator
constexpr UINT_PTR kToolId = 1;

// One colour component: a decimal number, blanks around it allowed; taken
// modulo 256 (digit by digit, so no number is too long).
std::optional<int> parseComponent(const std::wstring& text) {
  const std::size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return std::nullopt;
  const std::size_t last = text.find_last_not_of(L" \t");
  int value = 0;
  for (std::size_t i = first; i <= last; ++i) {
    if (text[i] < L'0' || text[i] > L'9') return std::nullopt;
    value = (value * 10 + (text[i] - L'0')) % 256;
  }
  return value;
}

// A registry key opened for reading its short string values.
class RegistryKey {
 public:
  RegistryKey(HKEY root, const wchar_t* path) : key_(root, path) {}

  explicit operator bool() const { return static_cast<bool>(key_); }

  // A string value of at most `maxUnits` units (terminator included);
  // empty when missing, longer or not a string.
  std::wstring ReadShortString(const wchar_t* name, DWORD maxUnits) const {
    std::wstring value(maxUnits, L'\0');
    DWORD type = 0;
    DWORD bytes = maxUnits * sizeof(wchar_t);
    if (::RegQueryValueExW(key_.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value[0]), &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
      return std::wstring();
    }
    value.resize(bytes / sizeof(wchar_t));
    return value.substr(0, value.find(L'\0'));
  }

 private:
  platform::UniqueRegistryKey key_;
};

bool openInBrowser(const std::wstring& url) {
  const auto result = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

CHyperLink::PageOpener& pageOpener() {
  static CHyperLink::PageOpener opener;
  return opener;
}

// The same font, underlined; null when it cannot be made.
HFONT underlinedCopy(HFONT font) {
  LOGFONTW description{};
  if (::GetObjectW(font, sizeof description, &description) == 0) return nullptr;
  description.lfUnderline = TRUE;
  return ::CreateFontIndirectW(&description);
}

// The label drawing formats: the label is shown as it stands ("&" too).
constexpr UINT kLabelFormat = DT_NOPREFIX;

}  // namespace

std::optional<COLORREF> ParseAnchorColor(const std::wstring& value) {
  int components[3] = {};
  std::size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    const std::size_t end = i < 2 ? value.find(L',', start) : value.size();
    if (end == std::wstring::npos) return std::nullopt;
    const std::optional<int> component = parseComponent(value.substr(start, end - start));
    if (!component) return std::nullopt;
    components[i] = *component;
    start = end + 1;
  }
  return RGB(components[0], components[1], components[2]);
}

CHyperLink::~CHyperLink() {
  if (tooltip_ != nullptr && ::IsWindow(tooltip_)) ::DestroyWindow(tooltip_);
}

void CHyperLink::SetLabel(const std::wstring& label) {
  label_ = label;
  if (!IsWindow()) return;
  CalcLabelRect();
  UpdateTooltip();
  ::SetWindowTextW(m_hWnd, label_.c_str());
  Invalidate();
}

void CHyperLink::SetTarget(const std::wstring& target) {
  target_ = target;
  if (IsWindow()) UpdateTooltip();
}

void CHyperLink::SetLinkFont(HFONT font) {
  linkFont_.reset(font);
  if (!IsWindow()) return;
  CalcLabelRect();
  UpdateTooltip();
  Invalidate();
}

SIZE CHyperLink::GetIdealSize() const {
  WindowDC dc(m_hWnd);
  SelectScope font(dc.dc(), linkFont_ ? linkFont_.get() : normalFont_);
  RECT rect{};
  ::DrawTextW(dc.dc(), label_.c_str(), -1, &rect, DT_LEFT | DT_CALCRECT | kLabelFormat);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

bool CHyperLink::Navigate() {
  if (target_.empty() || !OpenPage(target_)) return false;
  visited_ = true;
  Invalidate();
  return true;
}

void CHyperLink::SetPageOpener(PageOpener opener) { pageOpener() = std::move(opener); }

bool CHyperLink::OpenPage(const std::wstring& url) {
  return pageOpener() ? pageOpener()(url) : openInBrowser(url);
}

void CHyperLink::OnSubclassed() {
  ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, ::GetWindowLongPtrW(m_hWnd, GWL_STYLE) | SS_NOTIFY);
  handCursor_ = ::LoadCursorW(nullptr, IDC_HAND);
  TakeParentFont();
  CreateTooltip();
  if (label_.empty()) label_ = GetText();
  CalcLabelRect();
  UpdateTooltip();
  ReadLinkColors();
}

// Message handlers.

LRESULT CHyperLink::OnMouseMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  RelayToTooltip(msg, wParam, lParam);
  handled = FALSE;
  return 0;
}

LRESULT CHyperLink::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  if (!IsOverLabel(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) {
    handled = FALSE;
    return 0;
  }
  ::SetCursor(handCursor_);
  return 0;
}

LRESULT CHyperLink::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  if (!IsOverLabel(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) {
    handled = FALSE;
    return 0;
  }
  ::SetFocus(m_hWnd);
  ::SetCapture(m_hWnd);
  return 0;
}

LRESULT CHyperLink::OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  if (::GetCapture() != m_hWnd) {
    handled = FALSE;
    return 0;
  }
  ::ReleaseCapture();
  if (IsOverLabel(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) Navigate();
  return 0;
}

LRESULT CHyperLink::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  PaintScope paint(m_hWnd);
  Render(paint.dc());
  return 0;
}

LRESULT CHyperLink::OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&) {
  Render(reinterpret_cast<HDC>(wParam));
  return 0;
}

LRESULT CHyperLink::OnSetCursor(UINT, WPARAM, LPARAM, BOOL& handled) {
  POINT cursor{};
  ::GetCursorPos(&cursor);
  ::ScreenToClient(m_hWnd, &cursor);
  if (!IsOverLabel(cursor)) {
    handled = FALSE;
    return 0;
  }
  ::SetCursor(handCursor_);
  return TRUE;
}

LRESULT CHyperLink::OnChar(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if (wParam != VK_RETURN && wParam != VK_SPACE) {
    handled = FALSE;
    return 0;
  }
  Navigate();
  return 0;
}

LRESULT CHyperLink::OnFocusChange(UINT, WPARAM, LPARAM, BOOL& handled) {
  Invalidate();
  handled = FALSE;
  return 0;
}

LRESULT CHyperLink::OnEnable(UINT, WPARAM, LPARAM, BOOL& handled) {
  Invalidate();
  handled = FALSE;
  return 0;
}

LRESULT CHyperLink::OnSize(UINT, WPARAM, LPARAM, BOOL& handled) {
  CalcLabelRect();
  UpdateTooltip();
  Invalidate();
  handled = FALSE;
  return 0;
}

LRESULT CHyperLink::OnSetFont(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  normalFont_ = reinterpret_cast<HFONT>(wParam);
  if (LOWORD(lParam) != 0) Invalidate();
  return 0;
}

LRESULT CHyperLink::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
  if (tooltip_ != nullptr && ::IsWindow(tooltip_)) ::DestroyWindow(tooltip_);
  tooltip_ = nullptr;
  handled = FALSE;
  return 0;
}

// Implementation.

void CHyperLink::TakeParentFont() {
  normalFont_ = reinterpret_cast<HFONT>(::SendMessageW(GetParent(), WM_GETFONT, 0, 0));
  if (normalFont_ == nullptr) normalFont_ = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
  if (!linkFont_) linkFont_.reset(underlinedCopy(normalFont_));
}

void CHyperLink::CreateTooltip() {
  tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
  if (tooltip_ == nullptr) return;
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = m_hWnd;
  tool.uId = kToolId;
  tool.lpszText = const_cast<wchar_t*>(L"");
  ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CHyperLink::ReadLinkColors() {
  const RegistryKey key(HKEY_CURRENT_USER, kLinkColorKey);
  if (!key) return;
  if (const auto color = ParseAnchorColor(key.ReadShortString(kAnchorColor, kMaxColorValueUnits))) {
    linkColor_ = *color;
  }
  if (const auto color = ParseAnchorColor(key.ReadShortString(kAnchorColorVisited, kMaxColorValueUnits))) {
    visitedColor_ = *color;
  }
}

// The label's box inside the control, wrapped to the control's width and
// moved as the static's alignment says.
void CHyperLink::CalcLabelRect() {
  const RECT client = GetClientRect();
  labelRect_ = client;
  {
    WindowDC dc(m_hWnd);
    SelectScope font(dc.dc(), linkFont_.get());
    ::DrawTextW(dc.dc(), label_.c_str(), -1, &labelRect_, DT_LEFT | DT_WORDBREAK | DT_CALCRECT | kLabelFormat);
  }
  const UINT alignment = AlignmentFormat();
  if (alignment == DT_CENTER) ::OffsetRect(&labelRect_, (client.right - labelRect_.right) / 2, 0);
  if (alignment == DT_RIGHT) ::OffsetRect(&labelRect_, client.right - labelRect_.right, 0);
}

void CHyperLink::UpdateTooltip() {
  if (tooltip_ == nullptr) return;
  const std::wstring& text = target_.empty() ? label_ : target_;
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = m_hWnd;
  tool.uId = kToolId;
  tool.rect = labelRect_;
  tool.lpszText = const_cast<wchar_t*>(text.c_str());
  ::SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  ::SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

bool CHyperLink::IsOverLabel(POINT point) const { return ::PtInRect(&labelRect_, point) != FALSE; }

void CHyperLink::RelayToTooltip(UINT msg, WPARAM wParam, LPARAM lParam) const {
  if (tooltip_ == nullptr) return;
  MSG message{m_hWnd, msg, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
  ::GetCursorPos(&message.pt);
  ::SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
}

void CHyperLink::Render(HDC target) {
  const RECT client = GetClientRect();
  MemoryDC canvas(target, client);
  // Start from what lies beneath, for a parent that gives no background brush.
  ::BitBlt(canvas.dc(), 0, 0, canvas.width(), canvas.height(), target, 0, 0, SRCCOPY);
  DoPaint(canvas.dc());
}

void CHyperLink::DoPaint(HDC dc) {
  const RECT client = GetClientRect();
  const auto background = reinterpret_cast<HBRUSH>(
      ::SendMessageW(GetParent(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(m_hWnd)));
  if (background != nullptr) ::FillRect(dc, &client, background);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, TextColor());
  SelectScope font(dc, linkFont_.get());
  RECT text = labelRect_;
  ::DrawTextW(dc, label_.c_str(), -1, &text, DT_WORDBREAK | AlignmentFormat() | kLabelFormat);
  if (::GetFocus() == m_hWnd) ::DrawFocusRect(dc, &labelRect_);
}

// SS_CENTER and SS_RIGHT are values of the static's type field, not bits.
UINT CHyperLink::AlignmentFormat() const {
  const LONG_PTR type = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE) & SS_TYPEMASK;
  if (type == SS_CENTER) return DT_CENTER;
  if (type == SS_RIGHT) return DT_RIGHT;
  return DT_LEFT;
}

COLORREF CHyperLink::TextColor() const {
  if (!::IsWindowEnabled(m_hWnd)) return ::GetSysColor(COLOR_GRAYTEXT);
  return visited_ ? visitedColor_ : linkColor_;
}

bool CMyHyperLink::Navigate() { return OpenPage(kProductPage); }

}  // namespace controls
