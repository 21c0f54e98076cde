// cvbuild: the authoring back end. Encrypts and decrypts settings files and packs a product
// folder into a setup folder.

#include "tools/cvbuild/build_error.h"
#include "tools/cvbuild/pack.h"
#include "tools/cvbuild/settings_files.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#ifndef CV_RUNTIME_EXE
#define CV_RUNTIME_EXE ""
#endif

namespace {

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

int Usage() {
    std::fputs("usage: cvbuild encrypt IN OUT\n"
               "       cvbuild decrypt IN OUT\n"
               "       cvbuild pack PRODUCT_DIR OUT_DIR [--runtime PATH_TO_setup.exe]\n",
               stderr);
    return kExitUsage;
}

int RunPack(const std::vector<std::string>& args) {
    cv::build::PackOptions options;
    options.default_runtime = CV_RUNTIME_EXE;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--runtime") {
            if (i + 1 == args.size()) {
                std::fputs("cvbuild: --runtime needs the path of setup.exe\n", stderr);
                return kExitUsage;
            }
            options.runtime = args[++i];
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 2) {
        return Usage();
    }
    options.product_dir = positional[0];
    options.out_dir = positional[1];
    const auto report = cv::build::Pack(options);
    for (const auto& warning : report.warnings) {
        std::fprintf(stderr, "cvbuild: warning: %s\n", warning.c_str());
    }
    std::printf("cvbuild: packed %zu file entries into %s%s\n", report.file_count,
                options.out_dir.string().c_str(), report.runtime_copied ? "" : " (no setup.exe)");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage();
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    try {
        if (command == "pack") {
            return RunPack(args);
        }
        if ((command == "encrypt" || command == "decrypt") && args.size() == 2) {
            if (command == "encrypt") {
                cv::build::EncryptSettingsFile(args[0], args[1]);
            } else {
                cv::build::DecryptSettingsFile(args[0], args[1]);
            }
            return 0;
        }
        return Usage();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "cvbuild: error: %s\n", e.what());
        return kExitError;
    }
}
