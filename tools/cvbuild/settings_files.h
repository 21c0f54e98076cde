#pragma once
/// Encrypting and decrypting single settings files (setup.nsx, data.nsx) with the key the
/// runtime uses.

#include <filesystem>

namespace cv::build {

/// Encrypts `input` into `output`. The output appears only when complete: it is written
/// beside its final place and renamed at the end. Raises BuildError when input and output
/// are the same file, or with the cipher's message on any other failure.
void EncryptSettingsFile(const std::filesystem::path& input, const std::filesystem::path& output);

/// Decrypts `input` into `output` (the padding zeros stay at its end), same contract.
void DecryptSettingsFile(const std::filesystem::path& input, const std::filesystem::path& output);

} // namespace cv::build
