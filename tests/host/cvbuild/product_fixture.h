#pragma once
// A small generated product folder and helpers to read a packed setup folder back.

#include "crypto/rijndael_file.h"
#include "crypto/setup_file_key.h"
#include "tests/host/crypto/test_support.h"

#include <string>

namespace cv::test {

inline std::string Text(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    WriteBytes(path, Bytes(text.begin(), text.end()));
}

/// Decrypts a settings file as the runtime does and drops the padding zeros (at most 15).
inline std::string DecryptAsRuntime(const std::filesystem::path& encrypted,
                                    const std::filesystem::path& scratch) {
    CRijndaelFILE cipher;
    crypto::InitSetupFileKey(cipher);
    cipher.DecryptFileTo(encrypted.string(), scratch.string());
    std::string text = Text(ReadBytes(scratch));
    std::size_t zeros = 0;
    while (!text.empty() && text.back() == '\0') {
        text.pop_back();
        ++zeros;
    }
    EXPECT_LT(zeros, 16u) << encrypted;
    return text;
}

class ProductFolder : public ScratchFolder {
  protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        product_ = root_ / "product";
        out_ = root_ / "out";
        std::filesystem::create_directories(product_ / "files/bin");
        std::filesystem::create_directories(product_ / "theme/pictures");
        WriteText(product_ / "setup.inf", kSetupInf);
        // LF line ends and no end on the last line, as an author's editor may leave them.
        WriteText(product_ / "data.inf",
                  "files\\readme.txt\nDestination Computer\\<InstallDir>*0*0*0|\n"
                  "files/bin/tool.dll\r\nDestination Computer\\<InstallDir>\\bin*128*0*0|Core\n"
                  "http://example.com/extra.zip\nDestination Computer\\<InstallDir>*0*0*0|");
        WriteText(product_ / "files/readme.txt", "Read me.\r\n");
        WriteBytes(product_ / "files/bin/tool.dll", Pattern(3000));
        WriteText(product_ / "theme/welcome.lcd", "[Page]\r\nWidth=500\r\n");
        WriteText(product_ / "theme/complete.lcd", "[Page]\r\nWidth=500\r\n");
        WriteBytes(product_ / "theme/pictures/side.bmp", Pattern(700, 2));
        WriteText(product_ / "language.lan", "[InstallWelcome]\r\n0=Cancel\r\n");
        WriteText(product_ / "languages/German.lan", "[InstallWelcome]\r\n0=Abbrechen\r\n");
        WriteBytes(root_ / "setup.exe", Pattern(5000, 9));
    }

    static constexpr const char* kSetupInf = "[APPINFO]\r\nPRODUCTNAME=Demo\r\nVERSION=1.0\r\n";
    static constexpr const char* kDataInfCrLf =
        "files\\readme.txt\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n"
        "files/bin/tool.dll\r\nDestination Computer\\<InstallDir>\\bin*128*0*0|Core\r\n"
        "http://example.com/extra.zip\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n";

    /// Folders and files beside the output folder (staging leftovers would show here).
    std::vector<std::string> EntriesBesideOutput() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(root_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::filesystem::path product_;
    std::filesystem::path out_;
};

} // namespace cv::test
