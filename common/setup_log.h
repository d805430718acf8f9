// The setup log: one process-wide diagnostic log file, one line per write call.
#pragma once

#include <windows.h>

#include <cstdarg>

// Threshold of every log statement: a message of level L is written only when LogLevel >= L.
// 255 until OpenSetupLog replaces it by the registry value (0 when the file cannot be opened).
extern DWORD LogLevel;

// LogSource: the number first on each line, naming the program that writes it.
constexpr DWORD kLogSourceSetup = 33;  // VrkSuDll and the common library's own lines
constexpr DWORD kLogSourceClean = 35;  // VrkClean's start and end lines
constexpr DWORD kLogSourceTrace = 36;  // TraceLogSvc
// LogMessageLevel.
constexpr DWORD kLogFailure = 1;
constexpr DWORD kLogTrace = 2;
constexpr DWORD kLogDetail = 4;

constexpr DWORD kLogLineSize = 1144;
constexpr DWORD kLogRotateSize = 262144;
constexpr int kLogGenerations = 3;
extern const char kLogBanner[];

// Reads the file name from key\nameValue and the level from key\levelValue, and opens the log in
// that file (OpenSetupLogFile). FALSE when no log was opened.
BOOL OpenSetupLog(const char* key, const char* nameValue, const char* levelValue);
// Rotates a file larger than 256 KiB and starts the file anew with the banner; a large file that
// could not be moved aside is continued instead. FALSE, and LogLevel 0, when it cannot be opened.
BOOL OpenSetupLogFile(const char* name);
// Generation count is discarded, every other moves up by one, the file itself becomes generation 1.
void RotateLogFiles(const char* name, int count);
// Generation n of a log file name ("setup.log", 2 gives "setup_2.log"); FALSE when it does not fit.
BOOL LogGenerationName(const char* name, int n, char* out, DWORD size);
// One line "SS LL dd.mm.yyyy hh:mm:ss.mmm: message\r\n", when the log is open and LogLevel >= level.
void WriteSetupLog(DWORD source, DWORD level, const char* format, ...)
    __attribute__((format(gnu_printf, 3, 4)));
void WriteSetupLogV(DWORD source, DWORD level, const char* format, va_list arguments);
void CloseSetupLog();
// Takes the log out of use without closing its file: later lines are dropped, while a line that
// another thread is writing at this moment still reaches the file, never a handle that took the
// freed value. The file closes when the process ends. For programs whose threads are not joined.
void RetireSetupLog();
bool IsSetupLogOpen();
