// The option menu: its entry model (add, insert, remove, prefixes, current
// entry, checks), the popup it builds (ids, columns, check marks,
// submenus), what a choice reports, and values that are not indices.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "tests/controls/control_fixture.h"
#include "tests/controls/fake_widgets.h"
#include "toolkit/button_state.h"
#include "toolkit/controls/coption_menu.h"

using namespace toolkit;
using controls_test::ControlFixture;
using controls_test::FakeWidgets;
using Kind = platform::PopupItem::Kind;

namespace {

struct Menu {
  COptionMenu* menu = new COptionMenu(CRect(18, 101, 52, 117), nullptr, 3);
  ~Menu() { menu->release(); }
  COptionMenu* operator->() const { return menu; }
  std::string entry(int index) const {
    char buffer[256] = {};
    EXPECT_TRUE(menu->getEntry(index, buffer));
    return buffer;
  }
  std::string current() const {
    char buffer[256] = {};
    menu->getCurrent(buffer);
    return buffer;
  }
};

TEST(OptionMenuModel, EntriesAddedAtTheEndMakeTheFirstCurrent) {
  Menu m;
  EXPECT_EQ(m->getCurrent(), -1);
  for (const char* text : {"256", "512", "1024", "2048", "4096", "8192"}) ASSERT_TRUE(m->addEntry(text));
  EXPECT_EQ(m->getEntryCount(), 6);
  EXPECT_EQ(m->getCurrent(), 0);
  EXPECT_EQ(m.current(), "256");
  EXPECT_EQ(m->findEntry("2048"), 3);
  EXPECT_EQ(m->findEntry("204"), -1);
  EXPECT_EQ(m->findEntry(nullptr), -1);
}

TEST(OptionMenuModel, InsertingBeforeTheCurrentEntryKeepsItCurrent) {
  Menu m;
  m->addEntry("a");
  m->addEntry("b");
  m->setCurrent(1);
  ASSERT_TRUE(m->addEntry("z", 0));
  EXPECT_EQ(m.entry(0), "z");
  EXPECT_EQ(m.entry(1), "a");
  EXPECT_EQ(m.entry(2), "b");
  EXPECT_EQ(m->getCurrent(), 2);
  EXPECT_EQ(m.current(), "b");
  ASSERT_TRUE(m->addEntry("end", 99));  // beyond the end: appended
  EXPECT_EQ(m.entry(3), "end");
}

TEST(OptionMenuModel, RemovingTheCurrentEntryMakesTheOneBeforeCurrent) {
  Menu m;
  for (const char* text : {"a", "b", "c"}) m->addEntry(text);
  m->checkEntry(2, true);
  m->setCurrent(1);
  ASSERT_TRUE(m->removeEntry(1));
  EXPECT_EQ(m->getEntryCount(), 2);
  EXPECT_EQ(m.entry(1), "c");
  EXPECT_TRUE(m->isEntryChecked(1));  // the check moved with its entry
  EXPECT_EQ(m->getCurrent(), 0);
  EXPECT_FALSE(m->removeEntry(2));
  EXPECT_FALSE(m->removeEntry(-1));
  m->removeEntry(0);
  m->removeEntry(0);
  EXPECT_EQ(m->getCurrent(), -1);
  EXPECT_EQ(m->getEntryCount(), 0);
}

struct PrefixCase {
  int digits;
  const char* first;
  const char* tenth;
  const char* submenu;
};

class OptionMenuPrefix : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(OptionMenuPrefix, EntriesCarryTheirNumberAndTheDisplaySkipsIt) {
  Menu m;
  m->setPrefixNumbers(GetParam().digits);
  for (int i = 0; i < 10; ++i) m->addEntry(i == 0 ? "a" : "x");
  auto* sub = new COptionMenu(CRect(0, 0, 10, 10), nullptr, 0);
  m->addSubmenu(sub, "more");
  sub->release();
  EXPECT_EQ(m.entry(0), GetParam().first);
  EXPECT_EQ(m.entry(9), GetParam().tenth);
  EXPECT_EQ(m.entry(10), GetParam().submenu);
}

INSTANTIATE_TEST_SUITE_P(Digits, OptionMenuPrefix,
                         ::testing::Values(PrefixCase{0, "a", "x", "-Mmore"}, PrefixCase{2, "1 a", "10 x", "-M11 more"},
                                           PrefixCase{3, "01 a", "10 x", "-M11 more"},
                                           PrefixCase{4, "001 a", "010 x", "-M011 more"},
                                           PrefixCase{5, "a", "x", "-Mmore"}));

TEST(OptionMenuModel, SetCurrentByRawAndCountedIndex) {
  Menu m;
  for (const char* text : {"-Ttitle", "plain", "-", "last"}) m->addEntry(text);
  EXPECT_TRUE(m->setCurrent(1, false));
  EXPECT_EQ(m->getCurrent(nullptr, true), 3);
  EXPECT_EQ(m->getCurrent(nullptr, false), 1);
  EXPECT_FALSE(m->setCurrent(2, true));  // a separator
  EXPECT_EQ(m->getCurrent(), 3);
  EXPECT_TRUE(m->setCurrent(0, true));  // a title may be current by raw index
  EXPECT_EQ(m->getCurrent(nullptr, false), 0);
  EXPECT_TRUE(m->setCurrent(3, false));  // beyond the counted entries: the last
  EXPECT_EQ(m->getCurrent(), 3);
  EXPECT_FALSE(m->setCurrent(4, true));
  EXPECT_FALSE(m->setCurrent(-1, false));
}

TEST(OptionMenuModel, ChecksAndTheirRanges) {
  Menu m;
  for (const char* text : {"a", "b", "c"}) m->addEntry(text);
  EXPECT_TRUE(m->checkEntry(0, true));
  EXPECT_TRUE(m->checkEntry(2, true));
  EXPECT_TRUE(m->checkEntryAlone(1));
  EXPECT_FALSE(m->isEntryChecked(0));
  EXPECT_TRUE(m->isEntryChecked(1));
  EXPECT_FALSE(m->isEntryChecked(2));
  EXPECT_FALSE(m->checkEntry(3, true));
  EXPECT_FALSE(m->checkEntryAlone(-1));
  EXPECT_FALSE(m->isEntryChecked(7));
  m->setStyle(kMultipleCheck);
  m->setCurrent(2);
  EXPECT_TRUE(m->isEntryChecked(2));
  m->setCurrent(2);
  EXPECT_FALSE(m->isEntryChecked(2));
}

TEST(OptionMenuModel, EntryTextsAreCutTo255Bytes) {
  Menu m;
  const std::string longText(300, 'q');
  m->addEntry(longText.c_str());
  EXPECT_EQ(m.entry(0).size(), 255u);
  m->setPrefixNumbers(4);
  m->addEntry(longText.c_str());
  EXPECT_EQ(m.entry(1).size(), 255u);
  EXPECT_EQ(m.entry(1).substr(0, 4), "002 ");
  EXPECT_TRUE(m->setEntry(0, "short"));
  EXPECT_EQ(m.entry(0), "short");
  EXPECT_FALSE(m->setEntry(2, "x"));
}

TEST(OptionMenuModel, At1024EntriesNothingMoreIsAdded) {
  Menu m;
  for (int i = 0; i < 1024; ++i) ASSERT_TRUE(m->addEntry("e"));
  EXPECT_FALSE(m->addEntry("one too many"));
  auto* sub = new COptionMenu(CRect(0, 0, 10, 10), nullptr, 0);
  EXPECT_FALSE(m->addSubmenu(sub, "sub"));
  EXPECT_EQ(sub->getNbReference(), 1);  // not retained
  sub->release();
  EXPECT_EQ(m->getEntryCount(), 1024);
}

TEST(OptionMenuModel, SubmenusAreRetainedAndReleased) {
  auto* sub = new COptionMenu(CRect(0, 0, 10, 10), nullptr, 0);
  {
    Menu m;
    EXPECT_FALSE(m->addSubmenu(nullptr, "x"));
    EXPECT_FALSE(m->addSubmenu(sub, nullptr));
    EXPECT_TRUE(m->addSubmenu(sub, "sub"));
    EXPECT_EQ(sub->getNbReference(), 2);
    m->removeEntry(0);  // the submenu itself stays
    EXPECT_EQ(m->getSubmenuCount(), 1);
  }
  EXPECT_EQ(sub->getNbReference(), 1);
  sub->release();
}

struct ValueCase {
  float value;
  int expectedIndex;  // -1: nothing changes
};

class OptionMenuSetValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(OptionMenuSetValue, CutsTheFractionTowardZeroAndIgnoresWhatIsNoIndex) {
  Menu m;
  for (int i = 0; i < 6; ++i) m->addEntry("e");
  m->setValue(1.0f);
  m->setValue(GetParam().value);
  if (GetParam().expectedIndex < 0) {
    EXPECT_EQ(m->getCurrent(), 1);
    EXPECT_EQ(m->getValue(), 1.0f);
  } else {
    EXPECT_EQ(m->getCurrent(), GetParam().expectedIndex);
    EXPECT_EQ(m->getValue(), GetParam().value);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Values, OptionMenuSetValue,
    ::testing::Values(ValueCase{2.9f, 2}, ValueCase{-0.5f, 0}, ValueCase{5.0f, 5}, ValueCase{6.0f, -1},
                      ValueCase{-1.0f, -1}, ValueCase{std::numeric_limits<float>::quiet_NaN(), -1},
                      ValueCase{std::numeric_limits<float>::infinity(), -1},
                      ValueCase{-std::numeric_limits<float>::infinity(), -1}, ValueCase{3.0e9f, -1},
                      ValueCase{-3.0e9f, -1}, ValueCase{std::numeric_limits<float>::max(), -1}));

TEST(OptionMenuModel, SetValueWithMultipleCheckTogglesTheEntry) {
  Menu m;
  m->setStyle(kMultipleCheck);
  for (int i = 0; i < 3; ++i) m->addEntry("e");
  m->setValue(2.0f);
  EXPECT_TRUE(m->isEntryChecked(2));
  m->setValue(2.0f);
  EXPECT_FALSE(m->isEntryChecked(2));
}

TEST(OptionMenuPopup, ItemsPerColumnStartsNewColumnsBelow160Entries) {
  for (const auto& [entries, breaks] : {std::pair{25, std::vector<int>{10, 20}}, std::pair{160, std::vector<int>{}},
                                        std::pair{159, std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110,
                                                                         120, 130, 140, 150}}}) {
    Menu m;
    m->setItemsPerColumn(10);
    for (int i = 0; i < entries; ++i) m->addEntry("e");
    int idBase = 0;
    auto popup = m->buildNativeMenu(idBase);
    ASSERT_TRUE(popup);
    EXPECT_EQ(idBase, entries);
    std::vector<int> seen;
    for (std::size_t i = 0; i < popup->items.size(); ++i) {
      EXPECT_EQ(popup->items[i].id, static_cast<int>(i));
      if (popup->items[i].columnBreak) seen.push_back(static_cast<int>(i));
    }
    EXPECT_EQ(seen, breaks) << entries << " entries";
  }
}

TEST(OptionMenuPopup, KindsTextsAndCheckMarks) {
  Menu m;
  m->setStyle(kCheckCurrent);
  for (const char* text : {"-Ttitle", "one", "-", "-Ggrey", "two"}) m->addEntry(text);
  m->setCurrent(4);
  int idBase = 0;
  auto popup = m->buildNativeMenu(idBase);
  ASSERT_EQ(popup->items.size(), 5u);
  const Kind kinds[] = {Kind::title, Kind::plain, Kind::separator, Kind::greyed, Kind::plain};
  const char* texts[] = {"title", "one", "", "grey", "two"};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(popup->items[i].kind, kinds[i]) << i;
    EXPECT_EQ(popup->items[i].text, texts[i]) << i;
    EXPECT_EQ(popup->items[i].checked, i == 4) << i;
  }
  m->setStyle(kMultipleCheck);
  m->checkEntry(1, true);
  m->checkEntry(4, false);
  idBase = 0;
  popup = m->buildNativeMenu(idBase);
  EXPECT_TRUE(popup->items[1].checked);
  EXPECT_FALSE(popup->items[4].checked);
}

// A top menu (3 entries, the middle one a submenu of 2) and a second submenu
// entry at the end, each submenu with its own ids after the top menu's.
struct MenuTree {
  Menu top;
  COptionMenu* first = new COptionMenu(CRect(0, 0, 10, 10), nullptr, 11);
  COptionMenu* second = new COptionMenu(CRect(0, 0, 10, 10), nullptr, 12);
  MenuTree() {
    top->addEntry("a");
    top->addSubmenu(first, "first");
    top->addEntry("b");
    top->addSubmenu(second, "second");
    first->addEntry("f0");
    first->addEntry("f1");
    second->addEntry("s0");
    second->addEntry("s1");
    second->addEntry("s2");
    first->release();
    second->release();
  }
};

TEST(OptionMenuPopup, SubmenusTakeTheIdsAfterTheirParents) {
  MenuTree tree;
  int idBase = 0;
  auto popup = tree.top->buildNativeMenu(idBase);
  EXPECT_EQ(idBase, 4 + 2 + 3);
  ASSERT_EQ(popup->items.size(), 4u);
  ASSERT_TRUE(popup->items[1].submenu);
  EXPECT_EQ(popup->items[1].text, "first");
  EXPECT_EQ(popup->items[1].submenu->items[0].id, 4);
  EXPECT_EQ(popup->items[1].submenu->items[1].id, 5);
  EXPECT_EQ(popup->items[3].submenu->items[2].id, 8);
  EXPECT_EQ(tree.top->getNativeMenu(), popup.get());
  tree.top->destroyNativeMenus();
  EXPECT_EQ(tree.top->getNativeMenu(), nullptr);
  EXPECT_EQ(tree.first->getNativeMenu(), nullptr);
}

TEST(OptionMenuPopup, MenuForItemFindsTheHoldingMenu) {
  MenuTree tree;
  struct Case {
    int id;
    COptionMenu* owner;
    int index;
  };
  const Case cases[] = {{0, tree.top.menu, 0}, {3, tree.top.menu, 3}, {4, tree.first, 0},
                        {5, tree.first, 1},    {6, tree.second, 0},   {8, tree.second, 2}};
  for (const Case& c : cases) {
    int index = -7;
    int idBase = 0;
    EXPECT_EQ(tree.top->menuForItem(c.id, index, idBase), c.owner) << c.id;
    EXPECT_EQ(index, c.index) << c.id;
  }
  int index = 0;
  int idBase = 0;
  EXPECT_EQ(tree.top->menuForItem(9, index, idBase), nullptr);
}

TEST(OptionMenuPopup, AMenuInsideItselfEndsTheWalk) {
  Menu m;
  m->addEntry("a");
  m->addSubmenu(m.menu, "me");
  int idBase = 0;
  auto popup = m->buildNativeMenu(idBase);
  ASSERT_EQ(popup->items.size(), 1u);  // the entry that would recurse gets no item
  int index = 0;
  idBase = 0;
  EXPECT_EQ(m->menuForItem(50, index, idBase), nullptr);
  m->removeAllEntries();  // drop the reference the menu holds on itself
}

class OptionMenuClick : public ControlFixture {
 protected:
  ~OptionMenuClick() override { closeFrame(); }
  COptionMenu* make() {
    auto* menu = add(new COptionMenu(CRect(18, 101, 52, 117), &listener, 3));
    for (const char* text : {"256", "512", "1024", "2048", "4096", "8192"}) menu->addEntry(text);
    menu->draw(context);
    return menu;
  }
  FakeWidgets widgets;
};

TEST_F(OptionMenuClick, ChoosingTheFourthEntryReportsThreeOnce) {
  COptionMenu* menu = make();
  widgets.popupAnswer = 3;
  context->windowOrigin = CPoint(300, 200);
  menu->onMouseDown(context, CPoint(20, 105), kButtonLeft);
  EXPECT_EQ(widgets.popupsRun, 1);
  EXPECT_EQ(widgets.lastRequest.x, 318);
  EXPECT_EQ(widgets.lastRequest.y, 317);  // below the control
  EXPECT_FALSE(widgets.lastRequest.trackRightButton);
  EXPECT_EQ(listener.reports, std::vector<float>{3.0f});
  EXPECT_EQ(listener.controls, std::vector<CControl*>{menu});
  EXPECT_EQ(menu->getCurrent(), 3);
  EXPECT_EQ(edits(), (std::vector<std::string>{"begin 3", "end 3"}));
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_EQ(menu->getNativeMenu(), nullptr);
}

TEST_F(OptionMenuClick, PopupAtTopOpensOnTheTopEdge) {
  COptionMenu* menu = make();
  menu->setStyle(kPopupAtTop);
  menu->onMouseDown(context, CPoint(20, 105), kButtonLeft);
  EXPECT_EQ(widgets.lastRequest.y, 101);
}

TEST_F(OptionMenuClick, ClosingWithoutAChoiceReportsNothingButEndsTheEdit) {
  COptionMenu* menu = make();
  widgets.popupAnswer = -1;
  menu->onMouseDown(context, CPoint(20, 105), kButtonLeft);
  EXPECT_TRUE(listener.reports.empty());
  EXPECT_EQ(menu->getCurrent(), 0);
  EXPECT_EQ(edits(), (std::vector<std::string>{"begin 3", "end 3"}));
  EXPECT_EQ(frame->getFocusView(), nullptr);
}

TEST_F(OptionMenuClick, RightClickTracksTheRightButtonAndMiddleDoesNothing) {
  COptionMenu* menu = make();
  menu->onMouseDown(context, CPoint(20, 105), kButtonMiddle);
  EXPECT_EQ(widgets.popupsRun, 0);
  menu->onMouseDown(context, CPoint(20, 105), kButtonRight);
  EXPECT_EQ(widgets.popupsRun, 1);
  EXPECT_TRUE(widgets.lastRequest.trackRightButton);
  EXPECT_EQ(menu->getLastButtons(), kButtonRight);
}

TEST_F(OptionMenuClick, ModifierClickTakenByTheListenerOpensNothing) {
  COptionMenu* menu = make();
  listener.modifierAnswer = 1;
  menu->onMouseDown(context, CPoint(20, 105), kButtonLeft | kModShift);
  EXPECT_EQ(widgets.popupsRun, 0);
  EXPECT_TRUE(log.lines.empty());
  menu->onMouseDown(nullptr, CPoint(20, 105), kButtonLeft);  // no context: nothing
  EXPECT_EQ(widgets.popupsRun, 0);
}

TEST_F(OptionMenuClick, ASubmenuItemReportsToTheTopListenerWithTheSubmenu) {
  COptionMenu* menu = make();
  auto* sub = new COptionMenu(CRect(0, 0, 10, 10), nullptr, 40);
  sub->addEntry("x");
  sub->addEntry("y");
  menu->addSubmenu(sub, "more");
  sub->release();
  widgets.popupAnswer = 7 + 1;  // the top menu has 7 entries; the submenu's second item
  menu->onMouseDown(context, CPoint(20, 105), kButtonLeft);
  ASSERT_EQ(listener.controls.size(), 1u);
  EXPECT_EQ(listener.controls[0], sub);
  EXPECT_EQ(listener.reports[0], 1.0f);
  EXPECT_EQ(sub->getCurrent(), 1);
  EXPECT_EQ(menu->getCurrent(), 0);
}

TEST_F(OptionMenuClick, ChoosingWithMultipleCheckTogglesTheChosenEntry) {
  COptionMenu* menu = make();
  menu->setStyle(kMultipleCheck);
  widgets.popupAnswer = 2;
  menu->onMouseDown(context, CPoint(20, 105), kButtonLeft);
  EXPECT_TRUE(menu->isEntryChecked(2));
  menu->onMouseDown(context, CPoint(20, 105), kButtonLeft);
  EXPECT_FALSE(menu->isEntryChecked(2));
  ASSERT_EQ(widgets.seen.size(), 6u);
  EXPECT_TRUE(widgets.seen[2].checked);  // the second popup showed the first choice
  EXPECT_FALSE(widgets.seen[3].checked);
}

}  // namespace
