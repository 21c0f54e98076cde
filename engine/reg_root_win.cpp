#include "engine/reg_root_win.h"

namespace cv {

HKEY RootKey(RegRoot root) {
    switch (root) {
    case RegRoot::ClassesRoot:
        return HKEY_CLASSES_ROOT;
    case RegRoot::CurrentUser:
        return HKEY_CURRENT_USER;
    case RegRoot::LocalMachine:
        return HKEY_LOCAL_MACHINE;
    case RegRoot::Users:
        return HKEY_USERS;
    case RegRoot::CurrentConfig:
        return HKEY_CURRENT_CONFIG;
    }
    return HKEY_LOCAL_MACHINE;
}

UniqueRegKey OpenKey(RegRoot root, const std::string& key, REGSAM access) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(RootKey(root), key.c_str(), 0, access, &opened) != ERROR_SUCCESS)
        return UniqueRegKey();
    return UniqueRegKey(opened);
}

} // namespace cv
