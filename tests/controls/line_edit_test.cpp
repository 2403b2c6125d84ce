// The edit field's rules without a window: select-all on open, typing over
// the selection, caret moves, shift-selection, deleting, the byte limit in
// whole characters; and the popup's column layout.
#include <gtest/gtest.h>

#include <string>

#include "platform/line_edit.h"
#include "platform/popup_menu_layout.h"

using platform::LineEdit;

namespace {

TEST(LineEdit, OpensWithEverythingSelectedAndTypingReplacesIt) {
  LineEdit edit("pd-link", 255);
  EXPECT_EQ(edit.selectedText(), "pd-link");
  EXPECT_TRUE(edit.insert("a"));
  EXPECT_EQ(edit.text(), "a");
  EXPECT_TRUE(edit.insert("bc"));
  EXPECT_EQ(edit.text(), "abc");
  EXPECT_EQ(edit.caret(), 3u);
}

struct KeyCase {
  const char* name;
  void (*keys)(LineEdit&);
  const char* text;
  std::size_t caret;
  const char* selected;
};

class LineEditKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(LineEditKeys, GiveTheExpectedTextCaretAndSelection) {
  LineEdit edit("hello world", 255);
  GetParam().keys(edit);
  EXPECT_EQ(edit.text(), GetParam().text);
  EXPECT_EQ(edit.caret(), GetParam().caret);
  EXPECT_EQ(edit.selectedText(), GetParam().selected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, LineEditKeys,
    ::testing::Values(
        KeyCase{"LeftCollapsesToTheStart", [](LineEdit& e) { e.left(false, false); }, "hello world", 0, ""},
        KeyCase{"RightCollapsesToTheEnd", [](LineEdit& e) { e.right(false, false); }, "hello world", 11, ""},
        KeyCase{"HomeThenShiftRight",
                [](LineEdit& e) {
                  e.home(false);
                  e.right(true, false);
                  e.right(true, false);
                },
                "hello world", 2, "he"},
        KeyCase{"ShiftHomeFromTheMiddle",
                [](LineEdit& e) {
                  e.placeCaret(5, false);
                  e.home(true);
                },
                "hello world", 0, "hello"},
        KeyCase{"BackspaceAtTheEnd",
                [](LineEdit& e) {
                  e.end(false);
                  e.backspace();
                },
                "hello worl", 10, ""},
        KeyCase{"DeleteAtTheStart",
                [](LineEdit& e) {
                  e.home(false);
                  e.deleteForward();
                },
                "ello world", 0, ""},
        KeyCase{"BackspaceDeletesTheSelection", [](LineEdit& e) { e.backspace(); }, "", 0, ""},
        KeyCase{"BackspaceAtTheStartDoesNothing",
                [](LineEdit& e) {
                  e.home(false);
                  e.backspace();
                },
                "hello world", 0, ""},
        KeyCase{"WordLeftFromTheEnd",
                [](LineEdit& e) {
                  e.end(false);
                  e.left(false, true);
                },
                "hello world", 6, ""},
        KeyCase{"WordRightFromTheStart",
                [](LineEdit& e) {
                  e.home(false);
                  e.right(false, true);
                },
                "hello world", 6, ""},
        KeyCase{"SelectAllAfterMoving",
                [](LineEdit& e) {
                  e.home(false);
                  e.selectAll();
                },
                "hello world", 11, "hello world"},
        KeyCase{"TypeInTheMiddle",
                [](LineEdit& e) {
                  e.placeCaret(5, false);
                  e.insert(",");
                },
                "hello, world", 6, ""},
        KeyCase{"DoubleClickWord", [](LineEdit& e) { e.selectWordAt(8); }, "hello world", 11, "world"}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST(LineEdit, MovesAndDeletesWholeUtf8Characters) {
  LineEdit edit("a\xC3\xA9z", 255);  // a, e acute, z
  edit.end(false);
  edit.left(false, false);
  EXPECT_EQ(edit.caret(), 3u);
  edit.left(false, false);
  EXPECT_EQ(edit.caret(), 1u);
  edit.deleteForward();
  EXPECT_EQ(edit.text(), "az");
  edit.placeCaret(1, false);
  EXPECT_TRUE(edit.insert("\xE2\x82\xAC"));  // euro sign
  EXPECT_EQ(edit.text(), "a\xE2\x82\xAC" "z");
  edit.placeCaret(2, false);  // inside the euro sign: snapped to its start
  EXPECT_EQ(edit.caret(), 1u);
}

TEST(LineEdit, RefusesTheByteAfterTheLimit) {
  LineEdit edit("", 255);
  for (int i = 0; i < 255; ++i) ASSERT_TRUE(edit.insert("x"));
  EXPECT_FALSE(edit.insert("y"));
  EXPECT_EQ(edit.text().size(), 255u);
  edit.backspace();
  EXPECT_FALSE(edit.insert("\xC3\xA9"));  // one byte free, the character needs two
  EXPECT_TRUE(edit.insert("z"));
  EXPECT_EQ(edit.text().back(), 'z');
  edit.selectAll();
  EXPECT_TRUE(edit.insert("short"));  // replacing the selection frees room
  EXPECT_EQ(edit.text(), "short");
}

TEST(LineEdit, PasteKeepsTheWholeCharactersThatFit) {
  LineEdit edit(std::string(250, 'a'), 255);
  edit.end(false);
  EXPECT_TRUE(edit.insert("\xC3\xA9\xC3\xA9\xC3\xA9"));  // six bytes, four fit
  EXPECT_EQ(edit.text().size(), 254u);
}

TEST(LineEdit, DropsControlCharactersAndInvalidText) {
  LineEdit edit("", 255);
  EXPECT_FALSE(edit.insert("\x1b"));  // Escape inserts nothing
  EXPECT_FALSE(edit.insert("\t"));
  EXPECT_TRUE(edit.insert("a\tb"));
  EXPECT_EQ(edit.text(), "ab");
  EXPECT_FALSE(edit.insert("\xC3"));  // half a character
  EXPECT_EQ(edit.text(), "ab");
}

TEST(LineEdit, InitialTextIsCutToTheLimit) {
  LineEdit edit(std::string(300, 'q'), 255);
  EXPECT_EQ(edit.text().size(), 255u);
  LineEdit latin("caf\xE9", 255);  // Latin-1 text becomes UTF-8
  EXPECT_EQ(latin.text(), "caf\xC3\xA9");
}

platform::PopupMenu plainMenu(int entries, int perColumn) {
  platform::PopupMenu menu;
  for (int i = 0; i < entries; ++i) {
    platform::PopupItem item;
    item.text = "item";
    item.id = i;
    item.columnBreak = perColumn > 0 && i > 0 && i % perColumn == 0;
    menu.items.push_back(std::move(item));
  }
  return menu;
}

TEST(PopupLayout, ColumnBreaksMakeColumns) {
  const platform::PopupMenu menu = plainMenu(25, 10);
  const platform::MenuLayout layout = platform::layoutMenu(menu, 12, [](const std::string&) { return 30; });
  ASSERT_EQ(layout.columnLefts.size(), 3u);
  EXPECT_EQ(layout.boxes[0].left, layout.boxes[9].left);
  EXPECT_LT(layout.boxes[9].left, layout.boxes[10].left);
  EXPECT_EQ(layout.boxes[10].top, layout.boxes[0].top);
  EXPECT_EQ(layout.boxes[20].top, layout.boxes[0].top);
  EXPECT_EQ(layout.boxes[24].top, layout.boxes[4].top);
  EXPECT_EQ(layout.height, layout.boxes[9].bottom + platform::kMenuBorder);
  EXPECT_EQ(layout.itemAt(layout.boxes[13].left + 1, layout.boxes[13].top + 1), 13);
  EXPECT_EQ(layout.itemAt(-1, 5), -1);
}

TEST(PopupLayout, SeparatorsAreNeverHit) {
  platform::PopupMenu menu = plainMenu(3, 0);
  menu.items[1].kind = platform::PopupItem::Kind::separator;
  const platform::MenuLayout layout = platform::layoutMenu(menu, 12, [](const std::string& t) {
    return static_cast<int>(t.size()) * 6;
  });
  ASSERT_EQ(layout.columnLefts.size(), 1u);
  EXPECT_LT(layout.boxes[1].height(), layout.boxes[0].height());
  EXPECT_EQ(layout.itemAt(layout.boxes[1].left + 3, layout.boxes[1].top + 2), -1);
  EXPECT_EQ(layout.itemAt(layout.boxes[2].left + 3, layout.boxes[2].top + 2), 2);
  EXPECT_GE(layout.width, 24 + platform::kMenuCheckWidth + platform::kMenuArrowWidth);
}

}  // namespace
