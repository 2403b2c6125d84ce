// A momentary push button drawn from a picture holding two images stacked
// vertically: released on top, pressed below. While the left button is held
// over it the value is 1; the release always brings it back to 0 and reports
// that. UI thread only; the press is tracked in a modal loop.
#pragma once

#include "toolkit/controls/ccontrol.h"

namespace toolkit {

class CKickButton : public CControl {
 public:
  CKickButton(const CRect& size, CControlListener* listener, int tag, CBitmap* picture, int imageHeight,
              CPoint imageOffset = CPoint(0, 0));

  void draw(CDrawContext* context) override;
  void onMouseDown(CDrawContext* context, CPoint where, int buttons) override;
  bool isOfClass(const char* className) const override;

 protected:
  CPoint imageOffset;
  int imageHeight;
};

}  // namespace toolkit
