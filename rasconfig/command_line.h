// Command lines of the programs the configuration center starts: the operating system's setup
// program that installs the trace icons, and the viewer of a trace or log file. Plain text work,
// no Windows headers.
#pragma once

#include <cstddef>

// Room for the setup program's command line: four names of at most 255 characters, each quoted,
// and the fixed text around them.
constexpr size_t kTraceIconsCommandSize = 1280;
constexpr size_t kViewerCommandSize = 600;

// A name that can be passed as one argument: no double quote anywhere, and a name that needs
// quotes (it is empty or holds a blank or tab) does not end with a backslash, which the quote
// behind it would turn into a quote of the text.
bool IsPassableArgument(const char* name);

// Appends name as one argument to out (size bytes, *length used): as it stands, or in double
// quotes when it is empty or holds a blank or tab. False, and out unchanged, when the name cannot
// be passed or does not fit.
bool AppendArgument(char* out, size_t size, size_t* length, const char* name);

// "setup.exe /f /t TraceFilename = T /t LogFilename = L /t !STF_WINDOWSSYSPATH = S /c
// SetRasTraceIcons /i I" on one line, each name an argument of its own. False when a name cannot
// be passed or the line does not fit.
bool FormatTraceIconsCommand(char* out, size_t size, const char* traceName, const char* logName,
                             const char* systemDirectory, const char* infPath);

// The viewer, one blank, the file as one argument. A viewer that is a program's path
// (viewerIsProgram) is one argument too, quoted where it needs it; any other viewer text (a bare
// program name, a program with its own arguments, a path in quotes) goes in as it stands.
bool FormatViewerCommand(char* out, size_t size, const char* viewer, const char* file, bool viewerIsProgram = true);
