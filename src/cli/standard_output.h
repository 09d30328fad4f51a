#pragma once

namespace voxloom::cli {

// Standard output is checked like any file the program writes: its writes go through
// one function that keeps the reason of the first failure, and after a failure nothing
// more is written (no gap in the middle of the output).
//
// Points stdout and std::cout at that writer; called once, before any output.
void captureStandardOutput();

// True once a write to standard output failed: a long writer stops at once.
bool standardOutputFailed();

// Flushes std::cout and stdout and closes the descriptor. On a failure prints
// "Error: Can't write to standard output: <reason>." and gives kExitFailed; a reader
// that went away (EPIPE, with SIGPIPE ignored) gives kExitFailed without a message.
// Otherwise gives `exit`.
int finishStandardOutput(int exit);

}  // namespace voxloom::cli
