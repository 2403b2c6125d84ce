// What the views see of a drag from another program: how many items it
// carries (1 for text, else the number of entries of a URI list). Made by the
// drop target when a drag enters a frame's window. UI thread only.
#pragma once

#include <string_view>
#include <vector>

#include "toolkit/creference_counter.h"

namespace platform {
class DragData;
}

namespace toolkit {

class CDragContainer : public CReferenceCounter {
 public:
  // Counts the items now. The data is neither kept nor retained: it lives
  // only as long as the drag, and no view reads it.
  explicit CDragContainer(platform::DragData* data);

  int getItemCount() const { return itemCount; }

 protected:
  int itemCount = 0;
};

// The drag in progress over any frame of the process, or none. One value for
// the process: every frame runs on the host's UI thread, one event at a time.
extern CDragContainer* currentDrag;

// Type names under which sources offer plain text.
bool isPlainTextType(std::string_view type);
// The entries of a text/uri-list: its lines (CRLF or bare LF), trimmed,
// without empty lines and '#' comments.
std::vector<std::string_view> uriListEntries(std::string_view text);

}  // namespace toolkit
