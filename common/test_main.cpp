// Test entry point: every test program runs with HOME, QUILLO_HOME and the XDG folders pointing
// at a fresh temporary folder, so no test can touch the real user's files or settings.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "common/scratch_home.h"

int main(int argc, char** argv) {
  vok::ScratchHome home("quillo-test-");
  if (!home.Ready()) return 2;
  // Second guard behind the session seam: the real log-off/reboot/power-off refuses to act.
  setenv("QUILLO_DISABLE_SESSION_ACTIONS", "1", 1);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
