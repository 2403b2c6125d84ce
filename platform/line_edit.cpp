#include "platform/line_edit.h"

#include <utility>

namespace platform {
namespace {

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool isWordByte(char c) {
  const auto u = static_cast<unsigned char>(c);
  // Letters, digits, underscore and every non-ASCII character form words.
  return u >= 0x80 || (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_';
}

}  // namespace

std::size_t utf8Previous(const std::string& text, std::size_t at) {
  if (at > text.size()) at = text.size();
  if (at == 0) return 0;
  --at;
  while (at > 0 && isContinuation(text[at])) --at;
  return at;
}

std::size_t utf8Next(const std::string& text, std::size_t at) {
  if (at >= text.size()) return text.size();
  ++at;
  while (at < text.size() && isContinuation(text[at])) ++at;
  return at;
}

std::size_t utf8Floor(const std::string& text, std::size_t limit) {
  if (limit >= text.size()) return text.size();
  while (limit > 0 && isContinuation(text[limit])) --limit;
  return limit;
}

bool utf8Valid(const std::string& text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned char c = p[i];
    const std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > n) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

std::string codepointToUtf8(unsigned long codepoint) {
  std::string out;
  if (codepoint < 0x80) {
    out.push_back(static_cast<char>(codepoint));
  } else if (codepoint < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (codepoint >> 6)));
    out.push_back(static_cast<char>(0x80 | (codepoint & 0x3F)));
  } else if (codepoint < 0x10000) {
    if (codepoint >= 0xD800 && codepoint <= 0xDFFF) return {};
    out.push_back(static_cast<char>(0xE0 | (codepoint >> 12)));
    out.push_back(static_cast<char>(0x80 | ((codepoint >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codepoint & 0x3F)));
  } else if (codepoint < 0x110000) {
    out.push_back(static_cast<char>(0xF0 | (codepoint >> 18)));
    out.push_back(static_cast<char>(0x80 | ((codepoint >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((codepoint >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codepoint & 0x3F)));
  }
  return out;
}

std::string latin1ToUtf8(const std::string& text) {
  std::string out;
  for (char c : text) out += codepointToUtf8(static_cast<unsigned char>(c));
  return out;
}

LineEdit::LineEdit(std::string initial, std::size_t maxBytes) : text_(std::move(initial)), maxBytes_(maxBytes) {
  if (!utf8Valid(text_)) text_ = latin1ToUtf8(text_);
  text_.resize(utf8Floor(text_, maxBytes_));
  selectAll();
}

std::string LineEdit::selectedText() const { return text_.substr(selectionStart(), selectionEnd() - selectionStart()); }

bool LineEdit::insert(const std::string& typed) {
  if (!utf8Valid(typed)) return false;
  std::string clean;
  for (char c : typed) {
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) clean.push_back(c);
  }
  const std::size_t kept = text_.size() - (selectionEnd() - selectionStart());
  const std::size_t room = maxBytes_ > kept ? maxBytes_ - kept : 0;
  clean.resize(utf8Floor(clean, room));
  if (clean.empty()) return false;
  const std::size_t start = selectionStart();
  text_.replace(start, selectionEnd() - start, clean);
  caret_ = anchor_ = start + clean.size();
  return true;
}

void LineEdit::eraseSelection() {
  const std::size_t start = selectionStart();
  text_.erase(start, selectionEnd() - start);
  caret_ = anchor_ = start;
}

void LineEdit::backspace() {
  if (!hasSelection()) anchor_ = utf8Previous(text_, caret_);
  eraseSelection();
}

void LineEdit::deleteForward() {
  if (!hasSelection()) anchor_ = utf8Next(text_, caret_);
  eraseSelection();
}

void LineEdit::left(bool extend, bool byWord) {
  std::size_t to = caret_;
  if (hasSelection() && !extend && !byWord) {
    to = selectionStart();
  } else if (byWord) {
    while (to > 0 && !isWordByte(text_[to - 1])) to = utf8Previous(text_, to);
    while (to > 0 && isWordByte(text_[to - 1])) to = utf8Previous(text_, to);
  } else {
    to = utf8Previous(text_, to);
  }
  placeCaret(to, extend);
}

void LineEdit::right(bool extend, bool byWord) {
  std::size_t to = caret_;
  if (hasSelection() && !extend && !byWord) {
    to = selectionEnd();
  } else if (byWord) {
    while (to < text_.size() && isWordByte(text_[to])) to = utf8Next(text_, to);
    while (to < text_.size() && !isWordByte(text_[to])) to = utf8Next(text_, to);
  } else {
    to = utf8Next(text_, to);
  }
  placeCaret(to, extend);
}

void LineEdit::home(bool extend) { placeCaret(0, extend); }

void LineEdit::end(bool extend) { placeCaret(text_.size(), extend); }

void LineEdit::selectAll() {
  anchor_ = 0;
  caret_ = text_.size();
}

void LineEdit::placeCaret(std::size_t index, bool extend) {
  caret_ = utf8Floor(text_, index);
  if (!extend) anchor_ = caret_;
}

void LineEdit::selectWordAt(std::size_t index) {
  index = utf8Floor(text_, index);
  std::size_t start = index;
  std::size_t stop = index;
  const bool word = index < text_.size() && isWordByte(text_[index]);
  while (start > 0 && isWordByte(text_[start - 1]) == word) start = utf8Previous(text_, start);
  while (stop < text_.size() && isWordByte(text_[stop]) == word) stop = utf8Next(text_, stop);
  anchor_ = start;
  caret_ = stop;
}

HostKeyOutcome applyHostKey(LineEdit& edit, const HostKey& key) {
  switch (key.key) {
    case FieldKey::character: {
      // A printable character the field would take from the keyboard; one
      // over the byte limit is still the field's key, refused like a typed one.
      if (key.control || key.character < 0x20 || (key.character >= 0x7F && key.character < 0xA0)) {
        return HostKeyOutcome::ignored;
      }
      const std::string typed = codepointToUtf8(key.character);
      if (typed.empty()) return HostKeyOutcome::ignored;
      edit.insert(typed);
      return HostKeyOutcome::taken;
    }
    case FieldKey::backspace: edit.backspace(); return HostKeyOutcome::taken;
    case FieldKey::deleteForward: edit.deleteForward(); return HostKeyOutcome::taken;
    case FieldKey::left: edit.left(key.shift, key.control); return HostKeyOutcome::taken;
    case FieldKey::right: edit.right(key.shift, key.control); return HostKeyOutcome::taken;
    case FieldKey::home: edit.home(key.shift); return HostKeyOutcome::taken;
    case FieldKey::end: edit.end(key.shift); return HostKeyOutcome::taken;
    case FieldKey::enter: return HostKeyOutcome::ends;
    case FieldKey::escape: return HostKeyOutcome::taken;  // no cancel key: taken, changes nothing
  }
  return HostKeyOutcome::ignored;
}

}  // namespace platform
