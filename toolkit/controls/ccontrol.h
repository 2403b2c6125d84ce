// The base of every view that holds a value and reports its changes: value
// with bounds and default, a tag, the listener, the redraw rule, edit
// gestures for the host, the double-click test and the control-click reset.
// UI thread only.
#pragma once

#include <cstdint>

#include "toolkit/ccontrol_listener.h"
#include "toolkit/cview.h"

namespace toolkit {

// X has no system-wide double-click time; this is the one most desktops use.
inline constexpr int kSystemDoubleClickTime = 400;
// The window a control uses for a given system setting: never below 250 ms.
constexpr int doubleClickWindow(int systemMilliseconds) { return systemMilliseconds < 250 ? 250 : systemMilliseconds; }

class CControl : public CView {
 public:
  CControl(const CRect& size, CControlListener* listener = nullptr, int tag = 0, CBitmap* background = nullptr);
  ~CControl() override;

  void draw(CDrawContext* context) override = 0;
  bool isDirty() const override;
  void setDirty(bool flag) override;
  bool isOfClass(const char* className) const override;

  virtual void doIdleWork();
  virtual void setValue(float newValue) { value = newValue; }
  virtual float getValue() const { return value; }
  virtual void setMin(float newMinimum) { minimum = newMinimum; }
  virtual float getMin() const { return minimum; }
  virtual void setMax(float newMaximum) { maximum = newMaximum; }
  virtual float getMax() const { return maximum; }
  virtual void setDrawnValue(float newValue) { drawnValue = newValue; }
  virtual float getDrawnValue() const { return drawnValue; }
  virtual void setDefaultValue(float newValue) { defaultValue = newValue; }
  virtual float getDefaultValue() const { return defaultValue; }
  virtual void setTag(int newTag) { tag = newTag; }
  virtual int getTag() const { return tag; }
  virtual void beginEdit();
  virtual void endEdit();
  virtual void setPictureOffset(CPoint offset) { pictureOffset = offset; }
  virtual void alignPictureOffset() { pictureOffset = CPoint(bounds.left, bounds.top); }
  virtual void setWheelStep(float step) { wheelStep = step; }
  virtual float getWheelStep() const { return wheelStep; }
  virtual void clampValue();
  virtual bool resetOnControlClick(CDrawContext* context, int buttons);

  bool isDoubleClick();

  CControlListener* getListener() const { return listener; }
  void setListener(CControlListener* newListener) { listener = newListener; }
  CPoint getPictureOffset() const { return pictureOffset; }
  int getDoubleClickTime() const { return doubleClickTime; }
  void setDoubleClickTime(int milliseconds) { doubleClickTime = doubleClickWindow(milliseconds); }

 protected:
  CControlListener* listener;
  std::int32_t tag;
  float drawnValue = 1.0f;
  float defaultValue = 0.5f;
  float value = 0.0f;
  float minimum = 0.0f;
  float maximum = 1.0f;
  float wheelStep = 0.1f;
  std::int32_t lastClickTicks = -1;
  std::int32_t doubleClickTime = doubleClickWindow(kSystemDoubleClickTime);
  CPoint pictureOffset;
};

// True when any modifier bit (shift, control, alt, command) is set.
constexpr bool hasModifier(int buttons) { return (buttons & (8 | 16 | 32 | 64)) != 0; }

}  // namespace toolkit
