// Parameter changes and status reports reach the editor from threads other
// than the UI thread: they must show up at the UI thread's idle without any
// control being touched from two threads (run under ThreadSanitizer).
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "editor/cvalue_text.h"
#include "tests/editor/editor_fixture.h"
#include "toolkit/controls/coption_menu.h"
#include "toolkit/controls/ctext_label.h"

namespace editor_test {
namespace {

TEST(EditorThreads, HostParameterChangesFromAnotherThreadShowAtTheUiThreadsIdle) {
  Kelbra plugin(recordingHost);
  auto* editor = dynamic_cast<Editor*>(plugin.getEditor());
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(editor->open(nullptr));
  paintAll(*editor);
  std::atomic<bool> done{false};
  std::thread host([&] {
    vst::AEffect* record = plugin.getEffectRecord();
    for (int i = 0; i < 20000; ++i) record->setParameter(record, i % 4, static_cast<float>(i % 6) / 10.0f);
    record->setParameter(record, 0, 0.25f);
    record->setParameter(record, 1, 0.5f);
    record->setParameter(record, 2, 0.75f);
    record->setParameter(record, 3, 1.0f);
    done = true;
  });
  int idles = 0;
  while (!done.load()) {
    editor->idle();
    if (++idles % 16 == 0) paintAll(*editor);
  }
  host.join();
  editor->idle();
  EXPECT_EQ(displayText(editor->getSendDisplay()), "25");
  EXPECT_EQ(displayText(editor->getReceiveDisplay()), "50");
  EXPECT_EQ(displayText(editor->getDryDisplay()), "75");
  EXPECT_EQ(editor->getBufferMenu()->getCurrent(), 1);
  editor->close();
}

TEST(EditorThreads, StatusReportsFromAnotherThreadMeetOpeningAndClosingSafely) {
  Kelbra plugin(recordingHost);
  auto* editor = dynamic_cast<Editor*>(plugin.getEditor());
  ASSERT_NE(editor, nullptr);
  const std::string id = uniqueIdentifier("editor-threads");
  std::atomic<bool> done{false};
  std::thread connector([&] {
    for (int i = 0; i < 200; ++i) plugin.setConnectionId(i % 2 ? id.c_str() : "");
    done = true;
  });
  while (!done.load()) {
    ASSERT_TRUE(editor->open(nullptr));
    editor->idle();
    editor->close();
  }
  connector.join();
  // Closed while the reports came: the next opening starts with an empty line,
  // and a report made while open shows at the next idle.
  ASSERT_TRUE(editor->open(nullptr));
  editor->idle();
  EXPECT_STREQ(editor->getStatusLine()->getText() ? editor->getStatusLine()->getText() : "", "");
  std::thread reporter([&] { plugin.setConnectionId(""); });
  reporter.join();
  editor->idle();
  EXPECT_STREQ(editor->getStatusLine()->getText(), "Invalid ID");
  editor->close();
}

}  // namespace
}  // namespace editor_test
