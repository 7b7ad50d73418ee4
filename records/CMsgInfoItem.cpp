#include "records/CMsgInfoItem.h"

#include <algorithm>

#include "controls/Pictures.h"
#include "controls/TkFontPool.h"

namespace records {

namespace {

constexpr controls::FontKey kTextFont = 0x0100;  // date and body
constexpr UINT kDateFormat = DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX;

// The border widths of a kind's frame: the sizes of its corner pieces.
struct Border {
  int left, right, top, bottom;
  COLORREF fill;
};
constexpr Border kReceivedBorder{18, 12, 15, 18, RGB(216, 216, 216)};
constexpr Border kOtherBorder{12, 18, 18, 18, RGB(136, 193, 33)};
const Border& borderOf(int kind) { return kind == kBubbleReceived ? kReceivedBorder : kOtherBorder; }

// Where the right-hand frame starts: one pixel wider than the left-hand one.
constexpr int kOtherExtraWidth = 1;

BubbleFrames::Pieces loadPieces(const wchar_t* prefix) {
  const auto load = [prefix](const wchar_t* name) {
    return controls::UniqueBitmap(controls::LoadBitmapPicture(std::wstring(prefix) + name));
  };
  return BubbleFrames::Pieces{load(L"lefttop.bmp"),  load(L"leftbottom.bmp"), load(L"righttop.bmp"),
                              load(L"rightbottom.bmp"), load(L"topline.bmp"),  load(L"bottomline.bmp"),
                              load(L"leftline.bmp"),    load(L"rightline.bmp")};
}

// Copies a piece into (x, y, width, height), stretched when its size differs.
void drawPiece(HDC dc, HDC source, HBITMAP piece, int x, int y, int width, int height) {
  if (piece == nullptr || width <= 0 || height <= 0) return;
  BITMAP size{};
  ::GetObjectW(piece, sizeof size, &size);
  controls::SelectScope select(source, piece);
  if (size.bmWidth == width && size.bmHeight == height) {
    ::BitBlt(dc, x, y, width, height, source, 0, 0, SRCCOPY);
  } else {
    ::StretchBlt(dc, x, y, width, height, source, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
  }
}

RECT measure(HDC dc, const std::wstring& text, int width) {
  RECT rect{0, 0, width, 0};
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, CMsgInfoItem::kBodyFormat | DT_CALCRECT);
  return rect;
}

}  // namespace

BubbleFrames::BubbleFrames() : received_(loadPieces(L"in_")), other_(loadPieces(L"out_")) {}

HFONT CMsgInfoItem::BodyFont() { return controls::TkFontPool::GetFont(kTextFont); }

CMsgInfoItem::CMsgInfoItem(HDC dc, const BubbleText& text, int top)
    : body_(text.body.begin(), text.body.end()),
      date_(text.date.begin(), text.date.end()),
      kind_(text.kind == kBubbleReceived ? kBubbleReceived : kBubbleOther),
      top_(top) {
  controls::SelectScope font(dc, BodyFont());
  // The widest line at the widest allowed width decides the frame's width;
  // the height is then measured again at the width the body is drawn with.
  const RECT widest = measure(dc, body_, kMaxTextWidth);
  const int textWidth = std::clamp<int>(widest.right, 1, kMaxTextWidth);
  const int drawnWidth = textWidth + (kind_ == kBubbleReceived ? 0 : kOtherExtraWidth);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  const bool oneLine = widest.bottom <= metrics.tmHeight && widest.right <= drawnWidth;
  const int textHeight = oneLine ? static_cast<int>(widest.bottom) : static_cast<int>(measure(dc, body_, drawnWidth).bottom);

  const Border& border = borderOf(kind_);
  const int frameWidth = border.left + drawnWidth + border.right;
  const int frameHeight = border.top + textHeight + border.bottom;
  if (kind_ == kBubbleReceived) {
    frame_ = RECT{0, kDateBand, frameWidth, kDateBand + frameHeight};
  } else {
    frame_ = RECT{kWidth - frameWidth, kDateBand, kWidth, kDateBand + frameHeight};
  }
  height_ = frame_.bottom;
}

RECT CMsgInfoItem::InnerRect() const {
  const Border& border = borderOf(kind_);
  return RECT{frame_.left + border.left, frame_.top + border.top, frame_.right - border.right,
              frame_.bottom - border.bottom};
}

void CMsgInfoItem::Draw(HDC dc, int x, int y, const BubbleFrames& frames) const {
  POINT origin{};
  ::OffsetViewportOrgEx(dc, x, y, &origin);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, RGB(0, 0, 0));
  controls::SelectScope font(dc, BodyFont());
  RECT band{0, 0, kWidth, kDateBand};
  ::DrawTextW(dc, date_.c_str(), static_cast<int>(date_.size()), &band, kDateFormat);
  if (!body_.empty()) {
    DrawFrame(dc, frames.of(kind_));
    RECT inner = InnerRect();
    ::DrawTextW(dc, body_.c_str(), static_cast<int>(body_.size()), &inner, kBodyFormat);
  }
  ::SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
}

void CMsgInfoItem::DrawFrame(HDC dc, const BubbleFrames::Pieces& pieces) const {
  const Border& b = borderOf(kind_);
  const RECT& f = frame_;
  const RECT inner = InnerRect();
  const int edgeWidth = inner.right - inner.left;
  const int edgeHeight = inner.bottom - inner.top;
  const HDC source = ::CreateCompatibleDC(dc);
  drawPiece(dc, source, pieces.leftTop.get(), f.left, f.top, b.left, b.top);
  drawPiece(dc, source, pieces.leftBottom.get(), f.left, inner.bottom, b.left, b.bottom);
  drawPiece(dc, source, pieces.rightTop.get(), inner.right, f.top, b.right, b.top);
  drawPiece(dc, source, pieces.rightBottom.get(), inner.right, inner.bottom, b.right, b.bottom);
  drawPiece(dc, source, pieces.top.get(), inner.left, f.top, edgeWidth, b.top);
  drawPiece(dc, source, pieces.bottom.get(), inner.left, inner.bottom, edgeWidth, b.bottom);
  drawPiece(dc, source, pieces.left.get(), f.left, inner.top, b.left, edgeHeight);
  drawPiece(dc, source, pieces.right.get(), inner.right, inner.top, b.right, edgeHeight);
  ::DeleteDC(source);
  controls::UniqueBrush fill(::CreateSolidBrush(b.fill));
  ::FillRect(dc, &inner, fill.get());
}

}  // namespace records
