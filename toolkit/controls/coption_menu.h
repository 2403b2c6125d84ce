// A display of its current entry that opens a popup of all its entries when
// clicked; choosing one makes it current, sets the value to its index and
// tells the listener. Entries are texts: "-" is a separator, "-M" a submenu,
// "-G" a greyed entry, "-T" a title; an optional numbered prefix goes in
// front of each. UI thread only; the popup is modal.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/popup_menu.h"
#include "toolkit/controls/cparam_display.h"

namespace toolkit {

class COptionMenu : public CParamDisplay {
 public:
  static constexpr int kMaxEntries = 1024;
  // From this many entries on the popup has a single column.
  static constexpr int kSingleColumnEntries = 160;

  COptionMenu(const CRect& size, CControlListener* listener, int tag);
  ~COptionMenu() override;

  void draw(CDrawContext* context) override;
  void onMouseDown(CDrawContext* context, CPoint where, int buttons) override;
  void onFocusLost(CDrawContext* context) override;
  void onFocusGained(CDrawContext* context) override;
  void setValue(float newValue) override;
  bool isOfClass(const char* className) const override;

  // position -1: at the end.
  virtual bool addEntry(const char* text, int position = -1);
  virtual bool addSubmenu(COptionMenu* submenu, const char* title);
  virtual int getCurrent(char* buffer = nullptr, bool rawIndex = true) const;
  virtual bool setCurrent(int index, bool rawIndex = true);
  virtual bool getEntry(int index, char* buffer) const;
  virtual bool setEntry(int index, const char* text);
  virtual bool removeEntry(int index);
  virtual bool removeAllEntries();
  virtual int getEntryCount() const { return entryCount; }
  virtual int findEntry(const char* text) const;
  virtual bool checkEntry(int index, bool state);
  virtual bool checkEntryAlone(int index);
  virtual bool isEntryChecked(int index) const;
  virtual void setItemsPerColumn(int count) { itemsPerColumn = count; }
  virtual int getItemsPerColumn() const { return itemsPerColumn; }
  virtual void setPrefixNumbers(int digits) { prefixNumbers = digits; }
  int getPrefixNumbers() const { return prefixNumbers; }

  // The popup of this menu and its submenus; item ids run from idBase on,
  // shared by the whole tree.
  std::unique_ptr<platform::PopupMenu> buildNativeMenu(int& idBase);
  void destroyNativeMenus();
  // The menu that holds the item id, and the item's index in it; none when
  // no menu of the tree has that id.
  COptionMenu* menuForItem(int id, int& index, int& idBase);

  int getSubmenuCount() const { return submenuCount; }
  COptionMenu* getSubmenu(int index) const;
  int getLastButtons() const { return lastButtons; }
  const platform::PopupMenu* getNativeMenu() const { return nativeMenu; }

 protected:
  bool inRange(int index) const { return index >= 0 && index < entryCount; }
  bool growEntries();
  const char* entryText(int index) const { return entries[static_cast<std::size_t>(index)].get(); }
  char* entryText(int index) { return entries[static_cast<std::size_t>(index)].get(); }

  platform::PopupMenu* nativeMenu = nullptr;  // the built popup during one opening
  std::vector<std::unique_ptr<char[]>> entries;
  std::vector<COptionMenu*> submenus;
  std::vector<std::uint8_t> checks;
  std::int32_t entryCount = 0;
  std::int32_t submenuCount = 0;
  std::int32_t currentIndex = -1;
  int lastButtons = 4;  // kButtonRight
  std::int32_t itemsPerColumn = -1;
  std::int32_t entryCapacity = 0;
  std::int32_t submenuCapacity = 0;
  std::int32_t prefixNumbers = 0;
  bool visiting = false;  // guards the tree walks against a menu that holds itself
};

}  // namespace toolkit
