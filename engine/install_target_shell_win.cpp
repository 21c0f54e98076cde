// The install target's shell links, Internet shortcuts, the shell's "open" and the services.
// COM is initialised by the caller's thread (the engine's worker does it for itself).
#include "engine/install_target_win.h"

#include "framework/handle.h"

#include <windows.h>

#include <intshcut.h>
#include <isguids.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

namespace cv {

namespace {

// IPersistFile takes the path as UTF-16; the path is 8-bit in the system's code page.
std::wstring Wide(const std::string& text) {
    if (text.empty())
        return std::wstring();
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

template <class T> bool SaveThrough(T* object, const std::string& path) {
    ComPtr<IPersistFile> file;
    if (FAILED(object->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.receive()))))
        return false;
    const std::wstring wide = Wide(path);
    return SUCCEEDED(file->Save(wide.c_str(), TRUE));
}

} // namespace

bool InstallTargetWin::CreateShellLink(const ShellLinkSpec& shortcut) {
    ComPtr<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(link.receive()))))
        return false;
    if (FAILED(link->SetPath(shortcut.target.c_str())))
        return false;
    link->SetArguments(shortcut.arguments.c_str());
    link->SetWorkingDirectory(shortcut.working_folder.c_str());
    link->SetDescription(shortcut.description.c_str());
    if (!shortcut.icon.empty())
        link->SetIconLocation(shortcut.icon.c_str(), shortcut.icon_index);
    if (shortcut.show_command != 0)
        link->SetShowCmd(shortcut.show_command);
    return SaveThrough(link.get(), shortcut.path);
}

bool InstallTargetWin::CreateInternetShortcut(const std::string& path, const std::string& url) {
    ComPtr<IUniformResourceLocatorA> shortcut;
    if (FAILED(::CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IUniformResourceLocatorA, reinterpret_cast<void**>(shortcut.receive()))))
        return false;
    if (FAILED(shortcut->SetURL(url.c_str(), 0)))
        return false;
    return SaveThrough(shortcut.get(), path);
}

bool InstallTargetWin::OpenWithShell(const std::string& path) {
    HINSTANCE done = ::ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(done) > 32;
}

CreateServiceResult InstallTargetWin::InstallService(const ServiceSpec& request) {
    UniqueService manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager)
        return CreateServiceResult::NoManager;
    UniqueService service(::CreateServiceA(manager.get(), request.name.c_str(), request.display_name.c_str(),
                                           SERVICE_ALL_ACCESS, request.service_type, request.start_type,
                                           request.error_control, request.binary_path.c_str(), nullptr, nullptr,
                                           nullptr, nullptr, nullptr));
    return service ? CreateServiceResult::Created : CreateServiceResult::Failed;
}

} // namespace cv
