// The frame's drop target: the platform reports drags from other programs over
// the frame's window to it, and it hands them to the frame as view drag
// operations at the current pointer, wrapped in a CDragContainer.
//
// Reference counted by the platform only: the registration holds a reference,
// the revocation gives it back, and the last Release destroys the object.
// UI thread only.
#pragma once

#include <cstdint>

#include "platform/x11_xdnd.h"

namespace toolkit {

class CDrawContext;
class CDragContainer;
class CFrame;
struct CPoint;

class CDropTarget final : public platform::DropTargetInterface {
 public:
  explicit CDropTarget(CFrame* frame);
  CDropTarget(const CDropTarget&) = delete;
  CDropTarget& operator=(const CDropTarget&) = delete;

  std::int32_t AddRef() override;
  std::int32_t Release() override;
  // Every drag operation answers 0. The effect is copy while a drag is over a
  // frame, none otherwise: nothing here ever takes the data, so it is never
  // reported as moved.
  std::int32_t DragEnter(platform::DragData* data, platform::DropEffect* effect) override;
  std::int32_t DragOver(int x, int y, platform::DropEffect* effect) override;
  std::int32_t DragLeave() override;
  std::int32_t Drop(platform::DragData* data, platform::DropEffect* effect) override;

 private:
  ~CDropTarget() = default;  // only the last Release destroys it

  // Runs a view operation with a fresh context and the pointer in frame
  // coordinates; the point the source sent is not trusted.
  template <typename Operation>
  void atPointer(Operation operation);

  std::int32_t referenceCount = 0;
  CFrame* frame;
};

}  // namespace toolkit
