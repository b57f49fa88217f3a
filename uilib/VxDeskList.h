#pragma once
// Windows placed on the shell's desktop icon view, and how that view is found.
#include "uilib/VxDialogBase.h"

class LUMETTE_API CVxDialogDeskList : public CVxDialogBase {
 public:
  CVxDialogDeskList(UINT nIDTemplate, HWND hParent = nullptr)
      : CVxDialogBase(nIDTemplate, hParent) {}
};

// The window a dialog is re-parented onto to lie on the desktop (null when there is no
// shell desktop).
LUMETTE_API HWND VxFindDeskHost();
// The shell's desktop layer that ShowDeskList shows or hides (null when none).
LUMETTE_API HWND VxFindDeskLayer();
