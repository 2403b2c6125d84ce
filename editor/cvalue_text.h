// The editor's level display: drawn like a parameter display, and changed by
// dragging with the left button (right or up raises the value, left or down
// lowers it): 200 pixels for the whole range, fineFactor times that with
// shift held. UI thread only; the drag is tracked in a modal loop.
#pragma once

#include "toolkit/controls/cparam_display.h"

class CValueText : public toolkit::CParamDisplay {
 public:
  CValueText(const toolkit::CRect& size, toolkit::CControlListener* listener, int tag);

  void onMouseDown(toolkit::CDrawContext* context, toolkit::CPoint where, int buttons) override;
  bool isOfClass(const char* className) const override;

  float getFineFactor() const { return fineFactor; }

 protected:
  float fineFactor = 1.5f;
};
