#pragma once
/// Owning handle of an open registry key: closed when the owner goes, never copied.

#include <windows.h>

#include <utility>

namespace cv {

class RegKey {
  public:
    RegKey() = default;
    explicit RegKey(HKEY key) : key_(key) {}
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    RegKey(RegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    RegKey& operator=(RegKey&& other) noexcept {
        if (this != &other) {
            reset();
            key_ = std::exchange(other.key_, nullptr);
        }
        return *this;
    }
    ~RegKey() { reset(); }

    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

    /// The address to pass to RegOpenKeyExA / RegCreateKeyExA; closes a key held before.
    HKEY* receive() {
        reset();
        return &key_;
    }

    void reset() {
        if (key_)
            RegCloseKey(key_);
        key_ = nullptr;
    }

    /// Opens `path` under `root` with `access`; an empty key when that fails.
    static RegKey open(HKEY root, const char* path, REGSAM access) {
        RegKey key;
        if (RegOpenKeyExA(root, path, 0, access, key.receive()) != ERROR_SUCCESS)
            key.key_ = nullptr;
        return key;
    }

    /// Creates (or opens) `path` under `root`: non-volatile, empty class.
    static RegKey create(HKEY root, const char* path, REGSAM access) {
        RegKey key;
        char empty_class[] = "";
        if (RegCreateKeyExA(root, path, 0, empty_class, REG_OPTION_NON_VOLATILE, access, nullptr,
                            key.receive(), nullptr) != ERROR_SUCCESS)
            key.key_ = nullptr;
        return key;
    }

  private:
    HKEY key_ = nullptr;
};

} // namespace cv
