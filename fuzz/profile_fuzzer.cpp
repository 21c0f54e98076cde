// The profile (INI) reader on arbitrary input: every read form (a value, the key list, the
// section list, a table's count) into buffers of every small size and the usual one. Each
// buffer is allocated at its exact size, so AddressSanitizer sees any byte written past it.
#include "common/profile.h"
#include "common/table_section.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

void require(bool ok) {
    if (!ok)
        __builtin_trap();
}

// Reads into a buffer of exactly `size` bytes; checks the count and the terminating zeros.
std::string read_exact(const cv::ProfileFile& file, const char* section, const char* key,
                       const char* def, std::size_t size, bool list) {
    std::unique_ptr<char[]> buffer(new char[size]);
    std::memset(buffer.get(), 0x55, size);
    const std::size_t n = file.read(section, key, def, buffer.get(), size);
    if (size == 0) {
        require(n == 0);
        return {};
    }
    require(n < size);
    require(buffer[n] == '\0');
    if (!list)
        require(std::strlen(buffer.get()) == n);
    return std::string(buffer.get(), n);
}

// The names of a list result.
std::vector<std::string> names_of(const std::string& list) {
    std::vector<std::string> names;
    for (std::size_t at = 0; at < list.size();) {
        const std::size_t end = list.find('\0', at);
        names.push_back(list.substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const cv::ProfileFile file =
        cv::ProfileFile::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    for (std::size_t buffer : {0, 1, 2, 3, 5})
        read_exact(file, nullptr, nullptr, "dflt", buffer, true);
    const auto sections = names_of(read_exact(file, nullptr, nullptr, nullptr, 4096, true));
    std::size_t reads = 0;
    for (const std::string& section : sections) {
        if (++reads > 20)
            break;
        for (std::size_t buffer : {1, 2, 3})
            read_exact(file, section.c_str(), nullptr, "d ", buffer, true);
        const auto keys = names_of(read_exact(file, section.c_str(), nullptr, "", 2048, true));
        std::size_t key_reads = 0;
        for (const std::string& key : keys) {
            if (++key_reads > 20)
                break;
            const std::string full =
                read_exact(file, section.c_str(), key.c_str(), "", cv::kProfileValueBuffer, false);
            require(full.size() < cv::kProfileValueBuffer);
            for (std::size_t buffer : {1, 2, 7}) {
                const std::string cut = read_exact(file, section.c_str(), key.c_str(), "\"q\"", buffer, false);
                require(cut.size() < buffer);
            }
        }
        const auto id = file.find_section(section);
        if (id) {
            const cv::TableCount count = cv::ReadTableCount(
                [&](const std::string& key, std::size_t buffer) {
                    return file.get_in(*id, key, {}, buffer);
                },
                50);
            require(count.rows >= 0 && count.rows <= 50);
            for (int row = 0; row < count.rows && row < 5; ++row)
                require(file.get_in(*id, cv::TableKey("A", row)).size() < cv::kProfileValueBuffer);
        }
    }
    return 0;
}
