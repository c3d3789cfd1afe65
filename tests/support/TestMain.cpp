#include <gtest/gtest.h>

#include "platform/Process.h"

int main(int argc, char** argv) {
  platform::PrepareProcess();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
