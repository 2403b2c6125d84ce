// Drops from other programs onto our window over XDND, presented to the
// toolkit as a drop-target object with four drag operations, without X11
// types. The window speaks the protocol itself (XdndAware, the client
// messages, the selection transfer) and calls the registered target.
//
// UI thread only: the calls reach the target from the host's idle calls
// (NativeWindow::pumpEvents), one at a time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// What the target tells the source it would do with the data. There is no
// move: a source deletes what it believes was moved, and we never take data.
enum class DropEffect { none, copy };

// The data of one drag, as the source offers it. Lives from the enter of a
// drag to its leave or drop.
class DragData {
 public:
  // The source's type names (MIME types and selection targets), in its order.
  virtual const std::vector<std::string>& types() const = 0;
  // Asks the source for its data in one of the offered types and waits for
  // the answer (bounded); false when it refuses, dies or is too slow.
  virtual bool request(std::string_view type, std::string& bytes) = 0;

 protected:
  ~DragData() = default;
};

// Implemented by the toolkit's drop target. The registration holds one
// reference (AddRef) and the revocation gives it back (Release), so the last
// release may destroy the object. x, y: the root position the source sent
// (only positions carry one).
class DropTargetInterface {
 public:
  virtual std::int32_t AddRef() = 0;
  virtual std::int32_t Release() = 0;
  virtual std::int32_t DragEnter(DragData* data, DropEffect* effect) = 0;
  virtual std::int32_t DragOver(int x, int y, DropEffect* effect) = 0;
  virtual std::int32_t DragLeave() = 0;
  virtual std::int32_t Drop(DragData* data, DropEffect* effect) = 0;

 protected:
  ~DropTargetInterface() = default;
};

// Makes window (one of ours) a drop site: XdndAware version 5, XdndProxy on
// the window itself and, when the host's top-level window has no XDND
// properties of its own, XdndProxy there pointing to us, since sources only
// look at top-level windows. False when there is no connection, the window is
// gone or already registered; the target is then not referenced.
bool registerDragDrop(std::uintptr_t window, DropTargetInterface* target);
// Withdraws the properties (the top-level's only while they still point to
// us), ends a drag in progress with DragLeave and releases the target. False
// when the window was not registered.
bool revokeDragDrop(std::uintptr_t window);

}  // namespace platform
