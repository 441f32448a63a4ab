// A log checked while it is being written (--follow): a file read as it
// grows, or a stream (a pipe, a named pipe, a terminal or serial device,
// standard input) read as it comes. At the end of what has been written the
// source waits for more without using the processor; its Read returns 0,
// the log's end, only once the follow has ended. A line still without its
// line end then stays the log's last line, as the line reader takes it.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/LogReader.h"

// Why a follow ended.
enum class FollowEnd {
    Running,     // it has not
    Asked,       // Ctrl-C or SIGTERM
    Idle,        // nothing new arrived for the idle time
    Closed,      // the writer closed the pipe, or the terminal hung up
    Truncated,   // the file became shorter than what had been read of it
    Replaced,    // the log's name leads to another file now, or to none
    OutputGone,  // the reader of standard output went away
};

struct TFollowSettings {
    // Ends the follow after this many seconds without a new byte.
    std::optional<double> IdleSeconds;
    // Called each time the source begins to wait at the end of what is there.
    std::function<void()> OnWait;
};

// After the rewind the source gives what the first pass read once more, from
// what it kept of it (in memory, beyond a few megabytes in a spool file that
// no name leads to), then goes on where the first pass stopped; once the
// follow has ended, it reads no further. A file is kept too: cut before the
// rewind it would give the second pass another log. Size() is 0: the log is
// not all there. Read failures throw TUserError.
class IFollowSource : public IByteSource {
public:
    virtual FollowEnd End() const = 0;
};

// The log "-" is standard input. Null where follows are not built.
std::unique_ptr<IFollowSource> MakeFollowSource(TFollowSettings settings);

// True where follows are built (POSIX systems).
bool FollowAvailable();
// From here on SIGINT and SIGTERM are counted instead of ending the process,
// and a follow's wait wakes at once on them: the first ends the follow.
void CatchFollowSignals();
// SIGINT and SIGTERM caught since CatchFollowSignals.
int FollowSignalsCaught();
