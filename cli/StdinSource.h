// Standard input as a log ("-" on the command line).
#pragma once

#include <memory>

#include "engine/LogReader.h"

// Spools standard input into a temporary file when the log is opened, so that
// the check can read it twice; the file is removed when the log is closed.
std::unique_ptr<IByteSource> MakeStdinSource();
