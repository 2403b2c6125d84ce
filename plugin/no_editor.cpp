// The core without a GUI: no editor. Weak, so a module that links the real
// editor factory replaces it.
#include "plugin/editor_factory.h"

__attribute__((weak)) AEffEditor* createEditor(Kelbra*) noexcept { return nullptr; }
