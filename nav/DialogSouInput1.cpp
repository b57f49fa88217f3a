#include "nav/DialogSouInput1.h"

#include "nav/nav_rc.h"

CDialogSouInput1::CDialogSouInput1() : CDialogSouInput(IDD_SOU_INPUT1) {}

BOOL CDialogSouInput1::OnEraseBkgnd(HDC) {
  Default();
  return FALSE;
}
