// Bits of the mouse button and modifier state handed to mouse operations.
// The value -1 asks the receiver to read the state itself (queryButtons).
#pragma once

namespace toolkit {

enum : int {
  kButtonLeft = 1,
  kButtonMiddle = 2,
  kButtonRight = 4,
  kModShift = 8,
  kModControl = 16,
  kModAlt = 32,
  kModCommand = 64,  // tested by controls; never set by this platform's query
};

inline constexpr int kButtonsQuery = -1;

}  // namespace toolkit
