// Split-files and disk-image builds of one small product: which files lie where under which
// names, what the setup reads back from the settings files, and what each kind refuses.

#include "tests/host/archive/archive_test_support.h"
#include "tests/host/cvbuild/product_fixture.h"
#include "tools/cvbuild/build_error.h"
#include "tools/cvbuild/pack.h"
#include "tools/cvbuild/split_marker.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace cv::test {
namespace {

namespace fs = std::filesystem;
using build::BuildError;
using build::BuildKind;
using build::Pack;
using build::PackOptions;

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

/// The names at the top of `dir`.
std::vector<std::string> Listing(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    return Sorted(names);
}

class BuildKinds : public ProductFolder {
  protected:
    // A product with a file in a sub folder, a download, an empty-folder record, a second
    // record of the same file, and support files of every reader: the licence (pages), the
    // uninstall-time program and the live-update files (installation's source folder), the
    // background picture (work folder only).
    void SetUp() override {
        ProductFolder::SetUp();
        WriteText(product_ / "data.inf",
                  std::string(kDataInfCrLf) +
                      "files\\empty\\rcsemptyfolder\r\nDestination Computer\\<InstallDir>\\logs*0*0*0|\r\n"
                      "files\\bin\\tool.dll\r\nDestination Computer\\<Install Dir>\\*0*0*0|\r\n");
        WriteText(product_ / "files/empty/rcsemptyfolder", "");
        WriteText(product_ / "setup.inf", kSettings);
        WriteText(product_ / "License.txt", "Terms.");
        WriteBytes(product_ / "cleanup.exe", Pattern(600, 4));
        WriteBytes(product_ / "liveupdate.exe", Pattern(500, 5));
        WriteText(product_ / "liveupdate.inf", "[Update]\r\n");
        WriteBytes(product_ / "back.bmp", Pattern(300, 6));
        WriteBytes(root_ / "cvexec.exe", Pattern(700, 7));
        // The product is hidden, so packing requires the hidden progress page.
        WriteText(product_ / "theme/progress.lcd", "[Page]\r\nWidth=500\r\n");
    }

    static constexpr const char* kSettings =
        "[APPINFO]\r\na1=Demo\r\na10=Yes\r\na11=cleanup.exe\r\n"
        "[BUILDING]\r\nCURRENTBUILD=Compressed\r\n2=Yes\r\n"
        "[DIALOGLIST]\r\nCT0=License.txt\r\n[BACKGROUND]\r\n0=1\r\n5=back.bmp\r\n"
        "[LIVEUPDATE]\r\n1=Yes\r\n";

    PackOptions Options(BuildKind kind) const {
        PackOptions options;
        options.product_dir = product_;
        options.out_dir = out_;
        options.runtime = root_ / "setup.exe";
        options.uninstaller = root_ / "cvexec.exe";
        options.kind = kind;
        return options;
    }

    std::string PackError(const PackOptions& options) {
        try {
            Pack(options);
        } catch (const BuildError& e) {
            EXPECT_FALSE(fs::exists(out_)) << "a failed run left an output folder";
            return e.what();
        }
        return "packed";
    }

    /// file1.cab's files by stored name, read with the repository's cabinet reader.
    std::map<std::string, Bytes> Cabinet() const {
        MemoryHandler handler;
        const cab::Result result = extract_file_set((out_ / "file1.cab").string(), handler);
        EXPECT_TRUE(result.ok()) << result.message;
        return handler.files;
    }

    std::string Decrypted(const char* name) const {
        return DecryptAsRuntime(out_ / name, root_ / (std::string(name) + ".dec"));
    }
};

TEST_F(BuildKinds, SplitFilesBuild) {
    const auto report = Pack(Options(BuildKind::split_files));
    EXPECT_EQ(Listing(out_), Sorted({"DiskImage1", "cleanup.exe", "cvexec.exe", "data.nsx",
                                     "file1.cab", "language.lan", "languages", "liveupdate.exe",
                                     "liveupdate.inf", "setup.exe", "setup.nsx", "theme"}));

    // The product's files under their own names, each once; no download, no stand-in for an
    // empty folder, no support file (it would be installed with them).
    const auto files = Cabinet();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files.at("readme.txt"), ReadBytes(product_ / "files/readme.txt"));
    EXPECT_EQ(files.at("tool.dll"), Pattern(3000));
    EXPECT_EQ(report.archived_count, 2u);
    ASSERT_TRUE(have_cabextract()) << "cabextract is not installed";
    std::map<std::string, Bytes> by_cabextract;
    EXPECT_TRUE(cabextract(out_ / "file1.cab", root_ / "cabextract", by_cabextract));
    EXPECT_EQ(by_cabextract, files);

    // The pages read DiskImage1; the installation reads the setup folder itself.
    EXPECT_EQ(Listing(out_ / "DiskImage1"), Sorted({"License.txt", "back.bmp"}));
    EXPECT_EQ(ReadBytes(out_ / "cleanup.exe"), Pattern(600, 4));
    EXPECT_EQ(ReadBytes(out_ / "cvexec.exe"), Pattern(700, 7));
    EXPECT_EQ(report.disk_image_count, 2u);
    EXPECT_EQ(report.beside_count, 4u);

    EXPECT_EQ(Decrypted("data.nsx"), std::string(kDataInfCrLf) +
                                         "files\\empty\\rcsemptyfolder\r\nDestination Computer\\<InstallDir>\\logs*0*0*0|\r\n"
                                         "files\\bin\\tool.dll\r\nDestination Computer\\<Install Dir>\\*0*0*0|\r\n");
    const std::string settings = Decrypted("setup.nsx");
    std::string expected = kSettings;
    expected.replace(expected.find("Compressed"), 10, "Split Files");
    EXPECT_EQ(settings, expected);

    // Warned: the download, the destinations that are not the install folder (the tool in
    // bin; the empty folder is no file), and the background picture nobody reads.
    ASSERT_EQ(report.warnings.size(), 3u) << ::testing::PrintToString(report.warnings);
    EXPECT_NE(report.warnings[0].find("data.inf line 5: a split-files build does not download"),
              std::string::npos);
    EXPECT_NE(report.warnings[1].find("data.inf line 3: the destination is not the install"),
              std::string::npos);
    EXPECT_NE(report.warnings[2].find("[BACKGROUND] 5: the setup reads \"back.bmp\" from its "
                                      "work folder"),
              std::string::npos);
}

TEST_F(BuildKinds, DiskImageBuild) {
    const fs::file_time_type stamp = fs::file_time_type::clock::now() - std::chrono::hours(50);
    fs::last_write_time(product_ / "files/bin/tool.dll", stamp);
    fs::permissions(product_ / "files/readme.txt", fs::perms::owner_read | fs::perms::group_read);
    const auto report = Pack(Options(BuildKind::disk_images));
    EXPECT_EQ(Listing(out_), Sorted({"DiskImage1", "data.nsx", "language.lan", "languages",
                                     "setup.exe", "setup.nsx", "theme"}));
    EXPECT_TRUE(report.cabinets.empty());

    // Every record under its position and name (the empty-folder stand-in too: the setup
    // counts it), the support files and the uninstaller beside them.
    EXPECT_EQ(Listing(out_ / "DiskImage1"),
              Sorted({"F0_readme.txt", "F1_tool.dll", "F3_rcsemptyfolder", "F4_tool.dll",
                      "License.txt", "back.bmp", "cleanup.exe", "cvexec.exe", "liveupdate.exe",
                      "liveupdate.inf"}));
    const fs::path image = out_ / "DiskImage1";
    EXPECT_EQ(ReadBytes(image / "F0_readme.txt"), ReadBytes(product_ / "files/readme.txt"));
    EXPECT_EQ(ReadBytes(image / "F4_tool.dll"), Pattern(3000));
    EXPECT_EQ(ReadBytes(image / "liveupdate.exe"), Pattern(500, 5));
    EXPECT_EQ(fs::last_write_time(image / "F1_tool.dll"), stamp);
    EXPECT_NE(fs::status(image / "F0_readme.txt").permissions() & fs::perms::owner_write,
              fs::perms::none)
        << "a read-only copy would install read-only";
    EXPECT_EQ(report.disk_image_count, 10u);

    // The settings files are those of a compressed build.
    EXPECT_EQ(Decrypted("setup.nsx"), kSettings);
    const std::string data = Decrypted("data.nsx");
    fs::remove_all(out_);
    Pack(Options(BuildKind::compressed));
    EXPECT_EQ(Decrypted("data.nsx"), data);
    EXPECT_EQ(Cabinet().count("F4_tool.dll"), 1u);
    EXPECT_EQ(Cabinet().count("liveupdate.inf"), 1u);

    // Without any file to lay out the folder is still there: it is what tells the setup.
    WriteText(product_ / "data.inf", "http://example.com/a.zip\r\nD*0*0*0|\r\n");
    WriteText(product_ / "setup.inf", kSetupInf);
    auto bare = Options(BuildKind::disk_images);
    bare.uninstaller.reset();
    Pack(bare);
    EXPECT_TRUE(fs::is_directory(out_ / "DiskImage1"));
    EXPECT_TRUE(Listing(out_ / "DiskImage1").empty());
}

TEST_F(BuildKinds, WhatEachKindRefuses) {
    // Two different files of one name would overwrite each other in the install folder.
    WriteText(product_ / "other/README.TXT", "another");
    WriteText(product_ / "data.inf", std::string(kDataInfCrLf) +
                                         "other\\README.TXT\r\nDestination Computer\\<InstallDir>\\x*0*0*0|\r\n");
    EXPECT_NE(PackError(Options(BuildKind::split_files))
                  .find("would both be installed as \"README.TXT\" in the install folder"),
              std::string::npos);
    Pack(Options(BuildKind::disk_images)); // F0_ and F3_: no clash there
    fs::remove_all(out_);

    // A support file beside setup.exe may not take the name of the setup's own files.
    WriteText(product_ / "data.inf", kDataInfCrLf);
    for (const char* own : {"Setup.exe", "file2.cab", "data.nsx"}) {
        WriteText(product_ / "setup.inf",
                  std::string("[APPINFO]\r\na10=Yes\r\na11=") + own + "\r\n");
        WriteText(product_ / own, "x");
        const std::string error = PackError(Options(BuildKind::split_files));
        EXPECT_NE(error.find("setup.inf [APPINFO] a11"), std::string::npos) << error;
        EXPECT_NE(error.find("beside setup.exe"), std::string::npos) << error;
        Pack(Options(BuildKind::compressed)); // inside the cabinet they harm nothing
        fs::remove_all(out_);
    }

    // Live-update files that are switched on must be there.
    WriteText(product_ / "setup.inf", "[LIVESUPPORT]\r\n1=Yes\r\n");
    EXPECT_NE(PackError(Options(BuildKind::compressed)).find("livesupport.exe\", setup.inf [LIVESUPPORT] 1"),
              std::string::npos);

    // A split-files build with nothing to unpack.
    WriteText(product_ / "setup.inf", kSetupInf);
    WriteText(product_ / "data.inf", "http://example.com/a.zip\r\nD*0*0*0|\r\n");
    EXPECT_NE(PackError(Options(BuildKind::split_files)).find("nothing to put into file1.cab"),
              std::string::npos);

    // Settings marked "Split Files" packed as another kind would send the setup to unpack a
    // cabinet that is not made for it.
    WriteText(product_ / "data.inf", kDataInfCrLf);
    WriteText(product_ / "setup.inf", "[BUILDING]\r\nCURRENTBUILD=Split Files\r\n");
    for (BuildKind kind : {BuildKind::compressed, BuildKind::disk_images}) {
        EXPECT_NE(PackError(Options(kind)).find("pack with --split"), std::string::npos);
    }
    Pack(Options(BuildKind::split_files));
}

TEST_F(BuildKinds, CommandLine) {
    const auto run = [&](const std::string& options) {
        const std::string command = std::string(CVBUILD_EXE) + " pack '" + product_.string() +
                                    "' '" + out_.string() + "' --runtime '" +
                                    (root_ / "setup.exe").string() + "' " + options +
                                    " >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    for (const char* wrong : {"--split --disk-images", "--disk-images --span 100000",
                              "--compression none --disk-images"}) {
        EXPECT_EQ(run(wrong), 2) << wrong;
        EXPECT_FALSE(fs::exists(out_)) << wrong;
    }
    EXPECT_EQ(run("--split --compression none"), 0);
    EXPECT_EQ(Cabinet().count("tool.dll"), 1u);
    EXPECT_TRUE(build::IsMarkedSplitFiles(Decrypted("setup.nsx")));
    EXPECT_EQ(run("--disk-images"), 0);
    EXPECT_FALSE(fs::exists(out_ / "file1.cab"));
    EXPECT_TRUE(fs::exists(out_ / "DiskImage1/F1_tool.dll"));
}

} // namespace
} // namespace cv::test
