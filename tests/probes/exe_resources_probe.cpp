// Prints an executable's manifest and version information as Windows reads
// them, for the check of the shipped product:  exe_resources_probe FILE
#include <windows.h>
#include <stdio.h>

#include <string>

static void PrintManifest(const char* file)
{
    HMODULE module = LoadLibraryExA(file, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = module ? FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)) : nullptr;
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const char* text = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (text)
        printf("manifest:\n%.*s\n", int(SizeofResource(module, found)), text);
    else
        printf("no manifest\n");
    if (module)
        FreeLibrary(module);
}

static void PrintVersion(const char* file)
{
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(file, &ignored);
    std::string data(size, '\0');
    if (size == 0 || !GetFileVersionInfoA(file, 0, size, &data[0])) {
        printf("no version information\n");
        return;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed)
        printf("fixed file version %lu.%lu.%lu.%lu\n", fixed->dwFileVersionMS >> 16,
               fixed->dwFileVersionMS & 0xFFFF, fixed->dwFileVersionLS >> 16,
               fixed->dwFileVersionLS & 0xFFFF);
    WORD* translation = nullptr;
    if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) || length < 4)
        return;
    printf("translation %04x %04x\n", translation[0], translation[1]);
    const char* const names[] = {"ProductName", "CompanyName", "FileDescription", "FileVersion",
                                 "ProductVersion", "InternalName", "OriginalFilename",
                                 "LegalCopyright"};
    for (const char* name : names) {
        char path[80];
        snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", translation[0],
                 translation[1], name);
        char* value = nullptr;
        if (VerQueryValueA(data.data(), path, reinterpret_cast<void**>(&value), &length) && value)
            printf("%s=%s\n", name, value);
    }
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: exe_resources_probe FILE\n");
        return 2;
    }
    PrintManifest(argv[1]);
    PrintVersion(argv[1]);
    return 0;
}
