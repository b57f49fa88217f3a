#include <gtest/gtest.h>

#include "uilib/VxRaii.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::OleInitialize(nullptr);
  VxGdiplusSession gdiplus;
  const int rc = RUN_ALL_TESTS();
  ::OleUninitialize();
  return rc;
}
