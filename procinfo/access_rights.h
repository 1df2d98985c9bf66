// The access the program asks for when it opens another process.
#pragma once
#include <windows.h>

// Path and priority reads (0x410).
inline constexpr DWORD kQueryAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
// PROCESS_QUERY_LIMITED_INFORMATION (0x1000): what is left where 0x410 is denied.
inline constexpr DWORD kLimitedQueryAccess = 0x1000;
// Priority changes (0x210).
inline constexpr DWORD kSetAccess = PROCESS_SET_INFORMATION | PROCESS_VM_READ;
// PROCESS_ALL_ACCESS as the 32-bit headers had it before Vista.
inline constexpr DWORD kStopAccess = 0x1F0FFF;
