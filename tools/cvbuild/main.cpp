// cvbuild: the authoring back end. Encrypts and decrypts settings files and packs a product
// folder into a setup folder.

#include "tools/cvbuild/build_error.h"
#include "tools/cvbuild/pack.h"
#include "tools/cvbuild/settings_files.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#ifndef CV_RUNTIME_EXE
#define CV_RUNTIME_EXE ""
#endif
#ifndef CV_UNINSTALLER_EXE
#define CV_UNINSTALLER_EXE ""
#endif

namespace {

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

int Usage() {
    std::fputs("usage: cvbuild encrypt IN OUT\n"
               "       cvbuild decrypt IN OUT\n"
               "       cvbuild pack PRODUCT_DIR OUT_DIR [--runtime PATH_TO_setup.exe]\n"
               "                    [--cvexec PATH_TO_cvexec.exe] [--compression none|mszip]\n"
               "                    [--span BYTES] [--split | --disk-images]\n",
               stderr);
    return kExitUsage;
}

/// A cabinet size in bytes: decimal digits only.
bool ParseSize(const std::string& text, std::uint64_t& size) {
    if (text.empty() || text.size() > 19 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    size = std::stoull(text);
    return true;
}

int RunPack(const std::vector<std::string>& args) {
    cv::build::PackOptions options;
    options.default_runtime = CV_RUNTIME_EXE;
    options.default_uninstaller = CV_UNINSTALLER_EXE;
    std::vector<std::string> positional;
    bool cabinet_option = false; // --compression or --span, which a disk-image build has no use for
    int kinds = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--split" || arg == "--disk-images") {
            options.kind = arg == "--split" ? cv::build::BuildKind::split_files
                                            : cv::build::BuildKind::disk_images;
            ++kinds;
            continue;
        }
        cabinet_option = cabinet_option || arg == "--compression" || arg == "--span";
        const bool takes_value =
            arg == "--runtime" || arg == "--cvexec" || arg == "--compression" || arg == "--span";
        if (!takes_value) {
            positional.push_back(arg);
            continue;
        }
        if (i + 1 == args.size()) {
            std::fprintf(stderr, "cvbuild: %s needs a value\n", arg.c_str());
            return kExitUsage;
        }
        const std::string& value = args[++i];
        if (arg == "--runtime") {
            options.runtime = value;
        } else if (arg == "--cvexec") {
            options.uninstaller = value;
        } else if (arg == "--compression") {
            if (value == "none") {
                options.compression = cv::cab::Compression::none;
            } else if (value == "mszip") {
                options.compression = cv::cab::Compression::mszip;
            } else {
                std::fprintf(stderr, "cvbuild: --compression takes none or mszip, not \"%s\"\n",
                             value.c_str());
                return kExitUsage;
            }
        } else if (!ParseSize(value, options.max_cabinet_size) || options.max_cabinet_size == 0) {
            std::fprintf(stderr, "cvbuild: --span takes a cabinet size in bytes, not \"%s\"\n",
                         value.c_str());
            return kExitUsage;
        }
    }
    if (positional.size() != 2) {
        return Usage();
    }
    if (kinds > 1) {
        std::fputs("cvbuild: --split and --disk-images choose one kind of build; give one\n",
                   stderr);
        return kExitUsage;
    }
    if (cabinet_option && options.kind == cv::build::BuildKind::disk_images) {
        std::fputs("cvbuild: a disk-image build writes no cabinet: --compression and --span "
                   "do not apply\n",
                   stderr);
        return kExitUsage;
    }
    options.product_dir = positional[0];
    options.out_dir = positional[1];
    const auto report = cv::build::Pack(options);
    for (const auto& warning : report.warnings) {
        std::fprintf(stderr, "cvbuild: warning: %s\n", warning.c_str());
    }
    std::printf("cvbuild: packed %zu file entries into %s%s\n", report.file_count,
                options.out_dir.string().c_str(), report.runtime_copied ? "" : " (no setup.exe)");
    if (!report.cabinets.empty()) {
        std::printf("cvbuild: %zu files in %zu cabinet%s (file1.cab%s)\n", report.archived_count,
                    report.cabinets.size(), report.cabinets.size() == 1 ? "" : "s",
                    report.cabinets.size() > 1 ? " ..." : "");
    }
    if (options.kind != cv::build::BuildKind::compressed) {
        std::printf("cvbuild: %zu files in DiskImage1, %zu beside setup.exe%s\n",
                    report.disk_image_count, report.beside_count,
                    options.kind == cv::build::BuildKind::split_files ? " (split files)" : "");
    }
    if (!report.uninstaller_copied) {
        std::printf("cvbuild: no cvexec.exe\n");
    }
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
