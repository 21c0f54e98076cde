// Packing a product folder: the setup folder's contents, and failures that leave no output.

#include "tests/host/cvbuild/product_fixture.h"
#include "tools/cvbuild/build_error.h"
#include "tools/cvbuild/pack.h"

#include <gtest/gtest.h>

namespace cv::test {
namespace {

namespace fs = std::filesystem;
using build::BuildError;
using build::Pack;
using build::PackOptions;

class Packing : public ProductFolder {
  protected:
    PackOptions Options() const {
        PackOptions options;
        options.product_dir = product_;
        options.out_dir = out_;
        options.runtime = root_ / "setup.exe";
        return options;
    }
    // Packs with `options`, expects a BuildError whose text contains `needle`, and checks
    // that nothing but the product and the runtime is left beside the output.
    void ExpectFailure(const PackOptions& options, const std::string& needle) {
        try {
            Pack(options);
            ADD_FAILURE() << "packing succeeded, expected: " << needle;
        } catch (const BuildError& e) {
            EXPECT_NE(std::string(e.what()).find(needle), std::string::npos) << e.what();
        }
        EXPECT_FALSE(fs::exists(out_)) << "a failed run left an output folder";
        EXPECT_EQ(EntriesBesideOutput(), (std::vector<std::string>{"product", "setup.exe"}));
    }
};

TEST_F(Packing, SetupFolderDecryptsBackAndHoldsTheCopies) {
    const auto report = Pack(Options());
    EXPECT_EQ(report.file_count, 3u);
    EXPECT_TRUE(report.runtime_copied);
    EXPECT_TRUE(report.warnings.empty());

    EXPECT_EQ(DecryptAsRuntime(out_ / "setup.nsx", root_ / "setup.dec"), kSetupInf);
    EXPECT_EQ(DecryptAsRuntime(out_ / "data.nsx", root_ / "data.dec"), kDataInfCrLf);
    for (const char* name :
         {"theme/welcome.lcd", "theme/pictures/side.bmp", "language.lan", "languages/German.lan"}) {
        EXPECT_EQ(ReadBytes(out_ / name), ReadBytes(product_ / name)) << name;
    }
    EXPECT_EQ(ReadBytes(out_ / "setup.exe"), Pattern(5000, 9));
    // No plain settings and no product files (those go into the archive).
    for (const char* name : {"setup.inf", "data.inf", ".data.inf", "files"}) {
        EXPECT_FALSE(fs::exists(out_ / name)) << name;
    }
    EXPECT_EQ(EntriesBesideOutput(),
              (std::vector<std::string>{"data.dec", "out", "product", "setup.dec", "setup.exe"}));
}

TEST_F(Packing, RepackReplacesAnEarlierSetupFolder) {
    Pack(Options());
    WriteText(out_ / "stale.txt", "from an earlier run");
    WriteText(product_ / "setup.inf", "[APPINFO]\r\nVERSION=2.0\r\n");
    Pack(Options());
    EXPECT_FALSE(fs::exists(out_ / "stale.txt"));
    EXPECT_EQ(DecryptAsRuntime(out_ / "setup.nsx", root_ / "setup.dec"),
              "[APPINFO]\r\nVERSION=2.0\r\n");
}

TEST_F(Packing, RefusesToReplaceAFolderThatIsNoSetupFolder) {
    WriteText(out_ / "notes.txt", "mine");
    EXPECT_THROW(Pack(Options()), BuildError);
    EXPECT_EQ(Text(ReadBytes(out_ / "notes.txt")), "mine");
    auto options = Options();
    for (const fs::path& holder : {root_, root_ / "", product_, product_ / "." / ""}) {
        options.out_dir = holder; // is or holds the product folder
        EXPECT_THROW(Pack(options), BuildError) << holder;
    }
    EXPECT_TRUE(fs::exists(product_ / "setup.inf"));
}

TEST_F(Packing, OptionalPartsAndDefaultRuntime) {
    fs::remove(product_ / "language.lan");
    fs::remove_all(product_ / "languages");
    auto options = Options();
    options.runtime.reset();
    options.default_runtime = root_ / "no-such-setup.exe";
    const auto report = Pack(options);
    EXPECT_FALSE(report.runtime_copied);
    ASSERT_EQ(report.warnings.size(), 2u);
    EXPECT_NE(report.warnings[1].find("no setup.exe copied"), std::string::npos);
    EXPECT_FALSE(fs::exists(out_ / "setup.exe"));
    EXPECT_TRUE(fs::exists(out_ / "setup.nsx"));

    fs::remove_all(out_);
    options.default_runtime = root_ / "setup.exe";
    EXPECT_TRUE(Pack(options).runtime_copied);
    EXPECT_EQ(ReadBytes(out_ / "setup.exe"), Pattern(5000, 9));
}

TEST_F(Packing, MissingSettingsFilesAndTheme) {
    fs::remove(product_ / "setup.inf");
    ExpectFailure(Options(), (product_ / "setup.inf").string());
    WriteText(product_ / "setup.inf", kSetupInf);

    fs::remove(product_ / "data.inf");
    ExpectFailure(Options(), (product_ / "data.inf").string());
    fs::create_directory(product_ / "data.inf");
    ExpectFailure(Options(), "data.inf (the file list) is not a file");
    fs::remove(product_ / "data.inf");
    WriteText(product_ / "data.inf", "");

    fs::remove_all(product_ / "theme");
    ExpectFailure(Options(), "missing theme folder");
}

TEST_F(Packing, LayoutFilesThatTheSetupOpensMustBeInTheTheme) {
    const std::string pages = "[DIALOGLIST]\r\nTOTAL1=3\r\nW0=welcome.lcd\r\nW1=Complete.LCD\r\nW2=ready.lcd\r\n";
    WriteText(product_ / "setup.inf", std::string(kSetupInf) + pages);
    ExpectFailure(Options(), "[DIALOGLIST] W2: the page layout \"ready.lcd\" is not in");

    // Names are matched as Windows matches them; pages past the count are never opened.
    WriteText(product_ / "setup.inf", std::string(kSetupInf) + pages + "W3=never.lcd\r\n");
    WriteText(product_ / "theme/ready.lcd", "[Page]\r\n");
    EXPECT_TRUE(Pack(Options()).warnings.empty());
    fs::remove_all(out_);

    // A hidden setup opens progress.lcd.
    WriteText(product_ / "setup.inf", std::string(kSetupInf) + pages + "[BUILDING]\r\n2=Yes\r\n");
    ExpectFailure(Options(), "missing progress.lcd");
    WriteText(product_ / "theme/progress.lcd", "[Page]\r\n");
    EXPECT_TRUE(Pack(Options()).warnings.empty());
    fs::remove_all(out_);

    // Without complete.lcd a cancelled setup can only end with a message: packed, with a warning.
    WriteText(product_ / "setup.inf", std::string(kSetupInf) + "[DIALOGLIST]\r\nTOTAL1=1\r\nW0=welcome.lcd\r\n");
    fs::remove(product_ / "theme/complete.lcd");
    const auto report = Pack(Options());
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_NE(report.warnings[0].find("missing complete.lcd"), std::string::npos) << report.warnings[0];
}

TEST_F(Packing, FileListProblemsNameTheLine) {
    WriteText(product_ / "data.inf", std::string(kDataInfCrLf) + "files\\gone.txt\r\nD*0*0*0|\r\n");
    ExpectFailure(Options(), "data.inf line 7: source file " +
                                 (product_ / "files/gone.txt").string() + " does not exist");
    WriteText(product_ / "data.inf", std::string(kDataInfCrLf) + "files\\readme.txt\r\n");
    ExpectFailure(Options(), "data.inf line 7: source line \"files\\readme.txt\" has no record");
}

TEST_F(Packing, RuntimeGivenButMissing) {
    auto options = Options();
    options.runtime = root_ / "nowhere/setup.exe";
    ExpectFailure(options, "nowhere/setup.exe: runtime (--runtime) does not exist");
}

} // namespace
} // namespace cv::test
