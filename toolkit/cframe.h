// The root of the view tree and the owner of the editor's window: a child
// window inside the host's window, whose events are taken and routed from the
// host's idle calls. Keeps the modal and focus views, redraws dirty views on
// idle, forwards edit gestures and idle work to its editor and asks the host
// for a new window size. UI thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "toolkit/cview_container.h"

class AEffGUIEditor;

namespace platform {
class Canvas;
class NativeWindow;
}  // namespace platform

namespace toolkit {

class CDropTarget;

enum : int {
  kCursorDefault = 0,
  kCursorWait,
  kCursorResizeHorizontal,
  kCursorResizeVertical,
  kCursorResizeAll,
  kCursorResizeNeSw,
  kCursorResizeNwSe,
  kCursorNotAllowed = 8,
  kCursorHand = 9,
};

class CFrame : public CViewContainer {
 public:
  // systemWindow: the host's X11 window id, or none for a frame without a
  // window (it then draws into an image of its own, for tests and benchmarks).
  CFrame(const CRect& size, void* systemWindow, AEffGUIEditor* editor);
  ~CFrame() override;

  void draw(CDrawContext* context) override;
  void drawArea(CDrawContext* context, const CRect& area) override;
  void onMouseDown(CDrawContext* context, CPoint where, int buttons) override;
  std::int32_t onKeyDown(vst::VstKeyCode& keyCode) override;
  std::int32_t onKeyUp(vst::VstKeyCode& keyCode) override;
  bool onWheelAxis(CDrawContext* context, CPoint where, int axis, float distance) override;
  void setBounds(const CRect& rect) override;
  AEffGUIEditor* getEditor() override { return editor; }
  bool isOfClass(const char* className) const override;
  void redrawIfDirty(CDrawContext* context) override;
  CView* viewUnderPointer() override;
  bool moveFocus(CView* from, bool backwards) override;

  virtual bool openOwnWindow(const CPoint&) { return false; }
  virtual bool closeOwnWindow() { return false; }
  virtual bool isOpen() const { return windowOpen; }
  virtual void idle();
  virtual void doIdleWork();
  virtual std::uint32_t getTicks();
  virtual int getKnobMode() const;
  virtual bool setPosition(int, int) { return false; }
  virtual bool getPosition(int& x, int& y);
  virtual bool setSize(int width, int height);
  virtual bool getSize(CRect* rect);
  virtual bool getSize(CRect& rect);
  virtual bool setModalView(CView* view);
  virtual CView* getModalView() const { return modalView; }
  virtual void beginEdit(int index);
  virtual void endEdit(int index);
  virtual bool getPointerPosition(CPoint& point);
  virtual void setCursor(int type);
  virtual void setFocusView(CView* view);
  virtual CView* getFocusView() const { return focusView; }
  virtual bool enableDrop(bool flag);
  virtual bool isDropEnabled() const { return dropEnabled; }
  virtual void setWindowOpen(bool flag) { windowOpen = flag; }
  virtual bool isWindowOpen() const { return windowOpen; }
  virtual void invalidate(const CRect& rect);
  virtual bool suspendUpdates(bool flag);
  virtual bool updatesSuspended() const { return updatesOff; }
  virtual void drawView(CView* view);

  // A new context on the frame's window (the caller releases it); none only
  // when memory runs out.
  CDrawContext* createDrawContext();
  // Handles at most one pending expose of the process's editor windows.
  static bool dispatchOnePendingPaint();

  bool isFirstPaintPending() const { return firstPaintPending; }
  // The frame's own child window id, 0 without one.
  std::uintptr_t getWindowId() const;
  platform::NativeWindow* getNativeWindow() const { return window.get(); }

 protected:
  class WindowLink;
  friend class WindowLink;
  void windowButtonPressed(int button, CPoint where, int buttons);

  AEffGUIEditor* editor;
  void* systemWindow;
  CView* modalView = nullptr;
  CView* focusView = nullptr;
  bool firstPaintPending = true;
  bool windowOpen = true;
  bool dropEnabled = false;
  bool updatesOff = false;
  std::unique_ptr<platform::NativeWindow> window;
  CDropTarget* dropTarget = nullptr;
  bool cursorChanged = false;  // our window shows a cursor of its own
  std::unique_ptr<WindowLink> link;
  std::unique_ptr<platform::Canvas> headless;  // drawing target without a window

 private:
  // Keys whose down the focus view took: their ups answer as taken too, even
  // after the view let the focus go in between (Enter closing a field).
  struct OwedKeyUp {
    std::int32_t character;
    unsigned char virt;
  };
  static constexpr int kMaxOwedKeyUps = 8;
  void oweKeyUp(const vst::VstKeyCode& keyCode);
  bool settleKeyUp(const vst::VstKeyCode& keyCode);
  OwedKeyUp owedKeyUps[kMaxOwedKeyUps] = {};
  int owedKeyUpCount = 0;
};

}  // namespace toolkit
