// What the command-line checker asks of the operating system beyond the
// standard library; one half per platform.
#pragma once

#include <cstdio>
#include <string>

// The system's reason why the log of this name does not open for reading,
// in its own words ("No such file or directory"); empty when it opens now.
std::wstring OpenFailureReason(const std::wstring& name);

// The C library's text for an errno value.
std::wstring ErrnoText(int code);

// A temporary file for reading and writing that no name leads to, or one the
// system deletes when the last handle closes, so it is gone however the
// process ends. Null when none can be made (errno says why).
std::FILE* OpenAnonymousSpool();

// True when the write that just failed with this errno value went to a pipe
// whose reader has gone; call it before anything else can fail.
bool WriteHitClosedPipe(int code);

// The width of the terminal that standard error writes to; 0 when standard
// error is no terminal.
int StderrTerminalColumns();
