// The editor of the real plug-in class, headless: the first paint against the
// pictures and a reference, the layout, host changes shown at idle, and every
// control's way into the instance.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "editor/cvalue_text.h"
#include "channel/channel_layout.h"
#include "platform/shared_memory.h"
#include "plugin/parameters.h"
#include "tests/editor/editor_fixture.h"
#include "tests/editor/picture_files.h"
#include "tests/editor/png_file.h"
#include "toolkit/button_state.h"
#include "toolkit/cframe.h"
#include "toolkit/controls/ckick_button.h"
#include "toolkit/controls/coption_menu.h"
#include "toolkit/controls/ctext_edit.h"
#include "toolkit/controls/ctext_label.h"

namespace editor_test {
namespace {

using toolkit::CPoint;
using toolkit::CRect;
using Step = ScriptedPointer::Step;

std::string menuText(const toolkit::COptionMenu* menu) {
  char text[toolkit::kTextBufferSize] = {};
  if (menu && menu->getCurrent() >= 0) menu->getEntry(menu->getCurrent(), text);
  return text;
}

std::string labelText(const toolkit::CTextLabel* label) {
  return label && label->getText() ? label->getText() : "";
}

std::string fieldText(const toolkit::CTextEdit* field) {
  char text[toolkit::kTextBufferSize] = {};
  if (field) field->getText(text);
  return text;
}

bool inside(const CRect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// Pixels of `image` inside r that differ from `other`.
int differences(const Image& image, const Image& other, const CRect& r) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) n += image.at(x, y) != other.at(x, y) ? 1 : 0;
  }
  return n;
}

const CRect kIdField(50, 25, 150, 45);
const CRect kSend(20, 65, 50, 81);
const CRect kReceive(70, 65, 100, 81);
const CRect kDry(120, 65, 150, 81);
const CRect kMenu(18, 101, 52, 117);
const CRect kButton(120, 101, 150, 117);
const CRect kStatus(20, 127, 150, 143);

// --- the first paint ---------------------------------------------------------

TEST_F(EditorTest, FirstPaintShowsThePicturesWhereNoControlDrawsText) {
  openEditor();
  const Image shown = frameImage(*editor);
  const Image background = sourcePicture("background.bmp");
  const Image button = sourcePicture("resync_button.bmp");
  ASSERT_EQ(shown.width, 170);
  ASSERT_EQ(background.width, 170);
  ASSERT_EQ(button.width, 30);
  const CRect texts[] = {kSend, kReceive, kDry, kMenu};
  for (int y = 0; y < 150; ++y) {
    for (int x = 0; x < 170; ++x) {
      std::uint32_t want = background.at(x, y);
      if (inside(kIdField, x, y)) want = 0x000000;  // black field, black frame, no identifier yet
      if (inside(kButton, x, y)) want = button.at(x - kButton.left, y - kButton.top);  // released image
      if (inside(kStatus, x, y)) want = background.at(x - kStatus.left, y - kStatus.top);  // the empty bar
      bool textBox = false;
      for (const CRect& r : texts) {
        if (!inside(r, x, y)) continue;
        const bool edge = x == r.left || x == r.right - 1 || y == r.top || y == r.bottom - 1;
        textBox = !edge;
        want = edge ? 0x000000 : want;
      }
      if (textBox) continue;  // glyphs: compared with the reference below
      ASSERT_EQ(shown.at(x, y), want) << "pixel " << x << ", " << y;
    }
  }
}

TEST_F(EditorTest, FirstPaintMatchesTheReferenceWithinGlyphTolerance) {
  openEditor();
  const Image shown = frameImage(*editor);
  const std::string path = std::string(KELBRA_SOURCE_DIR) + "/tests/editor/reference/first_paint.png";
  const Image reference = readPng(path);
  if (reference.width == 0) {
    writePng("first_paint.png", shown);
    FAIL() << "no reference at " << path << "; the current paint is in first_paint.png of the test's directory";
  }
  ASSERT_EQ(reference.width, 170);
  ASSERT_EQ(reference.height, 150);
  const CRect glyphs[] = {kSend, kReceive, kDry, kMenu};
  int glyphDifferences = 0;
  for (int y = 0; y < 150; ++y) {
    for (int x = 0; x < 170; ++x) {
      bool glyph = false;
      for (const CRect& r : glyphs) glyph = glyph || (inside(r, x, y) && x > r.left && y > r.top && x < r.right - 1 && y < r.bottom - 1);
      const std::uint32_t a = shown.at(x, y);
      const std::uint32_t b = reference.at(x, y);
      if (!glyph) {
        ASSERT_EQ(a, b) << "pixel " << x << ", " << y;
        continue;
      }
      // Antialiased glyph edges may shift a little with the font renderer.
      for (int shift = 0; shift < 24; shift += 8) {
        const int d = std::abs(static_cast<int>((a >> shift) & 0xff) - static_cast<int>((b >> shift) & 0xff));
        if (d > 48) ++glyphDifferences;
      }
    }
  }
  EXPECT_LE(glyphDifferences, 12);
}

struct LayoutRow {
  const char* name;
  CRect size;
  int tag;
  bool reports;  // has the editor as listener
};

TEST_F(EditorTest, ControlsFollowTheLayoutInCreationOrder) {
  openEditor();
  const LayoutRow rows[] = {{"CTextEdit", kIdField, kTagIdentifier, true}, {"CValueText", kSend, kParamSend, true},
                            {"CValueText", kReceive, kParamReceive, true}, {"CValueText", kDry, kParamDry, true},
                            {"COptionMenu", kMenu, kParamLatency, true},   {"CKickButton", kButton, kParamResync, true},
                            {"CTextLabel", kStatus, 0, false}};
  toolkit::CFrame* frame = editor->getFrame();
  EXPECT_EQ(frame->viewAt(7), nullptr) << "more than seven views";
  for (int i = 0; i < 7; ++i) {
    auto* control = dynamic_cast<toolkit::CControl*>(frame->viewAt(i));
    ASSERT_NE(control, nullptr) << i;
    EXPECT_TRUE(control->isOfClass(rows[i].name)) << rows[i].name;
    CRect size;
    control->getBounds(size);
    EXPECT_EQ(size, rows[i].size) << rows[i].name;
    EXPECT_EQ(control->getTag(), rows[i].tag) << rows[i].name;
    EXPECT_EQ(control->getListener() == editor, rows[i].reports) << rows[i].name;
  }
  EXPECT_EQ(editor->getStatusLine()->getBackgroundBitmap(), frame->getBackgroundBitmap());
  EXPECT_EQ(editor->getIdEdit()->getFont(), toolkit::kFontLarge);
  EXPECT_EQ(editor->getBufferMenu()->getFont(), toolkit::kFontSmaller);
  EXPECT_EQ(editor->getStatusLine()->getFont(), toolkit::kFontSmall);
  EXPECT_EQ(editor->getStatusLine()->getFontColor(), toolkit::kColorGrey);
}

TEST_F(EditorTest, AfterOpeningTheControlsShowTheInstance) {
  openEditor();
  EXPECT_EQ(displayText(editor->getSendDisplay()), "100");
  EXPECT_EQ(displayText(editor->getReceiveDisplay()), "100");
  EXPECT_EQ(displayText(editor->getDryDisplay()), "100");
  EXPECT_EQ(menuText(editor->getBufferMenu()), "2048");
  EXPECT_EQ(editor->getBufferMenu()->getEntryCount(), 6);
  EXPECT_EQ(labelText(editor->getStatusLine()), "");
  EXPECT_EQ(fieldText(editor->getIdEdit()), "");
}

// --- parameter changes from the host ------------------------------------------

struct HostChange {
  const char* name;
  int index;
  float value;
  const char* shown;  // in the display or the menu; null: unchanged
};

class HostChanges : public EditorTest, public ::testing::WithParamInterface<HostChange> {};

TEST_P(HostChanges, ShowAtTheNextIdleAndOnlyThere) {
  const HostChange& c = GetParam();
  openEditor();
  const Image before = paintAll(*editor);
  plugin->getEffectRecord()->setParameter(plugin->getEffectRecord(), c.index, c.value);  // as the host calls it
  toolkit::CControl* controls[] = {editor->getSendDisplay(), editor->getReceiveDisplay(), editor->getDryDisplay(),
                                   editor->getBufferMenu()};
  const CRect boxes[] = {kSend, kReceive, kDry, kMenu};
  auto text = [&] { return c.index == kParamLatency ? menuText(editor->getBufferMenu()) : displayText(controls[c.index]); };
  const std::string old = text();
  EXPECT_EQ(frameImage(*editor).pixels, before.pixels) << "nothing is drawn before the idle";
  editor->idle();
  const Image after = frameImage(*editor);
  EXPECT_EQ(text(), c.shown ? c.shown : old);
  for (int i = 0; i < 4; ++i) {
    if (i == c.index && c.shown) {
      EXPECT_GT(differences(after, before, boxes[i]), 0) << "control " << i << " was not redrawn";
    } else {
      EXPECT_EQ(differences(after, before, boxes[i]), 0) << "control " << i;
    }
  }
  // What the idle drew is what a full redraw shows.
  EXPECT_EQ(paintAll(*editor).pixels, after.pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostChanges,
    ::testing::Values(HostChange{"receiveQuarter", kParamReceive, 0.25f, "25"},
                      HostChange{"sendRoundsHalfUp", kParamSend, 0.555f, "56"},
                      HostChange{"dryZero", kParamDry, 0.0f, "0"},
                      HostChange{"bufferFirst", kParamLatency, 0.0f, "256"},
                      HostChange{"bufferFractionCut", kParamLatency, 5.9f, "8192"},
                      HostChange{"bufferOutOfRangeIgnored", kParamLatency, 7.0f, nullptr}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

struct PercentCase {
  float value;
  const char* text;
};

class FormatPercent : public ::testing::TestWithParam<PercentCase> {};

TEST_P(FormatPercent, RoundsTheHundredfoldHalfUpAndNeverFails) {
  char text[256];
  std::memset(text, 'x', sizeof text);
  formatPercent(GetParam().value, text);
  EXPECT_STREQ(text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, FormatPercent,
                         ::testing::Values(PercentCase{1.0f, "100"}, PercentCase{0.555f, "56"}, PercentCase{0.0f, "0"},
                                           PercentCase{0.25f, "25"}, PercentCase{0.004f, "0"},
                                           PercentCase{-0.25f, "-24"}, PercentCase{3.0f, "300"},
                                           PercentCase{std::numeric_limits<float>::quiet_NaN(), "NaN"},
                                           PercentCase{std::numeric_limits<float>::infinity(), "Huge!"},
                                           PercentCase{-1e30f, "Huge!"}));

TEST_F(EditorTest, ChangesWhileClosedDoNothingAndTheNextOpeningShowsTheCurrentValues) {
  openEditor();
  editor->close();
  EXPECT_EQ(editor->getFrame(), nullptr);
  EXPECT_EQ(editor->getSendDisplay(), nullptr);
  plugin->setParameter(kParamSend, 0.3f);
  plugin->setConnectionId("");  // reports "Invalid ID" to a closed editor
  editor->idle();
  openEditor();
  EXPECT_EQ(displayText(editor->getSendDisplay()), "30");
  editor->idle();
  EXPECT_EQ(labelText(editor->getStatusLine()), "");
}

// --- the controls' way into the instance --------------------------------------

TEST_F(EditorTest, DraggingTheSendDisplayLeftAutomatesParameterZero) {
  openEditor();
  std::vector<Step> script;
  for (int dx = -10; dx >= -100; dx -= 10) script.push_back({CPoint(35 + dx, 73), toolkit::kButtonLeft});
  script.push_back({CPoint(-65, 73), 0});
  press(CPoint(35, 73), script);
  const auto automated = callsOf(vst::audioMasterAutomate);
  ASSERT_FALSE(automated.empty());
  for (const HostCall& call : automated) EXPECT_EQ(call.index, kParamSend);
  EXPECT_FLOAT_EQ(automated.back().opt, 0.5f);
  EXPECT_FLOAT_EQ(plugin->getParameter(kParamSend), 0.5f);
  ASSERT_EQ(callsOf(vst::audioMasterBeginEdit).size(), 1u);
  EXPECT_EQ(callsOf(vst::audioMasterBeginEdit)[0].index, kParamSend);
  ASSERT_EQ(callsOf(vst::audioMasterEndEdit).size(), 1u);
  editor->idle();
  EXPECT_EQ(displayText(editor->getSendDisplay()), "50");
}

TEST_F(EditorTest, ChoosingAnEntryOfTheBufferMenuSetsTheLatencyAndTellsTheHost) {
  openEditor();
  widgets.choose = "256";
  press(CPoint(30, 109), {});
  EXPECT_EQ(widgets.offered, (std::vector<std::string>{"256", "512", "1024", "2048", "4096", "8192"}));
  const auto automated = callsOf(vst::audioMasterAutomate);
  ASSERT_EQ(automated.size(), 1u);
  EXPECT_EQ(automated[0].index, kParamLatency);
  EXPECT_EQ(automated[0].opt, 0.0f);
  EXPECT_EQ(plugin->latencyInFrames(), 256);
  editor->idle();
  EXPECT_EQ(menuText(editor->getBufferMenu()), "256");
}

TEST_F(EditorTest, HoldingTheResyncButtonReportsEveryChangeOfWhereThePointerIs) {
  openEditor();
  const CPoint in(135, 109);
  const CPoint out(135, 135);
  const int held = toolkit::kButtonLeft;
  press(in, {{in, held}, {in, held}, {out, held}, {out, held}, {out, held}, {in, held}, {in, held}, {in, 0}});
  std::vector<float> reports;
  for (const auto& set : plugin->set) {
    if (set.index != kParamResync) continue;
    if (reports.empty() || reports.back() != set.value) reports.push_back(set.value);
  }
  EXPECT_EQ(reports, (std::vector<float>{1.0f, 0.0f, 1.0f, 0.0f}));
  const auto begins = callsOf(vst::audioMasterBeginEdit);
  const auto ends = callsOf(vst::audioMasterEndEdit);
  ASSERT_EQ(begins.size(), 1u);
  ASSERT_EQ(ends.size(), 1u);
  EXPECT_EQ(begins[0].index, kParamResync);
  EXPECT_EQ(ends[0].index, kParamResync);
  EXPECT_TRUE(callsOf(vst::audioMasterAutomate).empty()) << "the resync is not a host parameter";
}

TEST_F(EditorTest, CommittingAnIdentifierConnectsAndSaysSoOnTheStatusLine) {
  openEditor();
  const std::string id = uniqueIdentifier("editor-commit");
  typeIdentifier(id);
  EXPECT_TRUE(plugin->isConnected());
  EXPECT_EQ(plugin->connectionId(), id);
  EXPECT_EQ(fieldText(editor->getIdEdit()), id);
  editor->idle();
  EXPECT_EQ(labelText(editor->getStatusLine()), "All succeeded");
  const auto begins = callsOf(vst::audioMasterBeginEdit);
  ASSERT_EQ(begins.size(), 1u);
  EXPECT_EQ(begins[0].index, kTagIdentifier);
  EXPECT_EQ(callsOf(vst::audioMasterEndEdit).size(), 1u);
}

TEST_F(EditorTest, ALongIdentifierComesBackCutTo32Characters) {
  openEditor();
  const std::string id = uniqueIdentifier("editor-long-") + std::string(40, 'q');
  typeIdentifier(id);
  EXPECT_EQ(fieldText(editor->getIdEdit()), id.substr(0, 32));
  EXPECT_EQ(plugin->connectionId(), id.substr(0, 32));
}

TEST_F(EditorTest, AnIdentifierHeldByAnotherInstanceIsRefusedAndTheFieldEmptied) {
  const std::string id = uniqueIdentifier("editor-taken");
  LoggingKelbra other;
  other.setConnectionId(id.c_str());
  ASSERT_TRUE(other.isConnected());
  openEditor();
  typeIdentifier(id);
  editor->idle();
  EXPECT_EQ(labelText(editor->getStatusLine()), "Invalid ID");
  EXPECT_EQ(fieldText(editor->getIdEdit()), "");
  EXPECT_FALSE(plugin->isConnected());
}

TEST_F(EditorTest, ReopeningShowsAnEmptyStatusLineAndTheCurrentIdentifier) {
  openEditor();
  const std::string id = uniqueIdentifier("editor-reopen");
  typeIdentifier(id);
  editor->idle();
  ASSERT_EQ(labelText(editor->getStatusLine()), "All succeeded");
  editor->close();
  openEditor();
  editor->idle();
  EXPECT_EQ(labelText(editor->getStatusLine()), "");
  EXPECT_EQ(fieldText(editor->getIdEdit()), id);
}

TEST_F(EditorTest, AnUnchangedCommitDoesNotReconnect) {
  openEditor();
  const std::string id = uniqueIdentifier("editor-same");
  typeIdentifier(id);
  editor->idle();
  editor->getStatusLine()->setText("");
  plugin->set.clear();
  typeIdentifier(id);
  editor->idle();
  EXPECT_EQ(labelText(editor->getStatusLine()), "") << "no second connection was made";
  EXPECT_TRUE(plugin->isConnected());
}

TEST_F(EditorTest, DeletingTheInstanceWithTheWindowStillOpenTakesTheWindowAlong) {
  openEditor();
  const std::string id = uniqueIdentifier("editor-deleted");
  toolkit::CRect box;
  editor->getIdEdit()->getBounds(box);
  press(CPoint(box.left + 10, box.top + 5), {});  // the field is open and holds typed text
  ASSERT_NE(widgets.field, nullptr);
  widgets.field->typed = id;
  editor = nullptr;  // goes with the instance
  plugin.reset();    // no close first, as a careless host does; sanitizers watch
  platform::SharedMemory probe;
  EXPECT_FALSE(platform::SharedMemory::openExisting(id, channel::kChannelBytes, probe))
      << "the dropped text connected nothing";
}

TEST_F(EditorTest, OpeningTwiceReplacesTheFirstFrame) {
  openEditor();
  ASSERT_TRUE(editor->open(nullptr));
  paintAll(*editor);
  EXPECT_EQ(displayText(editor->getSendDisplay()), "100");
  EXPECT_EQ(editor->getFrame()->viewAt(7), nullptr);
}

}  // namespace
}  // namespace editor_test
