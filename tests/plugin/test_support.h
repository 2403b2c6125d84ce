// Shared pieces of the plug-in tests: a recording editor, a probe that opens a
// plug-in's channel as Pd would, and unique identifiers per test process.
#pragma once

#include <unistd.h>

#include <string>
#include <vector>

#include "channel/channel_layout.h"
#include "editor/aeff_editor.h"
#include "platform/shared_memory.h"

namespace testing_support {

inline std::string uniqueId(const std::string& tag) { return "t" + std::to_string(getpid()) + "-" + tag; }

// Stands in for the editor: records what the plug-in tells it.
class RecordingEditor : public AEffEditor {
 public:
  using AEffEditor::AEffEditor;
  void showStatus(const char* text) override { statuses.emplace_back(text); }
  void setParameter(int index, float value) override { parameters.push_back({index, value}); }
  struct Change {
    int index;
    float value;
  };
  std::vector<std::string> statuses;
  std::vector<Change> parameters;
};

// Opens an existing channel the way the externals do.
class ChannelProbe {
 public:
  explicit ChannelProbe(const std::string& id) {
    if (platform::SharedMemory::openExisting(id, channel::kChannelBytes, memory_)) {
      layout_ = channel::layoutAt(memory_.map());
    }
  }
  bool ok() const { return layout_ != nullptr; }
  channel::ChannelLayout& operator*() const { return *layout_; }
  channel::ChannelLayout* operator->() const { return layout_; }

 private:
  platform::SharedMemory memory_;
  channel::ChannelLayout* layout_ = nullptr;
};

}  // namespace testing_support
