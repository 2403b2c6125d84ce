// How controls report to their owner (the editor).
#pragma once

namespace toolkit {

class CDrawContext;
class CControl;

class CControlListener {
 public:
  virtual ~CControlListener() = default;
  virtual void valueChanged(CDrawContext* context, CControl* control) = 0;
  // Non-zero: the listener handled a click that carried a modifier, and the
  // control skips its own handling.
  virtual int onModifierClick(CDrawContext*, CControl*, int /*buttons*/) { return 0; }
};

}  // namespace toolkit
