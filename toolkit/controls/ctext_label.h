// A display that shows a stored text instead of its value (the editor's
// status line). UI thread only.
#pragma once

#include "toolkit/controls/cparam_display.h"

namespace toolkit {

class CTextLabel : public CParamDisplay {
 public:
  CTextLabel(const CRect& size, CBitmap* background = nullptr, int style = 0);
  ~CTextLabel() override;

  void draw(CDrawContext* context) override;
  bool isOfClass(const char* className) const override;

  // Keeps a copy; no redraw request (the caller marks the label dirty).
  virtual void setText(const char* newText);
  virtual const char* getText() const { return text; }

 protected:
  char* text = nullptr;
};

}  // namespace toolkit
