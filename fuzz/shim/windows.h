// The few types and heap calls of the platform that natively built parsers use, for the fuzz
// targets: the heap is the C library's, so that AddressSanitizer sees every block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

typedef int BOOL;
typedef uint32_t DWORD;
typedef size_t SIZE_T;
typedef void* HANDLE;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

inline HANDLE GetProcessHeap() { return reinterpret_cast<HANDLE>(1); }
inline void* HeapAlloc(HANDLE, DWORD, SIZE_T size) { return malloc(size ? size : 1); }
inline BOOL HeapFree(HANDLE, DWORD, void* block) {
    free(block);
    return TRUE;
}
