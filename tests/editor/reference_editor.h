// What the editor must look like in a given state, drawn headless by an
// in-process instance of the same editor: the X11 tests compare the real
// window of the loaded kelbra.so with it.
#pragma once

#include <string>

#include "tests/editor/x11_session.h"

namespace editor_test {

struct EditorState {
  std::string identifier;  // as the field shows it
  std::string status;      // the status line's text
  float send = 1.0f;
  float receive = 1.0f;
  float dry = 1.0f;
  float latency = 3.0f;  // the buffer choice index
};

Image expectedEditor(const EditorState& state);
// Pixels that differ between two images of one size; -1 when the sizes differ.
int differingPixels(const Image& a, const Image& b);

}  // namespace editor_test
