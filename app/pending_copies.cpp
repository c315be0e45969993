// Pending files left by an earlier run that was ended while it wrote a copy.
#include "app/app.h"
#include <stdlib.h>

#include "runtime/directory.h"

// A pending file without a process number is older than any save in hand.
static const ULONGLONG kUnnumberedAgeLimit = 10ull * 60 * 10000000;   // 10 min in 100 ns

static bool IsDigits(const DynStr& text)
{
    if (text.empty() || text.length() > 10)
        return false;
    for (int32_t i = 0; i < text.length(); ++i) {
        if (text.at(i) < '0' || text.at(i) > '9')
            return false;
    }
    return true;
}

// Only a process that has ended may lose its pending file: a live one may be
// another instance saving in this folder now.
static bool ProcessHasEnded(DWORD processId)
{
    if (processId == GetCurrentProcessId())
        return false;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process)
        return GetLastError() == ERROR_INVALID_PARAMETER;
    bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

// The save names a pending file without its process number only where the
// numbered name (up to 11 characters more) would pass MAX_PATH - 1: a shorter
// name of that form is not one of the tool's.
static bool IsLongEnoughToBeUnnumbered(const DynStr& name)
{
    DWORD size = GetFullPathNameA(name.bytes(), 0, nullptr, nullptr);
    return size > 0 && size - 1 + 11 > MAX_PATH - 1;
}

static bool IsOlderThan(const DynStr& name, ULONGLONG age)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    FILETIME now;
    if (!GetFileAttributesExA(name.bytes(), GetFileExInfoStandard, &data))
        return false;
    GetSystemTimeAsFileTime(&now);
    ULONGLONG written = ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32 |
                        data.ftLastWriteTime.dwLowDateTime;
    ULONGLONG current = ULONGLONG(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    return current > written && current - written > age;
}

// The save's pending names: a copy's name up to its last ".", then
// ".<process number>.tmp", or only ".tmp" where the path would be too long.
static bool IsStalePendingCopy(const DynStr& name)
{
    DynStr upper = StrUpper(name);
    int32_t length = upper.length();
    if (StrFind(1, upper, "CR_") != 1 && StrFind(1, upper, "A_") != 1)
        return false;
    if (length < 4 || StrMid(upper, length - 3, 4) != DynStr(".TMP"))
        return false;
    DynStr stem = StrMid(name, 1, length - 4);
    int32_t dot = StrFindAny(-1, stem, ".");
    DynStr number = dot > 0 ? StrMid(stem, dot + 1, stem.length() - dot) : DynStr();
    if (IsDigits(number))
        return ProcessHasEnded(static_cast<DWORD>(strtoul(number.bytes(), nullptr, 10)));
    return IsLongEnoughToBeUnnumbered(name) && IsOlderThan(name, kUnnumberedAgeLimit);
}

void RemoveStalePendingCopies()
{
    // The mask also matches a longer extension through a short name.
    for (DynStr name = DirFirst("*.tmp", 0); !name.empty(); name = DirNext()) {
        if (IsStalePendingCopy(name))
            DeleteFileA(name.bytes());
    }
}
