// Where a copy is written until it is whole, and what an ended run left of it.
#include <stdio.h>
#include <stdlib.h>

#include "imaging/imaging.h"
#include "imaging/imaging_internal.h"
#include "runtime/strings.h"

// The characters of the full path a name takes; 0 when it cannot be said.
// Asked in UTF-16: the ANSI call answers nothing beyond MAX_PATH.
static DWORD FullPathLength(const DynStr& fileName)
{
    DynStr wide = WideFileName(fileName);
    DWORD size = GetFullPathNameW(reinterpret_cast<const WCHAR*>(wide.bytes()), 0, nullptr, nullptr);
    return size ? size - 1 : 0;
}

DynStr PendingName(const DynStr& fileName)
{
    int32_t dot = StrFindAny(-1, fileName, ".");
    DynStr stem = StrMid(fileName, 1, dot - 1);
    char ending[24];
    snprintf(ending, sizeof ending, ".%lu.tmp", static_cast<unsigned long>(GetCurrentProcessId()));
    DynStr pending = StrConcat(stem, DynStr(ending));
    // Without long-path support Windows refuses paths beyond MAX_PATH - 1
    // characters: a copy whose own path fits is not to be lost to its longer
    // pending name, at the cost of the guard between instances.
    if (FullPathLength(pending) > MAX_PATH - 1 && FullPathLength(fileName) <= MAX_PATH - 1)
        return StrConcat(stem, ".tmp");
    return pending;
}

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

bool IsLeftPendingName(const DynStr& name)
{
    int32_t length = name.length();
    if (length < 4 || StrUpper(StrMid(name, length - 3, 4)) != DynStr(".TMP"))
        return false;
    DynStr stem = StrMid(name, 1, length - 4);
    int32_t dot = StrFindAny(-1, stem, ".");
    DynStr number = dot > 0 ? StrMid(stem, dot + 1, stem.length() - dot) : DynStr();
    if (IsDigits(number))
        return ProcessHasEnded(static_cast<DWORD>(strtoul(number.bytes(), nullptr, 10)));
    // Unnumbered only where the numbered name (up to 11 characters more)
    // would pass MAX_PATH - 1: a shorter name of that form is someone else's.
    DWORD pathLength = FullPathLength(name);
    return pathLength > 0 && pathLength + 11 > MAX_PATH - 1 &&
           IsOlderThan(name, kUnnumberedAgeLimit);
}
