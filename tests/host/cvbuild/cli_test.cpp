// The cvbuild command line: exit codes and files, run as a separate process.

#include "tests/host/cvbuild/product_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace cv::test {
namespace {

namespace fs = std::filesystem;

int RunCvbuild(const std::string& arguments) {
    const std::string command = std::string(CVBUILD_EXE) + " " + arguments + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

class CommandLine : public ProductFolder {};

TEST_F(CommandLine, EncryptThenDecrypt) {
    EXPECT_EQ(
        RunCvbuild("encrypt " + Quoted(product_ / "setup.inf") + " " + Quoted(root_ / "setup.nsx")),
        0);
    EXPECT_EQ(fs::file_size(root_ / "setup.nsx"), 32u + 48u);
    EXPECT_EQ(DecryptAsRuntime(root_ / "setup.nsx", root_ / "check.inf"), kSetupInf);
    EXPECT_EQ(
        RunCvbuild("decrypt " + Quoted(root_ / "setup.nsx") + " " + Quoted(root_ / "back.inf")), 0);
    std::string back = Text(ReadBytes(root_ / "back.inf"));
    EXPECT_EQ(back.substr(0, std::string(kSetupInf).size()), kSetupInf);

    // A file that is not encrypted: error, and no output file.
    EXPECT_EQ(
        RunCvbuild("decrypt " + Quoted(product_ / "setup.inf") + " " + Quoted(root_ / "x.inf")), 1);
    EXPECT_FALSE(fs::exists(root_ / "x.inf"));
    EXPECT_EQ(RunCvbuild("encrypt " + Quoted(product_ / "setup.inf") + " " +
                         Quoted(product_ / "setup.inf")),
              1);
    EXPECT_EQ(Text(ReadBytes(product_ / "setup.inf")), kSetupInf);
}

TEST_F(CommandLine, PackAndFailures) {
    EXPECT_EQ(RunCvbuild("pack " + Quoted(product_) + " " + Quoted(out_) + " --runtime " +
                         Quoted(root_ / "setup.exe")),
              0);
    EXPECT_EQ(DecryptAsRuntime(out_ / "data.nsx", root_ / "data.dec"), kDataInfCrLf);
    EXPECT_TRUE(fs::exists(out_ / "setup.exe"));

    fs::remove(product_ / "setup.inf");
    const fs::path second = root_ / "second";
    EXPECT_EQ(RunCvbuild("pack " + Quoted(product_) + " " + Quoted(second)), 1);
    EXPECT_FALSE(fs::exists(second));

    EXPECT_EQ(RunCvbuild("pack " + Quoted(product_)), 2);
    EXPECT_EQ(RunCvbuild("pack a b --runtime"), 2);
    EXPECT_EQ(RunCvbuild("frobnicate"), 2);
    EXPECT_EQ(RunCvbuild(""), 2);
}

} // namespace
} // namespace cv::test
