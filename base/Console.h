#pragma once
// What a command-line tool needs of its process's standard streams.

// Standard output in binary mode on Windows, so that every platform writes
// the same bytes: "\n" line ends, never "\r\n".
void UseBinaryStandardOutput();

// Whether standard error is a terminal, where a progress line may be
// rewritten in place.
bool StandardErrorIsTerminal();
