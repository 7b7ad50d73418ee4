#include "records/CMsgInfoItem.h"

#include <algorithm>

#include "controls/Pictures.h"
#include "controls/TkFontPool.h"

namespace records {

namespace {

constexpr controls::FontKey kTextFont = 0x0100;  // date and body
constexpr controls::FontKey kNoteFont = 0x0000;  // where a deleted message was found
constexpr UINT kDateFormat = DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX;
constexpr UINT kNoteFormat = DT_WORDBREAK | DT_NOPREFIX;

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

BubbleFrames::Piece loadPiece(const std::wstring& name) {
  BubbleFrames::Piece piece{controls::UniqueBitmap(controls::LoadBitmapPicture(name)), SIZE{}};
  BITMAP size{};
  if (piece.bitmap && ::GetObjectW(piece.bitmap.get(), sizeof size, &size) != 0) {
    piece.size = SIZE{size.bmWidth, size.bmHeight};
  }
  return piece;
}

BubbleFrames::Pieces loadPieces(const std::wstring& prefix, COLORREF fill) {
  return BubbleFrames::Pieces{loadPiece(prefix + L"lefttop.bmp"),     loadPiece(prefix + L"leftbottom.bmp"),
                              loadPiece(prefix + L"righttop.bmp"),    loadPiece(prefix + L"rightbottom.bmp"),
                              loadPiece(prefix + L"topline.bmp"),     loadPiece(prefix + L"bottomline.bmp"),
                              loadPiece(prefix + L"leftline.bmp"),    loadPiece(prefix + L"rightline.bmp"),
                              controls::UniqueBrush(::CreateSolidBrush(fill))};
}

// Copies a piece into (x, y, width, height), stretched when its size differs.
void drawPiece(HDC dc, HDC source, const BubbleFrames::Piece& piece, int x, int y, int width, int height) {
  if (!piece.bitmap || width <= 0 || height <= 0) return;
  controls::SelectScope select(source, piece.bitmap.get());
  if (piece.size.cx == width && piece.size.cy == height) {
    ::BitBlt(dc, x, y, width, height, source, 0, 0, SRCCOPY);
  } else {
    ::StretchBlt(dc, x, y, width, height, source, 0, 0, piece.size.cx, piece.size.cy, SRCCOPY);
  }
}

}  // namespace

BubbleFrames::BubbleFrames()
    : received_(loadPieces(L"in_", kReceivedBorder.fill)), other_(loadPieces(L"out_", kOtherBorder.fill)) {}

HFONT CMsgInfoItem::BodyFont() { return controls::TkFontPool::GetFont(kTextFont); }

CMsgInfoItem::CMsgInfoItem(HDC dc, const BubbleText& text, int top)
    : body_(text.body.begin(), text.body.end()),
      date_(text.date.begin(), text.date.end()),
      note_(text.note.begin(), text.note.end()),
      deleted_(text.deleted),
      kind_(text.kind == kBubbleReceived ? kBubbleReceived : kBubbleOther),
      top_(top) {
  // Measured at the widest allowed width, and drawn at that same width from
  // the inner rectangle's left edge: the lines are the same, and the widest
  // of them sets the frame's width.
  RECT measured{0, 0, kMaxTextWidth, 0};
  ::DrawTextW(dc, body_.c_str(), static_cast<int>(body_.size()), &measured, kBodyFormat | DT_CALCRECT);
  const int textHeight = std::max<int>(measured.bottom, 0);
  // A body of several lines takes the whole width: the width the measuring
  // reports for broken lines can fall short of the lines as drawn (Wine
  // reports 154 px for lines it then draws 160 px wide), and text must
  // never run out of its frame.
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  const bool severalLines = textHeight > metrics.tmHeight;
  const int textWidth = severalLines ? kMaxTextWidth : std::clamp<int>(measured.right, 1, kMaxTextWidth);

  const Border& border = borderOf(kind_);
  const int innerWidth = textWidth + (kind_ == kBubbleReceived ? 0 : kOtherExtraWidth);
  const int frameWidth = border.left + innerWidth + border.right;
  const int frameHeight = border.top + textHeight + border.bottom;
  if (kind_ == kBubbleReceived) {
    frame_ = RECT{0, kDateBand, frameWidth, kDateBand + frameHeight};
  } else {
    frame_ = RECT{kWidth - frameWidth, kDateBand, kWidth, kDateBand + frameHeight};
  }
  height_ = frame_.bottom;
  if (!note_.empty()) {
    controls::SelectScope noteFont(dc, controls::TkFontPool::GetFont(kNoteFont));
    RECT note{0, 0, kWidth, 0};
    ::DrawTextW(dc, note_.c_str(), static_cast<int>(note_.size()), &note, kNoteFormat | DT_CALCRECT);
    height_ += kNoteGap + std::max<int>(note.bottom, 0);
  }
}

RECT CMsgInfoItem::NoteRect() const { return RECT{0, frame_.bottom + kNoteGap, kWidth, height_}; }

RECT CMsgInfoItem::InnerRect() const {
  const Border& border = borderOf(kind_);
  return RECT{frame_.left + border.left, frame_.top + border.top, frame_.right - border.right,
              frame_.bottom - border.bottom};
}

void CMsgInfoItem::Draw(HDC dc, HDC pieces, int x, int y, const BubbleFrames& frames) const {
  POINT origin{};
  ::OffsetViewportOrgEx(dc, x, y, &origin);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, RGB(0, 0, 0));
  controls::SelectScope font(dc, BodyFont());
  RECT band{0, 0, kWidth, kDateBand};
  if (deleted_) ::SetTextColor(dc, kDeletedColour);
  ::DrawTextW(dc, date_.c_str(), static_cast<int>(date_.size()), &band, kDateFormat);
  ::SetTextColor(dc, RGB(0, 0, 0));
  if (!body_.empty()) {
    DrawFrame(dc, pieces, frames.of(kind_));
    const RECT inner = InnerRect();
    RECT text{inner.left, inner.top, inner.left + kMaxTextWidth, inner.bottom};
    ::DrawTextW(dc, body_.c_str(), static_cast<int>(body_.size()), &text, kBodyFormat);
  }
  if (!note_.empty()) {
    controls::SelectScope noteFont(dc, controls::TkFontPool::GetFont(kNoteFont));
    ::SetTextColor(dc, kDeletedColour);
    RECT note = NoteRect();
    // Under the side its bubble stands on.
    ::DrawTextW(dc, note_.c_str(), static_cast<int>(note_.size()), &note,
                kNoteFormat | (kind_ == kBubbleReceived ? DT_LEFT : DT_RIGHT));
    ::SetTextColor(dc, RGB(0, 0, 0));
  }
  ::SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
}

void CMsgInfoItem::DrawFrame(HDC dc, HDC source, const BubbleFrames::Pieces& pieces) const {
  const Border& b = borderOf(kind_);
  const RECT& f = frame_;
  const RECT inner = InnerRect();
  const int edgeWidth = inner.right - inner.left;
  const int edgeHeight = inner.bottom - inner.top;
  drawPiece(dc, source, pieces.leftTop, f.left, f.top, b.left, b.top);
  drawPiece(dc, source, pieces.leftBottom, f.left, inner.bottom, b.left, b.bottom);
  drawPiece(dc, source, pieces.rightTop, inner.right, f.top, b.right, b.top);
  drawPiece(dc, source, pieces.rightBottom, inner.right, inner.bottom, b.right, b.bottom);
  drawPiece(dc, source, pieces.top, inner.left, f.top, edgeWidth, b.top);
  drawPiece(dc, source, pieces.bottom, inner.left, inner.bottom, edgeWidth, b.bottom);
  drawPiece(dc, source, pieces.left, f.left, inner.top, b.left, edgeHeight);
  drawPiece(dc, source, pieces.right, inner.right, inner.top, b.right, edgeHeight);
  ::FillRect(dc, &inner, pieces.fill.get());
}

}  // namespace records
