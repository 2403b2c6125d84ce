// Where the toolkit reads the pointer, the button state and the time. The
// system source asks the display server and the monotonic clock; tests install
// a scripted source so drags, double clicks and idle pacing run without X.
// UI thread only.
#pragma once

#include <cstdint>

#include "toolkit/crect.h"

namespace toolkit {

class InputSource {
 public:
  virtual ~InputSource() = default;
  // Pointer position on the screen; false when it cannot be read.
  virtual bool pointerPosition(CPoint& where) = 0;
  // kButton* and kMod* bits of what is down right now.
  virtual int buttons() = 0;
  virtual std::uint32_t ticks() = 0;  // milliseconds, wrapping
  virtual void sleep(int milliseconds) = 0;
};

InputSource& inputSource();
// nullptr puts the system source back. The caller keeps ownership.
void setInputSource(InputSource* source);

// Events are routed from the host's idle, after the fact: a quick click may be
// over when its press is handled. The press being dispatched is therefore
// answered once by the next button query, later queries read the live state.
void setPendingPress(int buttons);
void clearPendingPress();
// The pending press if any (and clears it), else the source's live state.
int currentButtons();

}  // namespace toolkit
