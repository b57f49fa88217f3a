#include "uilib/tests/test_support.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new ToolkitEnvironment());
  return RUN_ALL_TESTS();
}
