#pragma once
// One speech bubble of the conversation view: the date centred in a band
// on top, and below it the body in a frame drawn from picture pieces,
// received messages on the left ("in_" pieces), all others on the right
// ("out_" pieces). A deleted message has its date line in red ("... ·
// deleted") and under its frame, in red too, where it was found.
//
// Bubbles have no window of their own: the view lays them out once and
// draws those that meet the visible part, so a conversation of any length
// stays whole and scrolls at the same speed.
//
// The body is measured exactly as it is drawn (same font, same DrawText
// flags, same width), so no wrapped or multi-line body is cut off.

#include <string>

#include "controls/GdiObjects.h"
#include "framework/Win32.h"
#include "records/ConversationContent.h"

namespace records {

// The frame pieces of both kinds, loaded once by the view from the image
// folder, with their sizes and the fill brushes. A missing piece draws
// nothing.
class BubbleFrames {
 public:
  BubbleFrames();

  struct Piece {
    controls::UniqueBitmap bitmap;
    SIZE size{};
  };
  struct Pieces {
    Piece leftTop, leftBottom, rightTop, rightBottom;
    Piece top, bottom, left, right;
    controls::UniqueBrush fill;
  };
  const Pieces& of(int kind) const { return kind == kBubbleReceived ? received_ : other_; }

 private:
  Pieces received_;
  Pieces other_;
};

class CMsgInfoItem {
 public:
  static constexpr int kLeft = 10;
  static constexpr int kWidth = 215;
  static constexpr int kDateBand = 30;      // the date above the frame
  static constexpr int kMaxTextWidth = 160;  // a longer body wraps
  static constexpr COLORREF kBackground = RGB(244, 247, 250);
  static constexpr COLORREF kDeletedColour = RGB(200, 40, 40);
  static constexpr int kNoteGap = 2;  // between the frame and the note

  // Font and flags of the body, for measuring and drawing alike. Words
  // wrap; a word wider than the bubble is broken like an edit control
  // breaks it, rather than cut off at the frame.
  static HFONT BodyFont();
  static constexpr UINT kBodyFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_LEFT;

  // Lays out a bubble whose top is `top` in the view's content; measures
  // the body in `dc`, a DC of the screen with BodyFont() selected.
  CMsgInfoItem(HDC dc, const BubbleText& text, int top);

  // Draws the bubble with its top left corner at (x, y) of `dc`; `pieces`
  // is a memory DC for copying the frame pieces from.
  void Draw(HDC dc, HDC pieces, int x, int y, const BubbleFrames& frames) const;

  // Attributes, in the bubble's own coordinates.
  const std::wstring& body() const { return body_; }
  const std::wstring& date() const { return date_; }
  const std::wstring& note() const { return note_; }
  bool deleted() const { return deleted_; }
  int kind() const { return kind_; }
  int top() const { return top_; }
  int height() const { return height_; }
  int bottom() const { return top_ + height_; }
  const RECT& frame() const { return frame_; }
  // Where the body is drawn: the frame without its border pieces.
  RECT InnerRect() const;

 private:
  void DrawFrame(HDC dc, HDC source, const BubbleFrames::Pieces& pieces) const;
  RECT NoteRect() const;

  std::wstring body_;
  std::wstring date_;
  std::wstring note_;
  bool deleted_;
  int kind_;
  int top_;
  int height_ = 0;
  RECT frame_{};
};

}  // namespace records
