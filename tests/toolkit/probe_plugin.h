// What the test plug-in's editor saw, read by the X11 suite through dlsym.
#pragma once

struct ToolkitProbe {
  int paints;        // draws of the probe view
  int clicks;
  int clickX;        // where the last click arrived, in the frame's coordinates
  int clickY;
  int clickButtons;  // kButton* / kMod* bits of the last click
  int wheels;
  float lastWheel;
  int connectionUsers;  // holders of the module's display connection, 0 when closed
};

// Exported by the test plug-in; the answer is refreshed on every call.
extern "C" ToolkitProbe* toolkitTestProbe();
// The toolkit's button query in the plug-in, as a control's tracking loop polls it.
extern "C" int toolkitTestQueryButtons();
// The open editor frame's pointer position (frame coordinates); 0 without one.
extern "C" int toolkitTestPointer(int* x, int* y);
// The open frame's getSize (left, top, right, bottom), getPosition and setSize.
extern "C" int toolkitTestGetSize(int* rect);
extern "C" int toolkitTestGetPosition(int* x, int* y);
extern "C" int toolkitTestSetSize(int width, int height);
