// Xvfb has no window manager. Wine hands its top-level windows to one by
// default and, when such a window is hidden, waits two seconds for the
// manager's answer that never comes; every graphic window closed would cost
// that. Wine reads this program's own settings when it first loads its X11
// driver, which no static constructor here has done yet, so asking for
// unmanaged windows at this point takes effect for the whole run.
#include <windows.h>

namespace {

bool RunningOnWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

struct UnmanagedWindowsUnderWine {
    UnmanagedWindowsUnderWine()
    {
        if (!RunningOnWine())
            return;
        char path[MAX_PATH];
        DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
        if (length == 0 || length >= sizeof(path))
            return;
        const char* name = path;
        for (const char* p = path; *p; ++p) {
            if (*p == '\\' || *p == '/')
                name = p + 1;
        }
        char keyName[MAX_PATH + 64];
        wsprintfA(keyName, "Software\\Wine\\AppDefaults\\%s\\X11 Driver", name);
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, keyName, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &key, nullptr) != ERROR_SUCCESS)
            return;
        RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
        RegCloseKey(key);
    }
};

UnmanagedWindowsUnderWine gUnmanagedWindowsUnderWine;

}  // namespace
