#include "records/CContactInfoBoard.h"

#include <algorithm>
#include <iterator>

#include "records/ScrollRequest.h"

#include "controls/GdiObjects.h"
#include "controls/TkFontPool.h"
#include "records/ContactCardContent.h"

namespace records {

namespace {

constexpr controls::FontKey kNameFont = 0x0500;
constexpr controls::FontKey kOrganizationFont = 0xFF00;
constexpr controls::FontKey kRowFont = 0x0100;
constexpr COLORREF kNameColour = RGB(100, 100, 240);
constexpr COLORREF kOrganizationColour = RGB(0, 0, 0);
constexpr COLORREF kLabelColour = RGB(150, 150, 150);
constexpr COLORREF kValueColour = RGB(50, 50, 50);
// The row that says where a deleted contact was found, in the red of the
// list's deleted rows.
constexpr COLORREF kDeletedColour = RGB(200, 40, 40);

bool isDeletedRow(const std::wstring& label) {
  return label == std::wstring(std::begin(kDeletedRowLabel), std::end(kDeletedRowLabel) - 1);
}

constexpr RECT kPictureRect{20, 20, 20 + 62, 20 + 62};
constexpr int kNameTop = 20;
constexpr int kNameBottom = 38;
constexpr int kOrganizationGap = 3;
constexpr int kOrganizationHeight = 12;
constexpr int kLabelLeft = 5;
constexpr int kLabelRight = 95;
constexpr int kValueLeft = 100;
constexpr int kRightMargin = 5;
// Single lines cut with an ellipsis to their width but not clipped to their
// height: the name's font is taller than its 18-pixel band, and its
// descenders would be cut off.
constexpr UINT kSingleLine = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_NOCLIP;

std::wstring wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// Prefix widths in the DC's font, for the line-breaking rule.
PrefixWidths prefixWidthsIn(HDC dc) {
  return [dc](std::u16string_view text, std::vector<int>& widths) {
    SIZE size{};
    ::GetTextExtentExPointW(dc, reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()), 0,
                            nullptr, widths.data(), &size);
  };
}

RECT shifted(RECT rect, int offset) {
  ::OffsetRect(&rect, 0, -offset);
  return rect;
}

}  // namespace

CContactInfoBoard::~CContactInfoBoard() {
  if (IsWindow()) ::DestroyWindow(m_hWnd);
}

bool CContactInfoBoard::Create(HWND parent, const phone::PhoneRecords& records) {
  return Create(parent, records.contactLists());
}

bool CContactInfoBoard::Create(HWND parent, const phone::ContactLists& lists) {
  if (IsWindow()) return false;  // one window per object; destroy it first
  lists_ = &lists;
  return CSkinnedDialog::Create(parent) != nullptr;
}

void CContactInfoBoard::ShowContact(const phone::ContactRecord* contact) {
  if (contact == nullptr) return;
  // A deleted contact's values are in a list of their own.
  const phone::DataRowRecord* liveValues = lists_ != nullptr ? lists_->dataRows : nullptr;
  const phone::DataRowRecord* deletedValues = lists_ != nullptr ? lists_->deletedDataRows : nullptr;
  const ContactCardContent card = ContactCardOf(*contact, contact->deleted != 0 ? deletedValues : liveValues,
                                                lists_ != nullptr ? lists_->mimeTypes : nullptr);
  name_ = wide(card.name);
  for (std::size_t i = 0; i < organization_.size(); ++i) organization_[i] = wide(card.organization[i]);
  rows_.clear();
  for (const ContactCardRow& row : card.rows) {
    Row shown;
    shown.label = wide(row.label);
    shown.value = wide(row.value);
    rows_.push_back(std::move(shown));
  }
  controls::WindowDC screen(m_hWnd);
  SetScrollRange(LayOutRows(screen.dc()));
  Invalidate();
  ::UpdateWindow(m_hWnd);
}

// Message handlers.

LRESULT CContactInfoBoard::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  ::SetWindowPos(m_hWnd, nullptr, kPlacement.left, kPlacement.top, kPlacement.right - kPlacement.left,
                 kPlacement.bottom - kPlacement.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  client_ = GetClientRect();
  content_ = client_;
  picture_ = controls::LoadPicture(L"contactperson.png");
  SetScrollRange(0);
  return FALSE;  // the keyboard focus stays where it is (the record list)
}

LRESULT CContactInfoBoard::OnVScroll(UINT, WPARAM wParam, LPARAM, BOOL&) {
  ScrollTo(ScrollPositionFor(LOWORD(wParam), ReadScrollState(m_hWnd)));
  return 0;
}

LRESULT CContactInfoBoard::OnMouseWheel(UINT, WPARAM wParam, LPARAM, BOOL&) {
  ScrollTo(scrollOffset_ + (GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? -kWheelStep : kWheelStep));
  return 0;
}

LRESULT CContactInfoBoard::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL& handled) {
  ::SetFocus(m_hWnd);
  handled = FALSE;
  return 0;
}

LRESULT CContactInfoBoard::OnShowContact(UINT, WPARAM, LPARAM lParam, BOOL&) {
  ShowContact(reinterpret_cast<const phone::ContactRecord*>(lParam));
  return 0;
}

// Implementation.

// Each row starts where the previous one ends, without a gap, and is at
// least one line high, so that a row with an empty value does not put its
// label over the next row's.
int CContactInfoBoard::LayOutRows(HDC dc) {
  controls::SelectScope font(dc, controls::TkFontPool::GetFont(kRowFont));
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  lineHeight_ = std::max<int>(metrics.tmHeight, 1);
  const PrefixWidths measure = prefixWidthsIn(dc);
  const int valueRight = client_.right - kRightMargin;
  int y = kFirstRowTop;
  for (Row& row : rows_) {
    row.labelRect = RECT{client_.left + kLabelLeft, y, client_.left + kLabelRight, y + lineHeight_};
    const std::u16string_view value(reinterpret_cast<const char16_t*>(row.value.data()), row.value.size());
    row.lines = BreakLines(value, valueRight - (client_.left + kValueLeft) - 1, measure);
    const int valueHeight = static_cast<int>(row.lines.size()) * lineHeight_;
    row.valueRect = RECT{client_.left + kValueLeft, y, valueRight, y + valueHeight};
    y += std::max(valueHeight, lineHeight_);
  }
  content_ = client_;
  content_.bottom += 1;
  if (y > client_.bottom - client_.top) {
    y += kSpacerHeight;
    content_.bottom = client_.top + y;
  }
  return y;
}

void CContactInfoBoard::SetScrollRange(int contentHeight) {
  ResetScrollBar(m_hWnd, contentHeight, client_.bottom - client_.top);
  scrollOffset_ = 0;
}

// The system keeps the position inside the range: write it, read it back.
void CContactInfoBoard::ScrollTo(int position) {
  const int moved = MoveScrollBar(m_hWnd, position);
  if (moved == scrollOffset_) return;
  scrollOffset_ = moved;
  Invalidate();
  ::UpdateWindow(m_hWnd);
}

// Only the visible part is drawn, with the content shifted up by the scroll
// offset, so a card of any length costs one client-sized bitmap.
void CContactInfoBoard::DoPaint(HDC dc) {
  const RECT client = GetClientRect();
  controls::UniqueBrush background(::CreateSolidBrush(kBackground));
  ::FillRect(dc, &client, background.get());
  controls::UniqueGdi<HPEN> pen(::CreatePen(PS_SOLID, 1, kBorderColour));
  {
    controls::SelectScope selectPen(dc, pen.get());
    ::MoveToEx(dc, client.left, client.top, nullptr);
    ::LineTo(dc, client.left, client.bottom);
  }
  ::SetBkMode(dc, TRANSPARENT);
  DrawHeading(dc, scrollOffset_);
  DrawRows(dc, scrollOffset_);
}

void CContactInfoBoard::DrawHeading(HDC dc, int offset) {
  if (picture_) {
    Gdiplus::Graphics graphics(dc);
    graphics.DrawImage(picture_.get(), Gdiplus::Rect(kPictureRect.left, kPictureRect.top - offset,
                                                     kPictureRect.right - kPictureRect.left,
                                                     kPictureRect.bottom - kPictureRect.top));
  }
  const int left = controls::PictureWidth(picture_) + 35;
  const int right = content_.right - kRightMargin;
  {
    controls::SelectScope font(dc, controls::TkFontPool::GetFont(kNameFont));
    ::SetTextColor(dc, kNameColour);
    RECT rect = shifted(RECT{left, kNameTop, right, kNameBottom}, offset);
    ::DrawTextW(dc, name_.c_str(), static_cast<int>(name_.size()), &rect, kSingleLine);
  }
  controls::SelectScope font(dc, controls::TkFontPool::GetFont(kOrganizationFont));
  ::SetTextColor(dc, kOrganizationColour);
  int bottom = kNameBottom;
  for (const std::wstring& line : organization_) {
    if (line.empty()) continue;
    const int top = bottom + kOrganizationGap;
    bottom = top + kOrganizationHeight;
    RECT rect = shifted(RECT{left, top, right, bottom}, offset);
    ::DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &rect, kSingleLine);
  }
}

void CContactInfoBoard::DrawRows(HDC dc, int offset) {
  const int clientHeight = client_.bottom - client_.top;
  controls::SelectScope font(dc, controls::TkFontPool::GetFont(kRowFont));
  for (const Row& row : rows_) {
    const int rowBottom = std::max<int>(row.valueRect.bottom, row.labelRect.bottom);
    if (rowBottom - offset <= 0) continue;
    if (row.labelRect.top - offset >= clientHeight) break;
    ::SetTextColor(dc, isDeletedRow(row.label) ? kDeletedColour : kLabelColour);
    RECT label = shifted(row.labelRect, offset);
    // Not clipped either: a glyph's ink may reach a pixel or two past its
    // advance width, which the text extents (and so the ellipsis) leave out.
    ::DrawTextW(dc, row.label.c_str(), static_cast<int>(row.label.size()), &label, kSingleLine | DT_RIGHT);
    DrawValue(dc, row, offset, clientHeight);
  }
}

// The value's lines as the line-breaking rule cut them, each drawn at its
// own height; only the lines inside the client area are drawn. Each line
// fits the value's width by its advance widths; it is not clipped, so the
// ink of a last glyph that overhangs its advance stays whole.
void CContactInfoBoard::DrawValue(HDC dc, const Row& row, int offset, int clientHeight) {
  ::SetTextColor(dc, isDeletedRow(row.label) ? kDeletedColour : kValueColour);
  const RECT area = shifted(row.valueRect, offset);
  const int firstVisible = std::max(0, (offset - static_cast<int>(row.valueRect.top)) / lineHeight_);
  for (std::size_t i = static_cast<std::size_t>(firstVisible); i < row.lines.size(); ++i) {
    const int y = area.top + static_cast<int>(i) * lineHeight_;
    if (y >= clientHeight) break;
    const TextLine& line = row.lines[i];
    ::TextOutW(dc, area.left, y, row.value.c_str() + line.start, static_cast<int>(line.length));
  }
}

}  // namespace records
