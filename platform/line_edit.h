// The editing rules of a one-line text field, without any window: UTF-8
// text with a caret and a selection anchor, a byte limit, and the moves a
// person expects (by character, by word, to either end, extending with
// shift). Single-thread use.
#pragma once

#include <cstddef>
#include <string>

#include "platform/text_field.h"

namespace platform {

class LineEdit {
 public:
  // The text is cut to maxBytes (never inside a character); all of it is
  // selected, the caret at its end.
  LineEdit(std::string initial, std::size_t maxBytes);

  const std::string& text() const { return text_; }
  std::size_t caret() const { return caret_; }
  std::size_t anchor() const { return anchor_; }
  bool hasSelection() const { return caret_ != anchor_; }
  std::size_t selectionStart() const { return caret_ < anchor_ ? caret_ : anchor_; }
  std::size_t selectionEnd() const { return caret_ < anchor_ ? anchor_ : caret_; }
  std::string selectedText() const;

  // Replaces the selection. Control characters are dropped; what would pass
  // the byte limit is refused (whole characters only). False when nothing
  // was inserted.
  bool insert(const std::string& typed);
  void backspace();
  void deleteForward();
  void eraseSelection();
  void left(bool extend, bool byWord);
  void right(bool extend, bool byWord);
  void home(bool extend);
  void end(bool extend);
  void selectAll();
  // index is snapped to a character boundary.
  void placeCaret(std::size_t index, bool extend);
  void selectWordAt(std::size_t index);

 private:
  std::string text_;
  std::size_t maxBytes_;
  std::size_t caret_ = 0;
  std::size_t anchor_ = 0;
};

// What a key passed on by the host did: not used, used (an edit, a move, or
// nothing at all for Escape), or the end of the edit (Enter).
enum class HostKeyOutcome { ignored, taken, ends };
HostKeyOutcome applyHostKey(LineEdit& edit, const HostKey& key);

// UTF-8 helpers. Offsets are byte offsets into valid UTF-8.
std::size_t utf8Previous(const std::string& text, std::size_t at);
std::size_t utf8Next(const std::string& text, std::size_t at);
// The longest prefix of at most limit bytes that ends on a character boundary.
std::size_t utf8Floor(const std::string& text, std::size_t limit);
bool utf8Valid(const std::string& text);
std::string latin1ToUtf8(const std::string& text);
std::string codepointToUtf8(unsigned long codepoint);

}  // namespace platform
