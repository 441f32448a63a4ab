// Standard input as a log ("-" on the command line).
#pragma once

#include <memory>

#include "engine/LogReader.h"

// Streams standard input and keeps what the first pass read, so that the
// rewind can give it again before the stream goes on: the check's pre-scan
// stops early, so this is little. Up to a few megabytes stay in memory; more
// goes to a spool file that the system removes however the process ends.
// The size is unknown (0) and a second rewind fails. Read failures throw
// TUserError naming "-".
std::unique_ptr<IByteSource> MakeStdinSource();
