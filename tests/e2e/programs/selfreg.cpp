// A library that registers itself as a COM server would, for the self-registration flag:
// DllRegisterServer writes HKEY_LOCAL_MACHINE\Software\CvE2ESelfReg with the library's own
// path, DllUnregisterServer deletes that key again. regsvr32 calls them.
#include <windows.h>

namespace {

constexpr const char* kKey = "Software\\CvE2ESelfReg";
HMODULE g_module = nullptr;

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        g_module = instance;
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllRegisterServer() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(g_module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return E_FAIL;
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return E_FAIL;
    const LONG written = ::RegSetValueExA(key, "Server", 0, REG_SZ, reinterpret_cast<const BYTE*>(path), length + 1);
    ::RegCloseKey(key);
    return written == ERROR_SUCCESS ? S_OK : E_FAIL;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllUnregisterServer() {
    const LONG deleted = ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND ? S_OK : E_FAIL;
}
