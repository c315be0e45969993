// Dynamic string: a counted byte string that may hold any byte, 0 included.
// Storage is an OLE string (SysAllocStringByteLen), so a string can be handed
// to callers that take ownership of a BSTR, such as the exported loader.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <stdint.h>

class DynStr {
public:
    DynStr() : bstr_(nullptr) {}
    DynStr(const char* text);                    // zero-terminated text
    DynStr(const char* bytes, int32_t length);   // any bytes
    DynStr(const DynStr& other);
    DynStr(DynStr&& other) noexcept : bstr_(other.bstr_) { other.bstr_ = nullptr; }
    DynStr& operator=(const DynStr& other);
    DynStr& operator=(DynStr&& other) noexcept;
    ~DynStr();

    int32_t length() const;
    bool empty() const { return length() == 0; }
    // Never null; the bytes are followed by a zero byte that is not counted.
    const char* bytes() const { return bstr_ ? reinterpret_cast<const char*>(bstr_) : ""; }
    char* mutableBytes() { return reinterpret_cast<char*>(bstr_); }
    unsigned char at(int32_t index0) const { return static_cast<unsigned char>(bytes()[index0]); }

    // A string of `length` bytes whose content is left for the caller to fill.
    // Out of memory records run-time error 7 and gives the empty string.
    static DynStr ofLength(int32_t length);
    // Takes ownership of an OLE string holding bytes.
    static DynStr adopt(BSTR bstr);
    // Gives up ownership; the caller frees the result with SysFreeString.
    BSTR detach();

private:
    BSTR bstr_;
};

bool operator==(const DynStr& a, const DynStr& b);
inline bool operator!=(const DynStr& a, const DynStr& b) { return !(a == b); }
