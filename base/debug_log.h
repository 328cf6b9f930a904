#pragma once
// Append-only diagnostic log. Dependency-free leaf: any layer may include it. Any thread may write a line.

// Appends the line and a line feed. The first line of a process empties the file; a line that cannot be
// written is dropped without disturbing the caller.
void DebugLog(const char* line);
// The same after formatting one integer into the text (at most 128 bytes, longer results are cut).
void DebugLog(const char* format, int value);
