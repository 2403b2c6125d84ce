#include "tests/editor/reference_editor.h"

#include "tests/editor/editor_fixture.h"
#include "toolkit/controls/ctext_edit.h"

namespace editor_test {

Image expectedEditor(const EditorState& state) {
  LoggingKelbra plugin;
  plugin.setParameter(0, state.send);
  plugin.setParameter(1, state.receive);
  plugin.setParameter(2, state.dry);
  plugin.setParameter(3, state.latency);
  auto* editor = dynamic_cast<Editor*>(plugin.getEditor());
  if (!editor || !editor->open(nullptr)) return {};
  // Shown as typed text and a status report, without connecting anything.
  if (toolkit::CTextEdit* field = editor->getIdEdit()) field->setText(state.identifier.c_str());
  if (!state.status.empty()) editor->showStatus(state.status.c_str());
  editor->idle();
  Image image = paintAll(*editor);
  editor->close();
  return image;
}

int differingPixels(const Image& a, const Image& b) {
  if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size()) return -1;
  int n = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i] ? 1 : 0;
  return n;
}

}  // namespace editor_test
