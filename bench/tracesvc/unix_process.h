// CPU time of a process of this machine, read from the host's /proc: Wine reports no CPU times for
// another process, and the host's kernel counts them exactly.
#pragma once

#include <string>

// The host process id of a process of this machine whose command line holds part; 0 when none.
int FindMachineProcess(const std::string& part);
// Nanoseconds on the CPU, summed over the process's threads; false when it cannot be read.
bool ProcessCpuNanoseconds(int pid, unsigned long long* nanoseconds);
// Nanoseconds on the CPU of the calling thread.
bool ThreadCpuNanoseconds(unsigned long long* nanoseconds);
