// The base of every visible element: a rectangle in its parent container's
// coordinates, with a dirty flag, mouse settings and an optional background
// bitmap. UI thread only.
#pragma once

#include "plugin/vst2_abi.h"
#include "toolkit/crect.h"
#include "toolkit/creference_counter.h"

class AEffGUIEditor;

namespace toolkit {

class CBitmap;
class CDrawContext;
class CDragContainer;
class CFrame;
class CViewContainer;

class CView : public CReferenceCounter {
 public:
  explicit CView(const CRect& size);
  ~CView() override;

  void release() override { CReferenceCounter::release(); }
  void retain() override { CReferenceCounter::retain(); }

  virtual void draw(CDrawContext* context);
  virtual void drawArea(CDrawContext* context, const CRect& area);
  virtual bool overlaps(const CRect& rect) const;
  virtual void onMouseDown(CDrawContext* context, CPoint where, int buttons);
  virtual void setBackgroundBitmap(CBitmap* bitmap);
  virtual CBitmap* getBackgroundBitmap() const { return backgroundBitmap; }
  virtual std::int32_t onKeyDown(vst::VstKeyCode& keyCode);
  virtual std::int32_t onKeyUp(vst::VstKeyCode& keyCode);
  virtual bool onWheelAxis(CDrawContext* context, CPoint where, int axis, float distance);
  virtual bool onWheel(CDrawContext* context, CPoint where, float distance);
  virtual bool onDrop(CDrawContext* context, CDragContainer* drag, CPoint where);
  virtual void onDragEnter(CDrawContext* context, CDragContainer* drag, CPoint where);
  virtual void onDragLeave(CDrawContext* context, CDragContainer* drag, CPoint where);
  virtual void onDragOver(CDrawContext* context, CDragContainer* drag, CPoint where);
  virtual void onFocusLost(CDrawContext* context);
  virtual void onFocusGained(CDrawContext* context);
  virtual bool isDirty() const { return dirty; }
  virtual void setDirty(bool flag) { dirty = flag; }
  virtual void setMouseEnabled(bool flag) { mouseEnabled = flag; }
  virtual bool isMouseEnabled() const { return mouseEnabled; }
  virtual void setMouseArea(const CRect& rect) { mouseArea = rect; }
  virtual void getMouseArea(CRect& rect) const { rect = mouseArea; }
  virtual bool hitTest(CPoint where, int buttons);
  virtual void setTransparent(bool flag) { transparent = flag; }
  virtual bool isTransparent() const { return transparent; }
  virtual void setBounds(const CRect& rect);
  virtual void getBounds(CRect& rect) const { rect = bounds; }
  virtual bool onRemoved(CView* parent);
  virtual bool onAttached(CView* parent);
  virtual void getMousePosition(CDrawContext* context, CPoint& point);
  virtual void mapFromFrame(CPoint& point);
  virtual void mapToFrame(CPoint& point);
  virtual AEffGUIEditor* getEditor();
  virtual int notify(CView* sender, const char* message);
  virtual void redrawArea(CDrawContext* context, const CRect& area);
  virtual bool acceptsFocus() const { return focusable; }
  virtual void setAcceptsFocus(bool flag) { focusable = flag; }
  virtual bool isOfClass(const char* className) const;
  virtual void redrawIfDirty(CDrawContext* context);

  // Set by the container that adds the view; the view never changes them.
  void setParentFrame(CFrame* frame) { parentFrame = frame; }
  void setParentView(CViewContainer* view) { parentView = view; }
  CFrame* getFrame() const { return parentFrame; }
  CViewContainer* getParentView() const { return parentView; }
  const CRect& getViewSize() const { return bounds; }

 protected:
  CRect bounds;
  CRect mouseArea;
  CFrame* parentFrame = nullptr;
  CViewContainer* parentView = nullptr;
  bool dirty = false;
  bool mouseEnabled = true;
  bool transparent = false;
  bool focusable = false;
  CBitmap* backgroundBitmap = nullptr;
};

// True when a class name is one of the given names (exact, case-sensitive).
bool isClassName(const char* className, const char* name);

}  // namespace toolkit
