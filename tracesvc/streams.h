// The service's two stream writers and the operations on both: start, settings check, close.
#pragma once

#include "tracesvc/rotating_file.h"

extern RotatingFile g_traceFile;
extern RotatingFile g_logFile;

void LoggingStart();
void TracingStart();
// One cycle of the change worker: new counts and limits, and a reopen for each changed file name.
void SettingsCheck();
// Trace file first, then the log file.
void CloseStreams();
// Fetches until the driver has nothing left, handing each fetch to the writer as one chunk.
void DrainStream(RotatingFile& file);
