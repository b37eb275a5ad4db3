#pragma once
// One press of the HotSync button: identify the handheld's user, install what waits for that
// user, call every registered conduit, keep the user's HotSync log, write the handheld back.

#include <functional>
#include <string>

namespace qx::hotsync {

// Where the HotSync Manager lives: its folder holds the libraries, Users.txt, each user's folder
// and the cradle.
std::string HotSyncFolder();

// Runs one synchronisation; every step is also told to `say` as a line. True when every step and
// every conduit succeeded. A second synchronisation while one runs (in any process) fails at once.
bool Synchronise(const std::function<void(const std::string&)>& say);

}  // namespace qx::hotsync
