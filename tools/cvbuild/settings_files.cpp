#include "tools/cvbuild/settings_files.h"

#include "crypto/rijndael_file.h"
#include "crypto/setup_file_key.h"
#include "tools/cvbuild/build_error.h"

#include <string>
#include <system_error>
#include <unistd.h>

namespace cv::build {

namespace {

enum class Direction { kEncrypt, kDecrypt };

void Convert(Direction direction, const std::filesystem::path& input,
             const std::filesystem::path& output) {
    std::error_code error;
    if (input == output || std::filesystem::equivalent(input, output, error)) {
        throw BuildError(input.string() + ": input and output are the same file");
    }
    auto partial = output;
    partial += ".cvbuild-" + std::to_string(::getpid());
    CRijndaelFILE cipher;
    crypto::InitSetupFileKey(cipher);
    try {
        if (direction == Direction::kEncrypt) {
            cipher.EncryptFileTo(input.string(), partial.string());
        } else {
            cipher.DecryptFileTo(input.string(), partial.string());
        }
        std::filesystem::rename(partial, output);
    } catch (const std::exception& e) {
        std::filesystem::remove(partial, error);
        throw BuildError(e.what());
    }
}

} // namespace

void EncryptSettingsFile(const std::filesystem::path& input, const std::filesystem::path& output) {
    Convert(Direction::kEncrypt, input, output);
}

void DecryptSettingsFile(const std::filesystem::path& input, const std::filesystem::path& output) {
    Convert(Direction::kDecrypt, input, output);
}

} // namespace cv::build
