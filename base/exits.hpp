// How a run ends. Failures are not exceptions: the function that meets a
// fatal condition prints its message and ends the process through one of
// these, which also remove the temporary program files the run created.
#pragma once

#include <string>

// With -wait: an empty line on standard output and one line read from
// standard input; then exit with status.
[[noreturn]] void SafeExit(int status);

// Ends at once with status, without the -wait pause.
[[noreturn]] void AbortRun(int status);

// Prints "An internal error occurred (message)." and a line asking to
// contact the maintainer; exits 99 without waiting.
[[noreturn]] void InternalError(const std::string& message);

// The -wait pause alone, for stops that end otherwise.
void WaitForReturn();

// Temporary files that every end of the run removes, unless the run
// removed them itself before (UnregisterTemporaryFile). The program writer
// asks IsTemporaryFile to reopen them without following links.
void RegisterTemporaryFile(const std::string& name);
void UnregisterTemporaryFile(const std::string& name);
bool IsTemporaryFile(const std::string& name);
void RemoveTemporaryFiles();

// Removes a file without involving a shell; a missing file is no error.
void RemoveFile(const std::string& name);
