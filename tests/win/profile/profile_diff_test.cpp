// Holds the profile reader against the system's GetPrivateProfileStringA on generated files.
#include "common/profile.h"
#include "common/profile_cache.h"
#include "ini_generator.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace cv {
namespace {

std::string Escape(const char* data, std::size_t n) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(data[i]);
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            s += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            s += hex;
        }
    }
    return s;
}

std::string Show(const char* s) { return s ? "\"" + Escape(s, std::strlen(s)) + "\"" : "null"; }

class ProfileDifferential : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        dir_ = std::string(temp) + "cvprofile" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(dir_.c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::string& f : files_)
            DeleteFileA(f.c_str());
        RemoveDirectoryA(dir_.c_str());
    }

    std::string write_file(const std::string& bytes) {
        std::string path = dir_ + "\\f" + std::to_string(files_.size()) + ".ini";
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE) << path;
        DWORD written = 0;
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(h);
        files_.push_back(path);
        return path;
    }

    /// Asks both readers the same question; records a mismatch with its context.
    void compare(const std::string& path, const std::string& file_bytes, const char* section,
                 const char* key, const char* def, std::size_t size) {
        ++queries_;
        std::vector<char> theirs(size + 8, '\xcc'), ours(size + 8, '\xcc');
        DWORD n_theirs = GetPrivateProfileStringA(section, key, def, theirs.data(),
                                                  static_cast<DWORD>(size), path.c_str());
        std::size_t n_ours = ReadProfileString(section, key, def, ours.data(), size, path);
        // A zero-sized buffer is never written; otherwise the result and its terminator count.
        std::size_t compared = size == 0 ? 0 : std::min(n_ours, size - 1) + 1;
        if (n_theirs == n_ours && std::memcmp(theirs.data(), ours.data(), compared) == 0)
            return;
        ++mismatches_;
        if (reports_.size() < 15) {
            std::string file;
            if (reported_files_.insert(path).second)
                file = " (" + Escape(file_bytes.data(), file_bytes.size()) + ")";
            reports_.push_back("file " + path + file + "\n  section " + Show(section) + " key " + Show(key) + " default " +
                               Show(def) + " size " + std::to_string(size) + "\n  Windows " +
                               std::to_string(n_theirs) + " \"" +
                               Escape(theirs.data(), size ? std::min<std::size_t>(n_theirs, size - 1) + 1 : 0) +
                               "\"\n  ours    " + std::to_string(n_ours) + " \"" +
                               Escape(ours.data(), compared) + "\"");
        }
    }

    std::string dir_;
    std::vector<std::string> files_;
    std::size_t queries_ = 0, mismatches_ = 0;
    std::vector<std::string> reports_;
    std::set<std::string> reported_files_;
};

TEST_F(ProfileDifferential, GeneratedFilesReadTheSame) {
    constexpr int kFiles = 1200;
    test::IniGenerator gen(20240611);
    const char* const kDefaults[] = {"", "def", "  padded  ", "\"quoted\"", "   ", nullptr};
    const std::size_t kSizes[] = {1, 2, 3, 4, 5, 8, 16, 100, 255, 256, 1024};

    for (int i = 0; i < kFiles; ++i) {
        test::GeneratedIni ini = gen.next();
        std::string path = write_file(ini.bytes);

        std::vector<std::string> sections = ini.sections;
        sections.push_back("");
        sections.push_back("missing");
        std::vector<std::string> keys = ini.keys;
        keys.push_back("absent");
        if (keys.size() > 12)
            keys.resize(12);
        if (sections.size() > 6)
            sections.resize(6);

        for (const std::string& s : sections) {
            for (const std::string& k : keys) {
                std::string sq = gen.vary_name(s), kq = gen.vary_name(k);
                const char* def = kDefaults[gen.pick(6)];
                std::size_t size = kSizes[gen.pick(11)];
                if (!ini.value_lengths.empty() && gen.chance(40)) {
                    // Sizes around a value's length catch the cut and quote rules.
                    std::size_t len = ini.value_lengths[gen.pick(static_cast<int>(ini.value_lengths.size()))];
                    size = len + gen.pick(4);
                    if (size == 0)
                        size = 1;
                }
                compare(path, ini.bytes, sq.c_str(), kq.c_str(), def, size);
            }
            // Key list of the section, as written and as varied.
            compare(path, ini.bytes, s.c_str(), nullptr, kDefaults[gen.pick(6)], kSizes[gen.pick(11)]);
            std::string sq = gen.vary_name(s);
            compare(path, ini.bytes, sq.c_str(), nullptr, "", kSizes[gen.pick(11)]);
        }
        // Section list.
        compare(path, ini.bytes, nullptr, nullptr, "", kSizes[gen.pick(11)]);
        compare(path, ini.bytes, nullptr, "ignored", "d", kSizes[gen.pick(11)]);
    }
    // A missing file reads as the default.
    std::string missing = dir_ + "\\no such file.ini";
    for (const char* def : kDefaults)
        compare(missing, "", "s", "k", def, 8);

    std::string report;
    for (const std::string& r : reports_)
        report += r + "\n";
    EXPECT_EQ(mismatches_, 0u) << "of " << queries_ << " queries on " << kFiles << " files\n"
                               << report;
    std::printf("%zu queries on %d files, %zu mismatches\n", queries_, kFiles, mismatches_);
}

} // namespace
} // namespace cv
