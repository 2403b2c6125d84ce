// A view that writes down every drag operation it receives, and a pointer the
// test places, for the drag-and-drop suites.
#pragma once

#include <string>
#include <vector>

#include "toolkit/cdrag_container.h"
#include "toolkit/cview.h"
#include "toolkit/input_source.h"

namespace dnd_test {

struct DragEvent {
  std::string view;
  std::string kind;  // enter, over, leave, drop
  toolkit::CPoint where;
  toolkit::CDragContainer* drag = nullptr;
  int items = -1;
};

inline bool operator==(const DragEvent& a, const DragEvent& b) {
  return a.view == b.view && a.kind == b.kind && a.where == b.where;
}

inline std::ostream& operator<<(std::ostream& out, const DragEvent& e) {
  return out << e.view << ':' << e.kind << '(' << e.where.h << ',' << e.where.v << ')';
}

class RecordingView final : public toolkit::CView {
 public:
  RecordingView(const toolkit::CRect& size, std::string name, std::vector<DragEvent>& log)
      : CView(size), name_(std::move(name)), log_(log) {}
  // Keeps a reference to every container it is entered with, so a test can
  // see whether the drop target let go of it.
  ~RecordingView() override {
    for (toolkit::CDragContainer* drag : kept_) drag->release();
  }

  bool onDrop(toolkit::CDrawContext*, toolkit::CDragContainer* drag, toolkit::CPoint where) override {
    record("drop", drag, where);
    return false;
  }
  void onDragEnter(toolkit::CDrawContext*, toolkit::CDragContainer* drag, toolkit::CPoint where) override {
    record("enter", drag, where);
    if (keepDrags && drag) {
      drag->retain();
      kept_.push_back(drag);
    }
  }
  void onDragLeave(toolkit::CDrawContext*, toolkit::CDragContainer* drag, toolkit::CPoint where) override {
    record("leave", drag, where);
  }
  void onDragOver(toolkit::CDrawContext*, toolkit::CDragContainer* drag, toolkit::CPoint where) override {
    record("over", drag, where);
  }

  bool keepDrags = false;

 private:
  void record(const char* kind, toolkit::CDragContainer* drag, toolkit::CPoint where) {
    log_.push_back(DragEvent{name_, kind, where, drag, drag ? drag->getItemCount() : -1});
  }

  std::string name_;
  std::vector<DragEvent>& log_;
  std::vector<toolkit::CDragContainer*> kept_;
};

// The pointer where the test puts it, for frames without a window.
class PlacedPointer final : public toolkit::InputSource {
 public:
  PlacedPointer() { toolkit::setInputSource(this); }
  ~PlacedPointer() override { toolkit::setInputSource(nullptr); }
  PlacedPointer(const PlacedPointer&) = delete;
  PlacedPointer& operator=(const PlacedPointer&) = delete;

  bool pointerPosition(toolkit::CPoint& where) override {
    where = at;
    return true;
  }
  int buttons() override { return 0; }
  std::uint32_t ticks() override { return 0; }
  void sleep(int) override {}

  toolkit::CPoint at;
};

}  // namespace dnd_test
