// Where the plug-in gets its editor. The loadable module links the real
// editor; the core alone (its unit tests) answers none, so it needs no X.
#pragma once

class AEffEditor;
class Kelbra;

// A new editor registered with `instance`, or null when there is none or it
// cannot be made. Never throws.
AEffEditor* createEditor(Kelbra* instance) noexcept;
