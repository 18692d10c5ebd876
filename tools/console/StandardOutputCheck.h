#pragma once
// The last thing a command-line program does: make sure its standard output was written. Text that
// went nowhere (a full disk, /dev/full) is no success: the program says so on standard error and
// exits with a failure, so that a script never takes a lost report or help text for a good run.

class QTextStream;

namespace zq::console {

// Flushes standard output. When it or an earlier write to it failed, prints
// "PROGRAM: cannot write to standard output: REASON" on standard error and returns 1 (status
// itself when that is already a failure); else returns status.
int FinishStandardOutput(int status, const char* program);
// The same for a program that writes standard output through out, which is flushed first (its
// device knows why a write failed).
int FinishStandardOutput(int status, const char* program, QTextStream& out);

} // namespace zq::console
