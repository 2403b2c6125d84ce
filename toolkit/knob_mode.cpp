#include "toolkit/knob_mode.h"

namespace toolkit {
namespace {
int processKnobMode = 0;
}  // namespace

int knobMode() { return processKnobMode; }
void setKnobMode(int mode) { processKnobMode = mode; }

}  // namespace toolkit
