// The dynamic string's storage: OLE strings, counted and able to hold any byte.
#include "runtime/dynstr.h"

#include <string.h>

#include "runtime/errors.h"

static BSTR AllocateBytes(const char* bytes, int32_t length)
{
    if (length <= 0)
        return nullptr;
    BSTR result = SysAllocStringByteLen(bytes, static_cast<UINT>(length));
    if (!result)
        RaiseError(kErrOutOfMemory);
    return result;
}

DynStr::DynStr(const char* text)
    : bstr_(AllocateBytes(text, text ? static_cast<int32_t>(strlen(text)) : 0)) {}

DynStr::DynStr(const char* bytes, int32_t length) : bstr_(AllocateBytes(bytes, length)) {}

DynStr::DynStr(const DynStr& other) : bstr_(AllocateBytes(other.bytes(), other.length())) {}

DynStr& DynStr::operator=(const DynStr& other)
{
    if (this != &other) {
        BSTR copy = AllocateBytes(other.bytes(), other.length());
        SysFreeString(bstr_);
        bstr_ = copy;
    }
    return *this;
}

DynStr& DynStr::operator=(DynStr&& other) noexcept
{
    if (this != &other) {
        SysFreeString(bstr_);
        bstr_ = other.bstr_;
        other.bstr_ = nullptr;
    }
    return *this;
}

DynStr::~DynStr() { SysFreeString(bstr_); }

int32_t DynStr::length() const
{
    return bstr_ ? static_cast<int32_t>(SysStringByteLen(bstr_)) : 0;
}

DynStr DynStr::ofLength(int32_t length)
{
    DynStr result;
    if (length > 0) {
        result.bstr_ = SysAllocStringByteLen(nullptr, static_cast<UINT>(length));
        if (!result.bstr_)
            RaiseError(kErrOutOfMemory);
    }
    return result;
}

DynStr DynStr::adopt(BSTR bstr)
{
    DynStr result;
    if (bstr && SysStringByteLen(bstr) > 0)
        result.bstr_ = bstr;
    else
        SysFreeString(bstr);
    return result;
}

BSTR DynStr::detach()
{
    BSTR result = bstr_;
    bstr_ = nullptr;
    return result;
}

bool operator==(const DynStr& a, const DynStr& b)
{
    return a.length() == b.length() && memcmp(a.bytes(), b.bytes(), a.length()) == 0;
}
