// The pack archive's messages in the window program: the application's
// message box, one OK button and no icon.
#pragma once

namespace app {

// Routes every message of the pack archive to the application message box
// from now on. Call once at start-up.
void ShowArchiveMessagesInMessageBoxes();

}  // namespace app
