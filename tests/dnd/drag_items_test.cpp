// Counting the items of a drag, the URI-list rules behind it, and the drop
// target's reference counting and routing on a frame without a window.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/x11_xdnd.h"
#include "tests/dnd/test_views.h"
#include "toolkit/cdrag_container.h"
#include "toolkit/cdrop_target.h"
#include "toolkit/cframe.h"

namespace {

using dnd_test::DragEvent;
using toolkit::CPoint;
using toolkit::CRect;

struct UriListCase {
  const char* name;
  std::string text;
  std::vector<std::string> entries;
};

class UriListEntries : public testing::TestWithParam<UriListCase> {};

TEST_P(UriListEntries, KeepsEveryEntryAndNothingElse) {
  const auto found = toolkit::uriListEntries(GetParam().text);
  EXPECT_EQ(std::vector<std::string>(found.begin(), found.end()), GetParam().entries);
}

using namespace std::string_literals;
INSTANTIATE_TEST_SUITE_P(
    Cases, UriListEntries,
    testing::Values(UriListCase{"empty", "", {}},
                    UriListCase{"crlf", "file:///tmp/a\r\nfile:///tmp/b\r\n", {"file:///tmp/a", "file:///tmp/b"}},
                    UriListCase{"bare_lf", "file:///tmp/a\nfile:///tmp/b", {"file:///tmp/a", "file:///tmp/b"}},
                    UriListCase{"no_final_newline", "file:///tmp/a", {"file:///tmp/a"}},
                    UriListCase{"comments", "# from a file manager\r\nfile:///a\r\n#file:///b\r\n", {"file:///a"}},
                    UriListCase{"blank_and_padded", "\r\n  \r\n  file:///a b \t\r\n\r\n", {"file:///a b"}},
                    UriListCase{"trailing_nul", "file:///a\r\nfile:///b\r\n\0"s, {"file:///a", "file:///b"}},
                    UriListCase{"other_schemes_count", "http://example.org/x\r\nfile://host/p%20q\r\n",
                                {"http://example.org/x", "file://host/p%20q"}},
                    UriListCase{"only_comments", "#a\r\n#b", {}}),
    [](const auto& test) { return std::string(test.param.name); });

struct TextTypeCase {
  const char* type;
  bool plainText;
};

class PlainTextType : public testing::TestWithParam<TextTypeCase> {};

TEST_P(PlainTextType, IsRecognised) { EXPECT_EQ(toolkit::isPlainTextType(GetParam().type), GetParam().plainText); }

INSTANTIATE_TEST_SUITE_P(Cases, PlainTextType,
                         testing::Values(TextTypeCase{"text/plain", true}, TextTypeCase{"Text/Plain", true},
                                         TextTypeCase{"text/plain;charset=utf-8", true},
                                         TextTypeCase{"text/plain;charset=UTF-8", true},
                                         TextTypeCase{"UTF8_STRING", true}, TextTypeCase{"STRING", true},
                                         TextTypeCase{"utf8_string", false}, TextTypeCase{"text/uri-list", false},
                                         TextTypeCase{"text/html", false}, TextTypeCase{"text/plain2", false},
                                         TextTypeCase{"", false}));

// Drag data whose answers the test sets, and which notes what was asked.
class FakeDragData final : public platform::DragData {
 public:
  FakeDragData(std::vector<std::string> offered, std::string list, bool answers)
      : offered_(std::move(offered)), list_(std::move(list)), answers_(answers) {}
  const std::vector<std::string>& types() const override { return offered_; }
  bool request(std::string_view type, std::string& bytes) override {
    requested.emplace_back(type);
    if (!answers_) return false;
    bytes = list_;
    return true;
  }
  std::vector<std::string> requested;

 private:
  std::vector<std::string> offered_;
  std::string list_;
  bool answers_;
};

struct CountCase {
  const char* name;
  std::vector<std::string> types;
  std::string list;
  bool answers;
  int items;
  std::vector<std::string> requested;
};

void PrintTo(const CountCase& c, std::ostream* out) { *out << c.name; }

class ItemCount : public testing::TestWithParam<CountCase> {};

TEST_P(ItemCount, CountsAtConstruction) {
  const CountCase& c = GetParam();
  FakeDragData data(c.types, c.list, c.answers);
  auto* drag = new toolkit::CDragContainer(&data);
  EXPECT_EQ(drag->getItemCount(), c.items);
  EXPECT_EQ(data.requested, c.requested);
  EXPECT_EQ(drag->getNbReference(), 1);
  drag->release();
}

const std::string kThreeFiles = "file:///tmp/one.wav\r\nfile:///tmp/two.wav\r\n# note\r\nfile:///tmp/three.wav\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, ItemCount,
    testing::Values(
        CountCase{"text", {"UTF8_STRING", "text/plain;charset=utf-8"}, "", true, 1, {}},
        CountCase{"text_wins_over_list", {"text/uri-list", "STRING"}, kThreeFiles, true, 1, {}},
        CountCase{"three_files", {"text/uri-list"}, kThreeFiles, true, 3, {"text/uri-list"}},
        CountCase{"list_type_in_capitals", {"x-special/gnome-copied-files", "TEXT/URI-LIST"}, kThreeFiles, true, 3,
                  {"text/uri-list"}},
        CountCase{"list_refused", {"text/uri-list"}, kThreeFiles, false, 0, {"text/uri-list"}},
        CountCase{"empty_list", {"text/uri-list"}, "", true, 0, {"text/uri-list"}},
        CountCase{"neither_text_nor_list", {"image/png", "application/octet-stream"}, kThreeFiles, true, 0, {}},
        CountCase{"no_types", {}, "", true, 0, {}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(ItemCountWithoutData, IsZero) {
  auto* drag = new toolkit::CDragContainer(nullptr);
  EXPECT_EQ(drag->getItemCount(), 0);
  drag->release();
}

// A frame without a window, two recording views side by side and a pointer
// the test places; drags reach the frame only through the drop target.
class DropTargetTest : public testing::Test {
 protected:
  void SetUp() override {
    frame = new toolkit::CFrame(CRect(0, 0, 170, 150), nullptr, nullptr);
    left = new dnd_test::RecordingView(CRect(10, 10, 60, 60), "left", log);
    right = new dnd_test::RecordingView(CRect(100, 10, 160, 60), "right", log);
    frame->addView(left);
    frame->addView(right);
    target = new toolkit::CDropTarget(frame);
    target->AddRef();
  }
  void TearDown() override {
    target->Release();
    if (toolkit::currentDrag) toolkit::currentDrag->release();
    toolkit::currentDrag = nullptr;
    delete frame;
  }

  dnd_test::PlacedPointer pointer;
  std::vector<DragEvent> log;
  toolkit::CFrame* frame = nullptr;
  dnd_test::RecordingView* left = nullptr;
  dnd_test::RecordingView* right = nullptr;
  toolkit::CDropTarget* target = nullptr;
  FakeDragData files{{"text/uri-list"}, kThreeFiles, true};
};

TEST_F(DropTargetTest, ReferenceCountStartsAtZeroAndTheLastReleaseDestroys) {
  auto* own = new toolkit::CDropTarget(frame);
  EXPECT_EQ(own->AddRef(), 1);
  EXPECT_EQ(own->AddRef(), 2);
  EXPECT_EQ(own->Release(), 1);
  EXPECT_EQ(own->Release(), 0);  // destroyed here; AddressSanitizer sees any later use
}

TEST_F(DropTargetTest, RoutesAtThePointerNotAtThePointItIsGiven) {
  platform::DropEffect effect = platform::DropEffect::none;
  pointer.at = CPoint(20, 30);
  EXPECT_EQ(target->DragEnter(&files, &effect), 0);
  EXPECT_EQ(effect, platform::DropEffect::copy);
  ASSERT_NE(toolkit::currentDrag, nullptr);
  EXPECT_EQ(toolkit::currentDrag->getItemCount(), 3);
  toolkit::CDragContainer* drag = toolkit::currentDrag;

  pointer.at = CPoint(25, 35);
  effect = platform::DropEffect::none;
  EXPECT_EQ(target->DragOver(500, 400, &effect), 0);  // a point far outside: ignored
  EXPECT_EQ(effect, platform::DropEffect::copy);
  pointer.at = CPoint(120, 40);
  target->DragOver(20, 30, &effect);
  effect = platform::DropEffect::none;
  EXPECT_EQ(target->Drop(&files, &effect), 0);
  EXPECT_EQ(effect, platform::DropEffect::copy);
  EXPECT_EQ(toolkit::currentDrag, nullptr);

  // Children get the point in their container's coordinates: the frame's.
  const std::vector<DragEvent> expected{{"left", "enter", CPoint(20, 30)},   {"left", "over", CPoint(25, 35)},
                                        {"left", "leave", CPoint(120, 40)},  {"right", "enter", CPoint(120, 40)},
                                        {"right", "drop", CPoint(120, 40)},  {"right", "leave", CPoint(120, 40)}};
  ASSERT_EQ(log, expected);
  for (const DragEvent& event : log) EXPECT_EQ(event.drag, drag) << event;
}

TEST_F(DropTargetTest, LeaveReleasesTheContainerAndTheNextDragGetsANewOne) {
  left->keepDrags = true;
  pointer.at = CPoint(20, 20);
  platform::DropEffect effect = platform::DropEffect::none;
  target->DragEnter(&files, &effect);
  toolkit::CDragContainer* first = toolkit::currentDrag;
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->getNbReference(), 2);  // the target's and the view's
  EXPECT_EQ(target->DragLeave(), 0);
  EXPECT_EQ(toolkit::currentDrag, nullptr);
  EXPECT_EQ(first->getNbReference(), 1);  // only the view's is left
  target->DragEnter(&files, &effect);
  EXPECT_NE(toolkit::currentDrag, nullptr);
  EXPECT_NE(toolkit::currentDrag, first);
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[1], (DragEvent{"left", "leave", CPoint(20, 20)}));
}

TEST_F(DropTargetTest, AnEnterWithoutALeaveLetsGoOfTheOldContainer) {
  left->keepDrags = true;
  pointer.at = CPoint(20, 20);
  platform::DropEffect effect = platform::DropEffect::none;
  target->DragEnter(&files, &effect);
  toolkit::CDragContainer* first = toolkit::currentDrag;
  target->DragEnter(&files, &effect);
  EXPECT_NE(toolkit::currentDrag, first);
  EXPECT_EQ(first->getNbReference(), 1);
}

TEST_F(DropTargetTest, WithoutDataOrFrameTheDragIsIgnored) {
  platform::DropEffect effect = platform::DropEffect::copy;
  EXPECT_EQ(target->DragEnter(nullptr, &effect), 0);
  EXPECT_EQ(effect, platform::DropEffect::none);
  EXPECT_EQ(toolkit::currentDrag, nullptr);

  auto* orphan = new toolkit::CDropTarget(nullptr);
  orphan->AddRef();
  effect = platform::DropEffect::copy;
  EXPECT_EQ(orphan->DragEnter(&files, &effect), 0);
  EXPECT_EQ(effect, platform::DropEffect::none);
  EXPECT_EQ(toolkit::currentDrag, nullptr);
  orphan->Release();

  // Without a drag in progress the other three change nothing.
  effect = platform::DropEffect::none;
  EXPECT_EQ(target->DragOver(20, 20, &effect), 0);
  EXPECT_EQ(target->Drop(&files, &effect), 0);
  EXPECT_EQ(target->DragLeave(), 0);
  EXPECT_EQ(effect, platform::DropEffect::none);
  EXPECT_TRUE(log.empty());
}

TEST_F(DropTargetTest, TextIsOneItem) {
  FakeDragData text({"text/plain"}, "", true);
  platform::DropEffect effect = platform::DropEffect::none;
  pointer.at = CPoint(20, 20);
  target->DragEnter(&text, &effect);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].items, 1);
  target->Drop(&text, &effect);
  EXPECT_EQ(toolkit::currentDrag, nullptr);
}

}  // namespace
