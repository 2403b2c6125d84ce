#include "toolkit/cdrop_target.h"

#include "toolkit/cdrag_container.h"
#include "toolkit/cdraw_context.h"
#include "toolkit/cframe.h"

namespace toolkit {

CDropTarget::CDropTarget(CFrame* owner) : frame(owner) {}

std::int32_t CDropTarget::AddRef() { return ++referenceCount; }

std::int32_t CDropTarget::Release() {
  if (--referenceCount > 0) return referenceCount;
  delete this;
  return 0;
}

template <typename Operation>
void CDropTarget::atPointer(Operation operation) {
  CDrawContext* context = frame->createDrawContext();
  CPoint where(0, 0);
  if (context) frame->getMousePosition(context, where);
  operation(context, where);
  if (context) context->release();
}

std::int32_t CDropTarget::DragEnter(platform::DragData* data, platform::DropEffect* effect) {
  if (!data || !frame) {
    if (effect) *effect = platform::DropEffect::none;
    return 0;
  }
  // A drag whose end never reached us is over.
  if (currentDrag) currentDrag->release();
  currentDrag = new CDragContainer(data);
  atPointer([this](CDrawContext* context, CPoint where) { frame->onDragEnter(context, currentDrag, where); });
  if (effect) *effect = platform::DropEffect::copy;
  return 0;
}

std::int32_t CDropTarget::DragOver(int, int, platform::DropEffect* effect) {
  if (!currentDrag || !frame) return 0;
  atPointer([this](CDrawContext* context, CPoint where) { frame->onDragOver(context, currentDrag, where); });
  if (effect) *effect = platform::DropEffect::copy;
  return 0;
}

std::int32_t CDropTarget::DragLeave() {
  if (!currentDrag || !frame) return 0;
  atPointer([this](CDrawContext* context, CPoint where) { frame->onDragLeave(context, currentDrag, where); });
  currentDrag->release();
  currentDrag = nullptr;
  return 0;
}

std::int32_t CDropTarget::Drop(platform::DragData*, platform::DropEffect* effect) {
  if (!currentDrag || !frame) return 0;
  atPointer([this](CDrawContext* context, CPoint where) { frame->onDrop(context, currentDrag, where); });
  currentDrag->release();
  currentDrag = nullptr;
  if (effect) *effect = platform::DropEffect::copy;
  return 0;
}

}  // namespace toolkit
