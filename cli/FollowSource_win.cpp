// Following a log as it grows rests on POSIX waits here (inotify, poll() on
// a pipe or a terminal, a pipe that wakes a wait on a signal). Windows has
// other means for each, and none that serves standard input, pipes and files
// alike, so the checker refuses --follow on Windows; this half says so.
#include "cli/FollowSource.h"

std::unique_ptr<IFollowSource> MakeFollowSource(TFollowSettings) { return nullptr; }

bool FollowAvailable() { return false; }

void CatchFollowSignals() {}

int FollowSignalsCaught() { return 0; }
