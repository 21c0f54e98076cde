// The encrypted settings file (setup.nsx, data.nsx) on arbitrary input, read as the setup
// reads it: decrypted with the settings-file key, then parsed as a profile file. A file that
// decrypts must encrypt back to exactly its own bytes; one that does not must fail with one
// of the cipher's fixed messages, never otherwise.
#include "common/profile.h"
#include "crypto/rijndael_file.h"
#include "crypto/setup_file_key.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

void require(bool ok) {
    if (!ok)
        __builtin_trap();
}

std::string scratch(const char* tag) {
    static const std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm/" : "/tmp/";
    return folder + "cv-fuzz-settings-" + std::to_string(getpid()) + "-" + tag;
}

std::vector<char> read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string input = scratch("in.nsx"), plain = scratch("out.inf"),
                             again = scratch("again.nsx");
    {
        std::ofstream out(input, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        require(static_cast<bool>(out));
    }
    cv::CRijndaelFILE cipher;
    cv::crypto::InitSetupFileKey(cipher);
    try {
        cipher.DecryptFileTo(input, plain);
    } catch (const std::runtime_error& e) {
        const std::string message = e.what();
        require(message == "FileCrypt ERROR: File " + input + " cannot be Correctly Decrypted!" ||
                message == "Illegal Block Size!");
        return 0;
    }
    const std::vector<char> text = read_all(plain);
    require(size >= cv::CRijndaelFILE::kHeaderSize &&
            text.size() == size - cv::CRijndaelFILE::kHeaderSize);

    cv::CRijndaelFILE back;
    cv::crypto::InitSetupFileKey(back);
    back.EncryptFileTo(plain, again);
    const std::vector<char> encrypted = read_all(again);
    require(encrypted.size() == size &&
            std::equal(encrypted.begin(), encrypted.end(), reinterpret_cast<const char*>(data)));

    // The setup reads the decrypted text as its settings.
    const cv::ProfileFile settings = cv::ProfileFile::parse(std::string_view(text.data(), text.size()));
    require(settings.get("APPINFO", "a1").size() < cv::kProfileValueBuffer);
    return 0;
}
