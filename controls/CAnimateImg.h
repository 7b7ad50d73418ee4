#pragma once
// A small looping busy animation drawn from an 8-frame picture strip, over
// any child control that serves as its placeholder.

#include <string>

#include "controls/Pictures.h"
#include "framework/Window.h"

namespace controls {

class CAnimateStaticBase : public fw::CWindowImpl<CAnimateStaticBase> {
 public:
  ~CAnimateStaticBase() override = default;

  virtual LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL& handled) {
    handled = FALSE;
    return 0;
  }
  virtual LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL& handled) {
    handled = FALSE;
    return 0;
  }
  virtual BOOL SetPos(int, int, UINT) { return TRUE; }

  BEGIN_MSG_MAP(CAnimateStaticBase)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

 private:
  LRESULT OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
};

class CAnimateImg : public CAnimateStaticBase {
 public:
  static constexpr int kFrames = 8;
  static constexpr COLORREF kBackground = RGB(240, 240, 239);

  CAnimateImg(int periodMs = 100, UINT_PTR timerId = 100) : period_(periodMs), timerId_(timerId) {}
  ~CAnimateImg() override;

  bool LoadStrip(const std::wstring& name);
  void SetFrames();  // frame count 8, frame size from the strip
  BOOL SetPos(int x, int y, UINT flags) override;
  void Start();
  void Stop();

  bool running() const { return running_; }
  int currentFrame() const { return current_; }

  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL& handled) override;
  LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled) override;

 private:
  bool running_ = false;
  int period_;
  RECT client_{};
  UINT_PTR timerId_;
  int frameWidth_ = 0;
  int frameHeight_ = 0;
  Picture strip_;
  int frames_ = 1;
  int current_ = 0;
};

}  // namespace controls
