#include "registry/registro.h"

#include "registry/key_path.h"
#include "registry/reg_key.h"

#include <string>

namespace cv {

namespace {

std::string Bounded(const char* text) { return CutRegistryText(text ? text : ""); }

HKEY RootKey(int index) {
    static const HKEY kRoots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE,
                                  HKEY_USERS, HKEY_CURRENT_CONFIG};
    static_assert(std::size(kRoots) == std::size(kRegistryRootNames));
    return kRoots[index];
}

void EnsureKey(HKEY root, const std::string& path) {
    if (OpenRegKey(root, path.c_str(), KEY_ALL_ACCESS))
        return;
    CreateRegKey(root, path.c_str(), KEY_ALL_ACCESS);
}

} // namespace

void CRegistro::SetStringValue(HKEY root, const char* path, const char* name,
                               const char* text) const {
    std::string key_path = Bounded(path), value_name = Bounded(name), value = Bounded(text);
    RegKey key = OpenRegKey(root, key_path.c_str(), KEY_SET_VALUE);
    if (!key)
        return;
    RegSetValueExA(key.get(), value_name.c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

void CRegistro::EnsureMachineKey(const char* path) const {
    EnsureKey(HKEY_LOCAL_MACHINE, Bounded(path));
}

void CRegistro::DeleteValue(const char* path, const char* name, std::uintptr_t root_code) const {
    HKEY root = root_code == 1   ? HKEY_LOCAL_MACHINE
                : root_code == 0 ? HKEY_CURRENT_USER
                                 : reinterpret_cast<HKEY>(root_code);
    std::string key_path = Bounded(path), value_name = Bounded(name);
    RegKey key = OpenRegKey(root, key_path.c_str(), KEY_SET_VALUE);
    if (!key)
        return;
    RegDeleteValueA(key.get(), value_name.c_str());
}

void CRegistro::EnsureKeyPath(const char* root_name, const char* path) const {
    int root = RegistryRootIndex(root_name ? root_name : "");
    if (root < 0)
        return;
    EnsureKey(RootKey(root), StripRegistryRootNames(Bounded(path)));
}

} // namespace cv
