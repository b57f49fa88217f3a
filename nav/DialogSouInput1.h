#pragma once
// The search bar's hint edit: CDialogSouInput in the search bar's template, which lets the
// default handling erase its background.
#include "nav/DialogSouInput.h"

class CDialogSouInput1 : public CDialogSouInput {
 public:
  CDialogSouInput1();

 protected:
  BOOL OnEraseBkgnd(HDC hdc) override;
};
