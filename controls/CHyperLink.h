#pragma once
// A static control drawn as a web link: link colours, a hand cursor over the
// text, a tooltip with the address, and a page opened in the browser on a
// click or on Enter or Space.
//
//   CHyperLink    opens its own target and then shows the visited colour
//   CMyHyperLink  always opens the product page, whatever its target

#include <functional>
#include <optional>
#include <string>

#include "controls/GdiObjects.h"
#include "framework/Window.h"

// A range of messages to one handler (mouse messages to the tooltip).
#ifndef MESSAGE_RANGE_HANDLER
#define MESSAGE_RANGE_HANDLER(first, last, func)              \
  if (uMsg >= (first) && uMsg <= (last)) {                    \
    bHandled = TRUE;                                          \
    lResult = func(uMsg, wParam, lParam, bHandled);           \
    if (bHandled) return TRUE;                                \
  }
#endif

namespace controls {

// An Internet Explorer link colour, "red,green,blue": three decimal numbers
// separated by commas, each taken modulo 256. Anything else is not a colour.
std::optional<COLORREF> ParseAnchorColor(const std::wstring& value);

class CHyperLink : public fw::CWindowImpl<CHyperLink> {
 public:
  // Opens a web page; true when it was handed to the browser.
  using PageOpener = std::function<bool(const std::wstring& url)>;

  static constexpr COLORREF kDefaultLinkColor = RGB(0, 0, 255);
  static constexpr COLORREF kDefaultVisitedColor = RGB(128, 0, 128);

  CHyperLink() = default;
  ~CHyperLink() override;

  // Attributes.
  const std::wstring& label() const { return label_; }
  const std::wstring& target() const { return target_; }
  COLORREF linkColor() const { return linkColor_; }
  COLORREF visitedColor() const { return visitedColor_; }
  bool visited() const { return visited_; }
  const RECT& labelRect() const { return labelRect_; }
  HWND tooltip() const { return tooltip_; }
  HFONT linkFont() const { return linkFont_.get(); }

  // Operations.
  void SetLabel(const std::wstring& label);
  // The page opened on a click; also the tooltip text.
  void SetTarget(const std::wstring& target);
  // Takes ownership of `font` (from get_font) and deletes the previous one.
  void SetLinkFont(HFONT font);
  // Width and height of the label in the link font, on one line unless it
  // holds line breaks: the size the control needs to show all of it.
  SIZE GetIdealSize() const;
  // Opens the page behind the link.
  virtual bool Navigate();

  // How pages are opened: ShellExecuteW "open" unless replaced (tests
  // replace it; an empty function restores the browser).
  static void SetPageOpener(PageOpener opener);
  static bool OpenPage(const std::wstring& url);

  BEGIN_MSG_MAP(CHyperLink)
    MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_MOUSELAST, OnMouseMessage)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_PRINTCLIENT, OnPrintClient)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
    MESSAGE_HANDLER(WM_CHAR, OnChar)
    MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
    MESSAGE_HANDLER(WM_SETFOCUS, OnFocusChange)
    MESSAGE_HANDLER(WM_KILLFOCUS, OnFocusChange)
    MESSAGE_HANDLER(WM_ENABLE, OnEnable)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_SETFONT, OnSetFont)
    MESSAGE_HANDLER(WM_GETFONT, OnGetFont)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  END_MSG_MAP()

 protected:
  void OnSubclassed() override;

 private:
  // Every mouse message goes to the tooltip first, then on down the map.
  LRESULT OnMouseMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL& handled);
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnChar(UINT, WPARAM wParam, LPARAM, BOOL& handled);
  LRESULT OnGetDlgCode(UINT, WPARAM, LPARAM, BOOL&) { return DLGC_WANTCHARS; }
  LRESULT OnFocusChange(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnEnable(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL& handled);
  LRESULT OnSetFont(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnGetFont(UINT, WPARAM, LPARAM, BOOL&) { return reinterpret_cast<LRESULT>(normalFont_); }
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);

  void TakeParentFont();
  void CreateTooltip();
  void ReadLinkColors();
  void CalcLabelRect();
  void UpdateTooltip();
  bool IsOverLabel(POINT point) const;
  void RelayToTooltip(UINT msg, WPARAM wParam, LPARAM lParam) const;
  // Double-buffered drawing into `target`, which holds what lies beneath.
  void Render(HDC target);
  void DoPaint(HDC dc);
  UINT AlignmentFormat() const;
  COLORREF TextColor() const;

  std::wstring label_;
  std::wstring target_;
  HCURSOR handCursor_ = nullptr;
  UniqueFont linkFont_;
  HFONT normalFont_ = nullptr;  // the parent's; not ours to delete
  HWND tooltip_ = nullptr;
  COLORREF linkColor_ = kDefaultLinkColor;
  COLORREF visitedColor_ = kDefaultVisitedColor;
  bool visited_ = false;
  RECT labelRect_{};
};

// The "Have Problems?" link: shows its own target as the tooltip but opens
// the product page, and never turns to the visited colour.
class CMyHyperLink : public CHyperLink {
 public:
  bool Navigate() override;
};

}  // namespace controls
