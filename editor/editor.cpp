#include "editor/editor.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "editor/cvalue_text.h"
#include "plugin/float_conversion.h"
#include "plugin/kelbra.h"
#include "plugin/parameters.h"
#include "toolkit/cbitmap.h"
#include "toolkit/cframe.h"
#include "toolkit/controls/ckick_button.h"
#include "toolkit/controls/coption_menu.h"
#include "toolkit/controls/ctext_edit.h"
#include "toolkit/controls/ctext_label.h"

using namespace toolkit;

namespace {

constexpr int kBackgroundPicture = 101;
constexpr int kButtonPicture = 102;
constexpr int kEditorWidth = 170;
constexpr int kEditorHeight = 150;
constexpr int kIdentifierBytes = 33;  // 32 characters and the terminator
constexpr const char* kBufferEntries[] = {"256", "512", "1024", "2048", "4096", "8192"};

// The first 32 characters of the instance's identifier, terminated.
void keptIdentifier(Kelbra* plugin, char* buffer) {
  const std::string id = plugin ? plugin->connectionId() : std::string();
  const std::size_t length = id.size() < kIdentifierBytes - 1 ? id.size() : kIdentifierBytes - 1;
  std::memcpy(buffer, id.data(), length);
  buffer[length] = 0;
}

// Adds a created control to the frame; a control that could not be made
// stays null and is skipped from here on.
template <typename T>
T* place(CFrame* frame, T* control) {
  if (control) frame->addView(control);  // the frame takes the creator's reference
  return control;
}

}  // namespace

void formatPercent(float value, char* text) {
  if (!text) return;
  if (value != value) {
    std::snprintf(text, 256, "NaN");
    return;
  }
  const auto percent = truncateToInt32(value * 100.0f + 0.5f);
  if (percent) {
    std::snprintf(text, 256, "%d", static_cast<int>(*percent));
  } else {
    std::snprintf(text, 256, "Huge!");
  }
}

Editor::Editor(Kelbra* instance) : AEffGUIEditor(instance), plugin(instance) {
  background = new CBitmap(kBackgroundPicture);
  rect.top = 0;
  rect.left = 0;
  rect.bottom = kEditorHeight;
  rect.right = kEditorWidth;
}

Editor::~Editor() {
  // Hosts close the window before deleting the instance; one that does not
  // would leave a window whose events reach a deleted editor. The controls go
  // without reporting (an open field drops its text), so the instance, which
  // is already gone, is not called.
  if (frame) close();
  if (background) background->release();
}

bool Editor::open(void* parent) {
  if (frame) close();  // a second open without close would leak the first window
  parentWindow = parent;
  CBitmap* buttonPicture = new (std::nothrow) CBitmap(kButtonPicture);
  auto* newFrame = new CFrame(CRect(0, 0, kEditorWidth, kEditorHeight), parent, this);
  newFrame->setBackgroundBitmap(background);

  char identifier[kIdentifierBytes];
  keptIdentifier(plugin, identifier);
  // Changes recorded while closed are already in the values read below.
  pendingParameters.store(0, std::memory_order_relaxed);

  idEdit = place(newFrame, new (std::nothrow) CTextEdit(CRect(50, 25, 150, 45), this, kTagIdentifier, identifier));
  if (idEdit) {
    idEdit->setFont(kFontLarge);
    idEdit->setTextStyle(kStyleBold);
    idEdit->setFontColor(kColorWhite);
    idEdit->setBackColor(kColorBlack);
    idEdit->setTextAlign(kAlignLeft);
  }

  const struct {
    CValueText** field;
    CRect size;
    int tag;
  } displays[] = {{&sendDisplay, CRect(20, 65, 50, 81), kParamSend},
                  {&receiveDisplay, CRect(70, 65, 100, 81), kParamReceive},
                  {&dryDisplay, CRect(120, 65, 150, 81), kParamDry}};
  for (const auto& d : displays) {
    CValueText* display = new (std::nothrow) CValueText(d.size, this, d.tag);
    if (display) {
      display->setFont(kFontNormal);
      display->setTextStyle(kStyleBold);
      display->setFontColor(kColorBlack);
      display->setBackColor(kColorWhite);
      display->setValue(plugin ? plugin->getParameter(d.tag) : 0.0f);
      display->setValueFormatter(formatPercent);
    }
    *d.field = place(newFrame, display);
  }

  bufferMenu = new (std::nothrow) COptionMenu(CRect(18, 101, 52, 117), this, kParamLatency);
  if (bufferMenu) {
    bufferMenu->setFont(kFontSmaller);
    bufferMenu->setTextStyle(0);
    bufferMenu->setFontColor(kColorBlack);
    bufferMenu->setBackColor(kColorWhite);
    bufferMenu->setTextAlign(kAlignCenter);
    for (const char* entry : kBufferEntries) bufferMenu->addEntry(entry);
    bufferMenu->setValue(plugin ? plugin->getParameter(kParamLatency) : 0.0f);
  }
  place(newFrame, bufferMenu);

  resyncButton = place(newFrame, new (std::nothrow) CKickButton(CRect(120, 101, 150, 117), this, kParamResync,
                                                                buttonPicture, 16, CPoint(0, 0)));

  statusLine = new (std::nothrow) CTextLabel(CRect(20, 127, 150, 143), background, 0);
  if (statusLine) {
    statusLine->setFont(kFontSmall);
    statusLine->setTextStyle(0);
    statusLine->setFontColor(kColorGrey);
    statusLine->setBackColor(kColorWhite);
  }
  place(newFrame, statusLine);

  if (buttonPicture) buttonPicture->release();  // the button holds its own reference
  frame = newFrame;
  {
    // A status text from before this opening is not shown.
    std::lock_guard lock(statusMutex);
    statusPending = false;
    pendingStatus.clear();
    acceptsStatus = statusLine != nullptr;
  }
  return true;
}

void Editor::close() {
  {
    std::lock_guard lock(statusMutex);
    acceptsStatus = false;
    statusPending = false;
    pendingStatus.clear();
  }
  if (frame) delete frame;
  frame = nullptr;
  idEdit = nullptr;
  sendDisplay = nullptr;
  receiveDisplay = nullptr;
  dryDisplay = nullptr;
  bufferMenu = nullptr;
  resyncButton = nullptr;
  statusLine = nullptr;
}

void Editor::idle() {
  if (!inIdleWork && frame) applyPendingChanges();
  AEffGUIEditor::idle();
}

void Editor::setParameter(int index, float) {
  // The value itself is read back from the instance when it is shown.
  if (index >= kParamSend && index <= kParamLatency)
    pendingParameters.fetch_or(1u << static_cast<unsigned>(index), std::memory_order_release);
}

void Editor::showStatus(const char* text) {
  std::lock_guard lock(statusMutex);
  if (!acceptsStatus) return;  // no status line while closed
  pendingStatus.assign(text ? text : "");
  statusPending = true;
}

void Editor::applyPendingChanges() {
  const std::uint32_t changed = pendingParameters.exchange(0, std::memory_order_acquire);
  for (int index = kParamSend; index <= kParamLatency; ++index) {
    if (changed & (1u << static_cast<unsigned>(index))) showParameter(index);
  }
  std::string status;
  {
    std::lock_guard lock(statusMutex);
    if (!statusPending) return;
    statusPending = false;
    status.swap(pendingStatus);
  }
  if (statusLine) {
    statusLine->setText(status.c_str());
    statusLine->setDirty(true);
  }
}

void Editor::showParameter(int index) {
  if (!plugin) return;
  CControl* control = nullptr;
  switch (index) {
    case kParamSend: control = sendDisplay; break;
    case kParamReceive: control = receiveDisplay; break;
    case kParamDry: control = dryDisplay; break;
    case kParamLatency: control = bufferMenu; break;
    default: break;
  }
  // A display whose value differs from the one it drew redraws at the next
  // idle; the menu marks itself.
  if (control) control->setValue(plugin->getParameter(index));
}

void Editor::valueChanged(CDrawContext*, CControl* control) {
  if (!control || !plugin) return;
  const int tag = control->getTag();
  switch (tag) {
    case kParamSend:
    case kParamReceive:
    case kParamDry:
    case kParamLatency: plugin->automateParameter(tag, control->getValue()); break;
    case kTagIdentifier: commitIdentifier(); break;
    case kParamResync: plugin->setParameter(kParamResync, control->getValue()); break;
    default: return;
  }
  control->setDirty(true);
}

void Editor::commitIdentifier() {
  if (!idEdit) return;
  char buffer[kTextBufferSize];
  idEdit->getText(buffer);
  plugin->setConnectionId(buffer);
  keptIdentifier(plugin, buffer);
  idEdit->setText(buffer);
}
