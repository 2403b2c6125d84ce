#include "toolkit/controls/coption_menu.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "platform/native_window.h"
#include "plugin/float_conversion.h"
#include "toolkit/button_state.h"
#include "toolkit/cdraw_context.h"
#include "toolkit/cframe.h"
#include "toolkit/controls/native_widgets.h"
#include "toolkit/controls/text_buffer.h"
#include "toolkit/font_table.h"
#include "toolkit/view_messages.h"

namespace toolkit {
namespace {

bool isSeparator(const char* text) { return std::strcmp(text, "-") == 0; }
bool hasMarker(const char* text, char marker) { return text[0] == '-' && text[1] == marker; }
bool isTitle(const char* text) { return hasMarker(text, 'T'); }
// Separators and titles are not counted where selectable entries are counted.
bool isCounted(const char* text) { return !isSeparator(text) && !isTitle(text); }

// The entry text with its numbered prefix, cut to 255 bytes.
void writeEntry(char* destination, const char* marker, int prefixNumbers, int number, const char* text) {
  std::string formatted;
  char prefix[32] = {};
  switch (prefixNumbers) {
    case 2: std::snprintf(prefix, sizeof prefix, "%1d ", number); break;
    case 3: std::snprintf(prefix, sizeof prefix, "%02d ", number); break;
    case 4: std::snprintf(prefix, sizeof prefix, "%03d ", number); break;
    default: break;
  }
  formatted.append(marker).append(prefix).append(text);
  copyTextBuffer(destination, formatted.c_str());
}

}  // namespace

COptionMenu::COptionMenu(const CRect& size, CControlListener* menuListener, int menuTag)
    : CParamDisplay(size, nullptr, 0) {
  listener = menuListener;
  tag = menuTag;
}

COptionMenu::~COptionMenu() { removeAllEntries(); }

bool COptionMenu::isOfClass(const char* className) const {
  return isClassName(className, "COptionMenu") || CParamDisplay::isOfClass(className);
}

bool COptionMenu::growEntries() {
  if (entryCount < entryCapacity) return true;
  try {
    const auto capacity = static_cast<std::size_t>(entryCapacity) + 32;
    entries.reserve(capacity);
    checks.reserve(capacity);
    entries.resize(capacity);
    checks.resize(capacity, 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  entryCapacity += 32;
  return true;
}

bool COptionMenu::addEntry(const char* text, int position) {
  if (entryCount >= kMaxEntries || !growEntries()) return false;
  auto buffer = std::unique_ptr<char[]>(new (std::nothrow) char[kTextBufferSize]);
  if (!buffer) return false;
  buffer[0] = 0;
  entries[static_cast<std::size_t>(entryCount)] = std::move(buffer);
  int i = entryCount;
  if (position >= 0) {
    // Texts move up one place; the check flags stay where they are.
    for (int k = entryCount; k > position; --k) std::memcpy(entryText(k), entryText(k - 1), kTextBufferSize);
    if (position < entryCount) i = position;
    if (currentIndex >= position) ++currentIndex;
  }
  entryText(i)[0] = 0;
  if (text) writeEntry(entryText(i), "", prefixNumbers, i + 1, text);
  ++entryCount;
  if (currentIndex == -1) currentIndex = 0;
  return true;
}

bool COptionMenu::addSubmenu(COptionMenu* submenu, const char* title) {
  if (entryCount >= kMaxEntries || !submenu || !title) return false;
  if (!growEntries()) return false;
  if (submenuCount >= submenuCapacity) {
    try {
      submenus.resize(static_cast<std::size_t>(submenuCapacity) + 10, nullptr);
    } catch (const std::bad_alloc&) {
      return false;
    }
    submenuCapacity += 10;
  }
  auto buffer = std::unique_ptr<char[]>(new (std::nothrow) char[kTextBufferSize]);
  if (!buffer) return false;
  writeEntry(buffer.get(), "-M", prefixNumbers, entryCount + 1, title);
  entries[static_cast<std::size_t>(entryCount)] = std::move(buffer);
  submenus[static_cast<std::size_t>(submenuCount++)] = submenu;
  submenu->retain();
  ++entryCount;
  if (currentIndex == -1) currentIndex = 0;
  return true;
}

int COptionMenu::getCurrent(char* buffer, bool rawIndex) const {
  if (!inRange(currentIndex)) return -1;
  if (buffer) copyTextBuffer(buffer, entryText(currentIndex));
  if (rawIndex) return currentIndex;
  int counted = 0;
  for (int k = 0; k < currentIndex; ++k) {
    if (isCounted(entryText(k))) ++counted;
  }
  return counted;
}

bool COptionMenu::setCurrent(int index, bool rawIndex) {
  if (!inRange(index)) return false;
  if (rawIndex) {
    if (isSeparator(entryText(index))) return false;
    currentIndex = index;
  } else {
    int counted = 0;
    int chosen = entryCount - 1;
    for (int k = 0; k < entryCount; ++k) {
      if (isCounted(entryText(k)) && ++counted == index + 1) {
        chosen = k;
        break;
      }
    }
    currentIndex = chosen;
  }
  if (style & kMultipleCheck) checks[static_cast<std::size_t>(currentIndex)] ^= 1;
  setDirty(true);
  return true;
}

bool COptionMenu::getEntry(int index, char* buffer) const {
  if (!inRange(index)) return false;
  if (buffer) copyTextBuffer(buffer, entryText(index));
  return true;
}

bool COptionMenu::setEntry(int index, const char* text) {
  if (!inRange(index)) return false;
  if (text) copyTextBuffer(entryText(index), text);
  return true;
}

bool COptionMenu::removeEntry(int index) {
  if (!inRange(index)) return false;
  --entryCount;
  for (int k = index; k < entryCount; ++k) {
    std::memcpy(entryText(k), entryText(k + 1), kTextBufferSize);
    checks[static_cast<std::size_t>(k)] = checks[static_cast<std::size_t>(k) + 1];
  }
  if (currentIndex >= index) --currentIndex;
  entries[static_cast<std::size_t>(entryCount)].reset();
  checks[static_cast<std::size_t>(entryCount)] = 0;
  if (entryCount == 0) currentIndex = -1;
  return true;
}

bool COptionMenu::removeAllEntries() {
  entries.clear();
  entries.shrink_to_fit();
  checks.clear();
  checks.shrink_to_fit();
  entryCount = 0;
  currentIndex = -1;
  for (int k = 0; k < submenuCount; ++k) submenus[static_cast<std::size_t>(k)]->release();
  submenus.clear();
  submenus.shrink_to_fit();
  submenuCount = 0;
  entryCapacity = 0;
  submenuCapacity = 0;
  return true;
}

int COptionMenu::findEntry(const char* text) const {
  if (!text) return -1;
  for (int k = 0; k < entryCount; ++k) {
    if (std::strcmp(entryText(k), text) == 0) return k;
  }
  return -1;
}

bool COptionMenu::checkEntry(int index, bool state) {
  if (!inRange(index)) return false;
  checks[static_cast<std::size_t>(index)] = state ? 1 : 0;
  return true;
}

bool COptionMenu::checkEntryAlone(int index) {
  if (!inRange(index)) return false;
  for (auto& check : checks) check = 0;
  checks[static_cast<std::size_t>(index)] = 1;
  return true;
}

bool COptionMenu::isEntryChecked(int index) const {
  return inRange(index) && checks[static_cast<std::size_t>(index)] != 0;
}

COptionMenu* COptionMenu::getSubmenu(int index) const {
  return index >= 0 && index < submenuCount ? submenus[static_cast<std::size_t>(index)] : nullptr;
}

void COptionMenu::setValue(float newValue) {
  // NaN, infinities and values beyond int32 select nothing, like any other
  // index outside the entries.
  const std::optional<std::int32_t> index = truncateToInt32(newValue);
  if (!index || !inRange(*index)) return;
  currentIndex = *index;
  if (style & kMultipleCheck) checks[static_cast<std::size_t>(currentIndex)] ^= 1;
  value = newValue;
  setDirty(true);
}

void COptionMenu::draw(CDrawContext* context) {
  if (!inRange(currentIndex)) {
    drawDisplay(context, nullptr);
    return;
  }
  const char* text = entryText(currentIndex);
  const int skip = prefixNumbers >= 2 && prefixNumbers <= 4 ? prefixNumbers : 0;
  const auto length = static_cast<int>(std::strlen(text));
  drawDisplay(context, text + (skip < length ? skip : length));
}

void COptionMenu::onMouseDown(CDrawContext* context, CPoint, int buttons) {
  if (!isMouseEnabled() || !parentFrame || !context) return;
  lastButtons = buttons == kButtonsQuery ? CDrawContext::queryButtons() : buttons;
  if (listener && hasModifier(lastButtons) && listener->onModifierClick(context, this, lastButtons) != 0) return;
  if (!(lastButtons & (kButtonLeft | kButtonRight | 64))) return;
  beginEdit();
  onFocusGained(context);
}

void COptionMenu::onFocusLost(CDrawContext*) { nativeMenu = nullptr; }

void COptionMenu::onFocusGained(CDrawContext* context) {
  if (!parentFrame) return;
  CPoint origin;
  if (context) {
    origin = context->windowOrigin;
  } else if (platform::NativeWindow* window = parentFrame->getNativeWindow()) {
    int x = 0;
    int y = 0;
    if (window->screenOrigin(x, y)) origin = CPoint(x, y);
  }
  for (CView* ancestor = parentView; ancestor; ancestor = ancestor->getParentView()) {
    if (ancestor->notify(this, kMsgCheckIfViewContainer) == 1) {
      CRect outer;
      ancestor->getBounds(outer);
      origin.offset(outer.left, outer.top);
    }
  }
  int idBase = 0;
  std::unique_ptr<platform::PopupMenu> popup = buildNativeMenu(idBase);

  platform::PopupRequest request;
  request.ownerWindow = parentFrame->getWindowId();
  request.x = bounds.left + origin.h;
  request.y = ((style & kPopupAtTop) ? bounds.top : bounds.bottom) + origin.v;
  request.trackRightButton = (lastButtons & kButtonRight) != 0;
  const FontInfo& font = fontInfo(kFontNormal);
  request.face = font.face;
  request.pixelSize = font.defaultSize;
  const int result = popup ? nativeWidgets().runPopupMenu(*popup, request) : -1;
  destroyNativeMenus();
  popup.reset();

  if (result != -1) {
    CDrawContext* reportContext = context;
    if (!reportContext) reportContext = parentFrame->createDrawContext();
    int index = 0;
    int base = 0;
    if (COptionMenu* owner = menuForItem(result, index, base)) {
      owner->setValue(static_cast<float>(index));
      if (listener) listener->valueChanged(reportContext, owner);
    }
    if (reportContext && reportContext != context) reportContext->release();
  }
  if (parentFrame) parentFrame->setFocusView(nullptr);
  endEdit();
}

std::unique_ptr<platform::PopupMenu> COptionMenu::buildNativeMenu(int& idBase) {
  if (visiting) return nullptr;  // a menu inside itself gets no item there
  auto menu = std::make_unique<platform::PopupMenu>();
  visiting = true;
  const int base = idBase;
  idBase = base + entryCount;
  int nextSubmenu = 0;
  for (int i = 0; i < entryCount; ++i) {
    const char* text = entryText(i);
    const int id = base + i;
    const auto appended = static_cast<int>(menu->items.size());
    platform::PopupItem item;
    if (isSeparator(text)) {
      item.kind = platform::PopupItem::Kind::separator;
      menu->items.push_back(std::move(item));
      continue;
    }
    item.columnBreak = entryCount < kSingleColumnEntries && itemsPerColumn > 0 && appended > 0 &&
                       appended % itemsPerColumn == 0;
    item.id = id;
    if (hasMarker(text, 'M')) {
      COptionMenu* submenu = getSubmenu(nextSubmenu++);
      if (!submenu) continue;
      auto child = submenu->buildNativeMenu(idBase);
      if (!child) continue;
      item.kind = platform::PopupItem::Kind::submenu;
      item.text = text + 2;
      item.submenu = std::move(child);
    } else if (hasMarker(text, 'G')) {
      item.kind = platform::PopupItem::Kind::greyed;
      item.text = text + 2;
    } else if (hasMarker(text, 'T')) {
      item.kind = platform::PopupItem::Kind::title;
      item.text = text + 2;
    } else {
      item.kind = platform::PopupItem::Kind::plain;
      item.text = text;
      if (style & kMultipleCheck) {
        item.checked = checks[static_cast<std::size_t>(i)] != 0;
      } else if (style & kCheckCurrent) {
        item.checked = i == currentIndex;
      }
    }
    menu->items.push_back(std::move(item));
  }
  visiting = false;
  nativeMenu = menu.get();
  return menu;
}

void COptionMenu::destroyNativeMenus() {
  if (visiting) return;
  visiting = true;
  for (int k = 0; k < submenuCount; ++k) submenus[static_cast<std::size_t>(k)]->destroyNativeMenus();
  visiting = false;
  nativeMenu = nullptr;
}

COptionMenu* COptionMenu::menuForItem(int id, int& index, int& idBase) {
  if (visiting) return nullptr;
  const int base = idBase;
  idBase = base + entryCount;
  if (id < idBase) {
    index = id - base;
    return this;
  }
  visiting = true;
  COptionMenu* found = nullptr;
  for (int k = 0; k < submenuCount && !found; ++k) {
    found = submenus[static_cast<std::size_t>(k)]->menuForItem(id, index, idBase);
  }
  visiting = false;
  return found;
}

}  // namespace toolkit
