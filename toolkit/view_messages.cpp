#include "toolkit/view_messages.h"

namespace toolkit {

const char kMsgCheckIfViewContainer[] = "kMsgCheckIfViewContainer";

}  // namespace toolkit
