// Messages passed to CView::notify. A receiver recognises a message by the
// identity of its text object, not by its characters.
#pragma once

namespace toolkit {

extern const char kMsgCheckIfViewContainer[];

}  // namespace toolkit
