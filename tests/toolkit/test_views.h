// Views that record what reaches them, for the container and frame tests.
#pragma once

#include <string>
#include <vector>

#include "toolkit/cdraw_context.h"
#include "toolkit/cview.h"

namespace toolkit_test {

// Fills its bounds (edges included) with one colour and records every call.
class PaintView : public toolkit::CView {
 public:
  PaintView(const toolkit::CRect& size, toolkit::CColor color, std::vector<std::string>* log = nullptr,
            std::string name = "")
      : CView(size), color_(color), log_(log), name_(std::move(name)) {}
  ~PaintView() override {
    if (destroyed) *destroyed = true;
  }

  void draw(toolkit::CDrawContext* context) override {
    if (log_) log_->push_back("draw " + name_);
    ++draws;
    context->setFillColor(color_);
    context->setLineColor(color_);
    context->fillRect(bounds);
    context->frameRect(bounds);
    setDirty(false);
  }
  void onMouseDown(toolkit::CDrawContext*, toolkit::CPoint where, int buttons) override {
    if (log_) log_->push_back("click " + name_);
    clicks.push_back(where);
    clickButtons.push_back(buttons);
  }
  bool onWheelAxis(toolkit::CDrawContext* context, toolkit::CPoint where, int axis, float distance) override {
    wheelAxes.push_back(axis);
    return CView::onWheelAxis(context, where, axis, distance);
  }
  bool onWheel(toolkit::CDrawContext*, toolkit::CPoint where, float distance) override {
    wheels.push_back(distance);
    wheelPoints.push_back(where);
    return true;
  }
  std::int32_t onKeyDown(vst::VstKeyCode& key) override {
    keys.push_back(key.character);
    return keyAnswer;
  }
  void onFocusLost(toolkit::CDrawContext* context) override {
    if (log_) log_->push_back("focusLost " + name_);
    focusLostContexts.push_back(context);
  }

  int draws = 0;
  std::vector<toolkit::CPoint> clicks;
  std::vector<int> clickButtons;
  std::vector<float> wheels;
  std::vector<int> wheelAxes;
  std::vector<toolkit::CPoint> wheelPoints;
  std::vector<int> keys;
  std::vector<toolkit::CDrawContext*> focusLostContexts;
  std::int32_t keyAnswer = -1;
  bool* destroyed = nullptr;

 private:
  toolkit::CColor color_;
  std::vector<std::string>* log_;
  std::string name_;
};

}  // namespace toolkit_test
