// Case mapping through one fixed table, the same whatever the system's locale.
#include "runtime/strings.h"

struct CaseTables {
    unsigned char upper[256];
    unsigned char lower[256];
};

// a-z plus the code-page-437 letters the program has always mapped, the same
// on every system whatever its locale.
static constexpr CaseTables MakeCaseTables()
{
    CaseTables tables = {};
    for (int code = 0; code < 256; ++code) {
        tables.upper[code] = static_cast<unsigned char>(code);
        tables.lower[code] = static_cast<unsigned char>(code);
    }
    for (int code = 'a'; code <= 'z'; ++code) {
        tables.upper[code] = static_cast<unsigned char>(code - 'a' + 'A');
        tables.lower[code - 'a' + 'A'] = static_cast<unsigned char>(code);
    }
    const unsigned char pairs[7][2] = {
        {132, 142}, {148, 153}, {129, 154}, {130, 144}, {164, 165}, {134, 143}, {135, 128},
    };
    for (const auto& pair : pairs) {
        tables.upper[pair[0]] = pair[1];
        tables.lower[pair[1]] = pair[0];
    }
    return tables;
}

static constexpr CaseTables kCaseTables = MakeCaseTables();

unsigned char UpperCaseByte(unsigned char byte)
{
    return kCaseTables.upper[byte];
}

unsigned char LowerCaseByte(unsigned char byte)
{
    return kCaseTables.lower[byte];
}

static DynStr MapBytes(const DynStr& s, const unsigned char* table)
{
    DynStr result = DynStr::ofLength(s.length());
    char* out = result.mutableBytes();
    for (int32_t i = 0; i < result.length(); ++i)
        out[i] = static_cast<char>(table[s.at(i)]);
    return result;
}

DynStr StrUpper(const DynStr& s)
{
    return MapBytes(s, kCaseTables.upper);
}

DynStr StrLower(const DynStr& s)
{
    return MapBytes(s, kCaseTables.lower);
}
