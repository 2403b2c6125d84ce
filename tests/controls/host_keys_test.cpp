// Keys a host passes on through its key requests while the text edit's field
// is open: which keys reach the field and as what, the answers to the key
// down and up, Enter committing and closing the field inside the request,
// and the field's editing rules for such keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/line_edit.h"
#include "tests/controls/control_fixture.h"
#include "tests/controls/fake_widgets.h"
#include "toolkit/button_state.h"
#include "toolkit/controls/ctext_edit.h"

using namespace toolkit;
using controls_test::ControlFixture;
using controls_test::FakeWidgets;
using platform::FieldKey;
using platform::HostKey;
using platform::HostKeyOutcome;
using platform::LineEdit;

namespace {

vst::VstKeyCode keyCode(std::int32_t character, unsigned char virt = 0, unsigned char modifier = 0) {
  vst::VstKeyCode key{};
  key.character = character;
  key.virt = virt;
  key.modifier = modifier;
  return key;
}

class HostKeys : public ControlFixture {
 protected:
  ~HostKeys() override { closeFrame(); }
  CTextEdit* openField(const char* text = "pd-link") {
    auto* edit = add(new CTextEdit(CRect(50, 25, 150, 45), &listener, 5, text));
    edit->onMouseDown(context, CPoint(60, 30), kButtonLeft);
    return edit;
  }
  bool down(vst::VstKeyCode key) { return editor.onKeyDown(key); }
  bool up(vst::VstKeyCode key) { return editor.onKeyUp(key); }
  FakeWidgets widgets;
};

struct MappingCase {
  const char* name;
  vst::VstKeyCode code;
  FieldKey key;
  std::uint32_t character;
  bool shift;
  bool control;
};

class HostKeyMapping : public HostKeys, public ::testing::WithParamInterface<MappingCase> {};

TEST_P(HostKeyMapping, ReachesTheOpenFieldAsItsKey) {
  openField();
  const MappingCase& c = GetParam();
  EXPECT_TRUE(down(c.code));
  ASSERT_EQ(widgets.hostKeys.size(), 1u);
  const HostKey& got = widgets.hostKeys[0];
  EXPECT_EQ(got.key, c.key);
  if (c.key == FieldKey::character) {
    EXPECT_EQ(got.character, c.character);
  }
  EXPECT_EQ(got.shift, c.shift);
  EXPECT_EQ(got.control, c.control);
  EXPECT_TRUE(up(c.code));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, HostKeyMapping,
    ::testing::Values(MappingCase{"Letter", keyCode('k'), FieldKey::character, 'k', false, false},
                      MappingCase{"ShiftedLetter", keyCode('K', 0, vst::MODIFIER_SHIFT), FieldKey::character, 'K',
                                  true, false},
                      MappingCase{"BeyondAscii", keyCode(0x20AC), FieldKey::character, 0x20AC, false, false},
                      MappingCase{"Space", keyCode(' ', vst::VKEY_SPACE), FieldKey::character, ' ', false, false},
                      MappingCase{"Backspace", keyCode(0, vst::VKEY_BACK), FieldKey::backspace, 0, false, false},
                      MappingCase{"Delete", keyCode(0, vst::VKEY_DELETE), FieldKey::deleteForward, 0, false, false},
                      MappingCase{"ShiftLeft", keyCode(0, vst::VKEY_LEFT, vst::MODIFIER_SHIFT), FieldKey::left, 0,
                                  true, false},
                      MappingCase{"ControlRight", keyCode(0, vst::VKEY_RIGHT, vst::MODIFIER_CONTROL),
                                  FieldKey::right, 0, false, true},
                      MappingCase{"Home", keyCode(0, vst::VKEY_HOME), FieldKey::home, 0, false, false},
                      MappingCase{"ShiftEnd", keyCode(0, vst::VKEY_END, vst::MODIFIER_SHIFT), FieldKey::end, 0, true,
                                  false},
                      MappingCase{"Escape", keyCode(27, vst::VKEY_ESCAPE), FieldKey::escape, 0, false, false}),
    [](const ::testing::TestParamInfo<MappingCase>& param) { return std::string(param.param.name); });

TEST_F(HostKeys, KeysTheFieldHasNoUseForAreLeftToTheFrame) {
  openField();
  for (const vst::VstKeyCode code : {keyCode(0, vst::VKEY_UP), keyCode(0, vst::VKEY_PAGEDOWN), keyCode(0),
                                     keyCode(-5), keyCode(0, 200)}) {
    EXPECT_FALSE(down(code)) << int(code.virt) << " " << code.character;
    EXPECT_FALSE(up(code));
  }
  EXPECT_TRUE(widgets.hostKeys.empty());
}

TEST_F(HostKeys, AKeyTheFieldRefusesAnswersNotHandledDownAndUp) {
  openField();
  widgets.takeHostKeys = false;
  EXPECT_FALSE(down(keyCode('a')));
  EXPECT_FALSE(up(keyCode('a')));
  EXPECT_EQ(widgets.hostKeys.size(), 1u);
}

TEST_F(HostKeys, EnterAndKeypadEnterCommitInsideTheRequestAndTheirUpsAreStillTaken) {
  for (const unsigned char virt : {vst::VKEY_RETURN, vst::VKEY_ENTER}) {
    log.lines.clear();
    listener.controls.clear();
    CTextEdit* edit = openField();
    widgets.openField->typed = virt == vst::VKEY_RETURN ? "studio-a" : "studio-b";
    EXPECT_TRUE(down(keyCode(13, virt)));
    EXPECT_EQ(widgets.openField, nullptr);  // closed inside the request
    EXPECT_FALSE(edit->isEditing());
    EXPECT_EQ(frame->getFocusView(), nullptr);
    char text[kTextBufferSize] = {};
    edit->getText(text);
    EXPECT_STREQ(text, virt == vst::VKEY_RETURN ? "studio-a" : "studio-b");
    EXPECT_EQ(listener.controls, std::vector<CControl*>{edit});
    EXPECT_EQ(edits(), (std::vector<std::string>{"begin 5", "end 5"}));
    // The up arrives with no field open; its down was taken, and only once.
    EXPECT_TRUE(up(keyCode(13, virt)));
    EXPECT_FALSE(up(keyCode(13, virt)));
    frame->removeView(edit);
  }
}

TEST_F(HostKeys, WithNoFieldOpenKeysAreNotHandled) {
  add(new CTextEdit(CRect(50, 25, 150, 45), &listener, 5, "pd-link"));
  for (const vst::VstKeyCode code : {keyCode('a'), keyCode(13, vst::VKEY_RETURN), keyCode(0, vst::VKEY_BACK)}) {
    EXPECT_FALSE(down(code));
    EXPECT_FALSE(up(code));
  }
  EXPECT_EQ(widgets.fieldsOpened, 0);
  EXPECT_TRUE(widgets.hostKeys.empty());
}

TEST_F(HostKeys, AnUpWithoutItsDownIsNotHandledAndRepeatsOweOneUp) {
  openField();
  EXPECT_FALSE(up(keyCode('q')));
  EXPECT_TRUE(down(keyCode('q')));
  EXPECT_TRUE(down(keyCode('q')));  // auto-repeat
  EXPECT_TRUE(up(keyCode('q')));
  widgets.fieldEvents->textFieldEnded();
  EXPECT_FALSE(up(keyCode('q')));
}

// The field's editing rules for host keys, on the text "hello world" opened
// with everything selected.
struct EditCase {
  const char* name;
  std::vector<HostKey> keys;
  const char* text;
  const char* selected;
  HostKeyOutcome last;
};

HostKey character(std::uint32_t c) { return HostKey{FieldKey::character, c, false, false}; }
HostKey key(FieldKey k, bool shift = false, bool control = false) { return HostKey{k, 0, shift, control}; }

class HostKeyEditing : public ::testing::TestWithParam<EditCase> {};

TEST_P(HostKeyEditing, GivesTheFieldsText) {
  LineEdit edit("hello world", 16);
  HostKeyOutcome last = HostKeyOutcome::ignored;
  for (const HostKey& k : GetParam().keys) last = applyHostKey(edit, k);
  EXPECT_EQ(edit.text(), GetParam().text);
  EXPECT_EQ(edit.selectedText(), GetParam().selected);
  EXPECT_EQ(last, GetParam().last);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, HostKeyEditing,
    ::testing::Values(
        EditCase{"TypingReplacesTheSelection", {character('a'), character('b')}, "ab", "", HostKeyOutcome::taken},
        EditCase{"BeyondAsciiIsInsertedAsUtf8", {character(0xE9), character(0x1F3B5)}, "\xC3\xA9\xF0\x9F\x8E\xB5", "",
                 HostKeyOutcome::taken},
        EditCase{"BackspaceErasesTheSelectionThenACharacter",
                 {key(FieldKey::backspace), character('x'), character('y'), key(FieldKey::backspace)}, "x", "",
                 HostKeyOutcome::taken},
        EditCase{"DeleteAfterHome", {key(FieldKey::home), key(FieldKey::deleteForward)}, "ello world", "",
                 HostKeyOutcome::taken},
        EditCase{"ShiftLeftExtendsFromTheEnd",
                 {key(FieldKey::end), key(FieldKey::left, true), key(FieldKey::left, true)}, "hello world", "ld",
                 HostKeyOutcome::taken},
        EditCase{"ShiftRightAndShiftHome",
                 {key(FieldKey::home), key(FieldKey::right), key(FieldKey::right, true), key(FieldKey::end, true)},
                 "hello world", "ello world", HostKeyOutcome::taken},
        EditCase{"ControlLeftMovesByWord", {key(FieldKey::end), key(FieldKey::left, true, true)}, "hello world",
                 "world", HostKeyOutcome::taken},
        EditCase{"EscapeChangesNothing", {key(FieldKey::escape)}, "hello world", "hello world",
                 HostKeyOutcome::taken},
        EditCase{"EnterEndsTheEdit", {character('z'), key(FieldKey::enter)}, "z", "", HostKeyOutcome::ends},
        EditCase{"OverTheLimitIsTakenButRefused",
                 {key(FieldKey::end), character('!'), character('!'), character('!'), character('!'),
                  character('!'), character('!')},
                 "hello world!!!!!", "", HostKeyOutcome::taken},
        EditCase{"ControlCharactersAreIgnored", {character(8)}, "hello world", "hello world",
                 HostKeyOutcome::ignored},
        EditCase{"C1ControlsAreIgnored", {character(0x85)}, "hello world", "hello world", HostKeyOutcome::ignored},
        EditCase{"SurrogatesAreIgnored", {character(0xD800)}, "hello world", "hello world",
                 HostKeyOutcome::ignored},
        EditCase{"BeyondUnicodeIsIgnored", {character(0x110000)}, "hello world", "hello world",
                 HostKeyOutcome::ignored},
        EditCase{"ControlWithACharacterIsIgnored", {HostKey{FieldKey::character, 'a', false, true}}, "hello world",
                 "hello world", HostKeyOutcome::ignored}),
    [](const ::testing::TestParamInfo<EditCase>& param) { return std::string(param.param.name); });

}  // namespace
