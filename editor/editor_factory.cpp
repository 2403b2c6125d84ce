// The plug-in's editor factory: replaces the core's weak "no editor" answer
// wherever the editor is linked in.
#include <new>

#include "editor/editor.h"
#include "plugin/editor_factory.h"

AEffEditor* createEditor(Kelbra* instance) noexcept {
  try {
    return new Editor(instance);
  } catch (...) {
    return nullptr;  // the instance works on without an editor
  }
}
