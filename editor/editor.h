// The plug-in's own editor: a 170 x 150 window with the background picture
// and seven controls (identifier field, send/receive/dry displays, buffer
// menu, resync button, status line). Control changes become parameter and
// identifier changes of the instance; parameter changes from the host show up
// in the controls.
//
// Threads: everything runs on the host's UI thread except setParameter, which
// may come from any thread (the audio thread included), and showStatus, which
// follows whatever thread connects. Both only record the change; idle applies
// it to the controls on the UI thread before the frame redraws, so no control
// is touched from two threads.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "editor/aeff_gui_editor.h"
#include "toolkit/ccontrol_listener.h"

class CValueText;
class Kelbra;

namespace toolkit {
class CBitmap;
class CKickButton;
class COptionMenu;
class CTextEdit;
class CTextLabel;
}  // namespace toolkit

class Editor : public AEffGUIEditor, public toolkit::CControlListener {
 public:
  explicit Editor(Kelbra* instance);
  ~Editor() override;

  bool open(void* parent) override;
  void close() override;
  void idle() override;
  // Real-time safe: sets a bit, nothing else.
  void setParameter(int index, float value) override;
  // Not for the audio thread: takes a short lock to hand the text over.
  void showStatus(const char* text) override;

  void valueChanged(toolkit::CDrawContext* context, toolkit::CControl* control) override;

  // The controls while the window is open, null otherwise.
  toolkit::CTextEdit* getIdEdit() const { return idEdit; }
  CValueText* getSendDisplay() const { return sendDisplay; }
  CValueText* getReceiveDisplay() const { return receiveDisplay; }
  CValueText* getDryDisplay() const { return dryDisplay; }
  toolkit::COptionMenu* getBufferMenu() const { return bufferMenu; }
  toolkit::CKickButton* getResyncButton() const { return resyncButton; }
  toolkit::CTextLabel* getStatusLine() const { return statusLine; }

 private:
  void commitIdentifier();
  // UI thread: moves recorded parameter changes and status texts into the
  // controls.
  void applyPendingChanges();
  void showParameter(int index);

  toolkit::CTextEdit* idEdit = nullptr;
  CValueText* sendDisplay = nullptr;
  CValueText* receiveDisplay = nullptr;
  CValueText* dryDisplay = nullptr;
  toolkit::COptionMenu* bufferMenu = nullptr;
  toolkit::CKickButton* resyncButton = nullptr;
  toolkit::CTextLabel* statusLine = nullptr;
  toolkit::CBitmap* background = nullptr;
  Kelbra* plugin;

  // One bit per parameter index 0 to 3 whose display is out of date.
  std::atomic<std::uint32_t> pendingParameters{0};
  std::mutex statusMutex;
  std::string pendingStatus;   // guarded by statusMutex
  bool statusPending = false;  // guarded by statusMutex
  bool acceptsStatus = false;  // guarded by statusMutex: a status line exists
};

// The displays' text: value x 100 rounded to the nearest integer ("%d");
// "NaN" or "Huge!" when there is no such integer. text holds 256 bytes.
void formatPercent(float value, char* text);
