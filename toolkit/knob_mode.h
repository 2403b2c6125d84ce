// The host's knob mode, one value for every editor of the process. Written by
// the editor, read through the frame; UI thread only.
#pragma once

namespace toolkit {

int knobMode();
void setKnobMode(int mode);

}  // namespace toolkit
