// A view that holds other views: it draws its background and then its
// children (first to last, each clipped to its bounds), by default through an
// offscreen surface so the window only receives finished pictures, and routes
// mouse, key, wheel, focus and drag events to the topmost child that wants
// them. UI thread only.
#pragma once

#include <list>

#include "toolkit/ccolor.h"
#include "toolkit/cview.h"

namespace toolkit {

class COffscreenContext;

enum : int { kRedrawAll = 0, kRedrawDirtyOnly = 1 };

class CViewContainer : public CView {
 public:
  CViewContainer(const CRect& size, CFrame* frame = nullptr, CBitmap* background = nullptr);
  ~CViewContainer() override;

  void draw(CDrawContext* context) override;
  void drawArea(CDrawContext* context, const CRect& area) override;
  void onMouseDown(CDrawContext* context, CPoint where, int buttons) override;
  std::int32_t onKeyDown(vst::VstKeyCode& keyCode) override;
  std::int32_t onKeyUp(vst::VstKeyCode& keyCode) override;
  bool onWheelAxis(CDrawContext* context, CPoint where, int axis, float distance) override;
  bool onWheel(CDrawContext* context, CPoint where, float distance) override;
  bool onDrop(CDrawContext* context, CDragContainer* drag, CPoint where) override;
  void onDragEnter(CDrawContext* context, CDragContainer* drag, CPoint where) override;
  void onDragLeave(CDrawContext* context, CDragContainer* drag, CPoint where) override;
  void onDragOver(CDrawContext* context, CDragContainer* drag, CPoint where) override;
  void onFocusLost(CDrawContext* context) override;
  void onFocusGained(CDrawContext* context) override;
  bool isDirty() const override;
  void setBounds(const CRect& rect) override;
  bool onRemoved(CView* parent) override;
  bool onAttached(CView* parent) override;
  void mapFromFrame(CPoint& point) override;
  void mapToFrame(CPoint& point) override;
  int notify(CView* sender, const char* message) override;
  void redrawArea(CDrawContext* context, const CRect& area) override;
  bool isOfClass(const char* className) const override;
  void redrawIfDirty(CDrawContext* context) override;

  virtual void addView(CView* view, const CRect& viewMouseArea, bool viewMouseEnabled);
  virtual void addView(CView* view);
  virtual void removeView(CView* view, bool withRelease = true);
  virtual void removeAllViews(bool withRelease = true);
  virtual bool containsView(CView* view) const;
  virtual int viewCount() const;
  virtual CView* viewAt(int index) const;
  virtual void setBackgroundColor(const CColor& color);
  virtual CColor getBackgroundColor() const { return backgroundColor; }
  virtual void setBackgroundOffset(const CPoint& point) { backgroundOffset = point; }
  virtual CPoint getBackgroundOffset() const { return backgroundOffset; }
  virtual void drawBackgroundArea(CDrawContext* context, const CRect& area);
  virtual void setRedrawMode(int mode) { redrawMode = mode; }
  virtual int getRedrawMode() const { return redrawMode; }
  virtual void setDrawOffscreen(bool flag);
  virtual bool getDrawOffscreen() const { return drawOffscreen; }
  virtual CView* viewUnderPointer();
  virtual CView* viewAtPoint(CPoint where, bool deep);
  virtual bool moveFocus(CView* from, bool backwards);

 protected:
  CRect localSize() const { return CRect(0, 0, bounds.width(), bounds.height()); }
  void makeOffscreen();
  void releaseOffscreen();
  // The context to draw into and the given context's clip, per the offscreen
  // setting; undone by finishTarget.
  struct DrawTarget {
    CDrawContext* target;
    CPoint savedOffset;
    CPoint savedOrigin;
    CRect givenClip;
    CRect clip;
    bool offscreen;
  };
  DrawTarget beginTarget(CDrawContext* context);
  void finishTarget(CDrawContext* context, const DrawTarget& target);

  std::list<CView*> children;
  int redrawMode = kRedrawDirtyOnly;
  COffscreenContext* offscreen = nullptr;
  CColor backgroundColor = kColorBlack;
  CPoint backgroundOffset;
  bool drawOffscreen = true;
  CView* dragTarget = nullptr;
};

}  // namespace toolkit
