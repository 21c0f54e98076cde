#include "registry/reg_key.h"

#include <vector>

namespace cv {

RegKey OpenRegKey(HKEY root, const char* path, REGSAM access) {
    RegKey key;
    if (::RegOpenKeyExA(root, path, 0, access, key.receive()) != ERROR_SUCCESS)
        key.release(); // a failed call leaves no key to close
    return key;
}

RegKey CreateRegKey(HKEY root, const char* path, REGSAM access) {
    RegKey key;
    char empty_class[] = "";
    if (::RegCreateKeyExA(root, path, 0, empty_class, REG_OPTION_NON_VOLATILE, access, nullptr, key.receive(),
                          nullptr) != ERROR_SUCCESS)
        key.release();
    return key;
}

std::optional<RegistryValue> QueryRegistryValue(HKEY key, const char* name, std::size_t max_bytes) {
    std::vector<char> data(max_bytes + 1, '\0');
    DWORD type = 0, size = static_cast<DWORD>(max_bytes);
    if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    return RegistryValue{type, std::string(data.data(), size < max_bytes ? size : max_bytes)};
}

std::string RegistryText(const RegistryValue& value) {
    if (value.type != REG_SZ && value.type != REG_EXPAND_SZ)
        return {};
    return value.bytes.substr(0, value.bytes.find('\0'));
}

std::string ReadRegistryText(HKEY key, const char* name, std::size_t max_bytes) {
    std::optional<RegistryValue> value = QueryRegistryValue(key, name, max_bytes);
    return value ? RegistryText(*value) : std::string();
}

} // namespace cv
