// The archive stage: which files go into file1.cab under which names, and the failures for
// files the settings or data.inf name but the product folder lacks.

#include "tests/host/archive/archive_test_support.h"
#include "tests/host/cvbuild/product_fixture.h"
#include "tools/cvbuild/file_layout.h"
#include "tools/cvbuild/build_error.h"
#include "tools/cvbuild/pack.h"

#include <gtest/gtest.h>

namespace cv::test {
namespace {

namespace fs = std::filesystem;
using build::BuildError;
using build::Pack;
using build::PackOptions;

/// Writes a file, creating its folders.
void Put(const fs::path& path, const Bytes& bytes) {
    fs::create_directories(path.parent_path());
    WriteBytes(path, bytes);
}

class Archive : public ProductFolder {
  protected:
    PackOptions Options() const {
        PackOptions options;
        options.product_dir = product_;
        options.out_dir = out_;
        options.runtime = root_ / "setup.exe";
        return options;
    }
    /// The files of the packed file1.cab (and its continuations) by stored name.
    std::map<std::string, Bytes> Unpacked() const {
        MemoryHandler handler;
        const cab::Result result = extract_file_set((out_ / "file1.cab").string(), handler);
        EXPECT_TRUE(result.ok()) << result.message;
        return handler.files;
    }
    static std::vector<std::string> Names(const std::map<std::string, Bytes>& files) {
        std::vector<std::string> names;
        for (const auto& [name, bytes] : files) {
            names.push_back(name);
        }
        return names;
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
    /// A setup.inf naming one support file of every kind, with the files in place.
    void AddSupportFiles() {
        WriteText(product_ / "setup.inf",
                  std::string(kSetupInf) +
                      "[DIALOGLIST]\r\nCT0=C:\\Authoring\\Demo\\License.rtf\r\n"
                      "CT2=docs\\readme.txt\r\n"
                      "[BACKGROUND]\r\n0=1\r\n5=art\\back.jpg\r\n"
                      "[BILLBOARDSCV]\r\nTOTAL=2\r\nB0=art\\board1.gif\r\nB1=board2.bmp\r\n"
                      "[BUILDING]\r\n4=Yes\r\n"
                      "[FILEACTION]\r\nTOTAL=2\r\nB0=<ResourceDir>\\helper.exe\r\n"
                      "B1=<WindowsFolder>\\notepad.exe\r\n"
                      // Link icons; one given by a variable names a file on the machine.
                      "[FOLDERCV]\r\nTOTAL=2\r\nH0=art\\app.ico\r\nH1=<InstallDir>\\app.exe\r\n"
                      "[EXTCV]\r\nTOTAL=1\r\nH0=doc.ico\r\n");
        WriteText(product_ / "theme/customer.lcd",
                  "[INFO]\r\nTOTAL=2\r\n0=x,10,10,100,20,COMBOBOX,{},y,4\r\n"
                  "1=x,10,40,100,20,COMBOBOX,{},y,5\r\n"
                  "[DADOS]\r\n4,t=3\r\n4,0=Name|IDC_COUNTRY|0\r\n4,1=Font|Arial|0\r\n"
                  "4,2=List|countries.txt|0\r\n"
                  "5,t=3\r\n5,0=Name|IDC_SHIPPED|0\r\n5,1=Font|Arial|0\r\n"
                  "5,2=List|{inthemefolder.txt}|0\r\n");
        Put(product_ / "License.rtf", Pattern(400, 1));
        Put(product_ / "docs/readme.txt", Pattern(300, 2));
        Put(product_ / "art/back.jpg", Pattern(2000, 3));
        Put(product_ / "art/board1.gif", Pattern(900, 4));
        Put(product_ / "board2.bmp", Pattern(800, 5));
        Put(product_ / "helper.exe", Pattern(1200, 6));
        Put(product_ / "art/app.ico", Pattern(700, 9));
        Put(product_ / "doc.ico", Pattern(600, 10));
        WriteText(product_ / "countries.txt", "France\r\nItaly\r\n");
        Put(root_ / "cvexec.exe", Pattern(1500, 8));
    }
};

TEST_F(Archive, RecordsAreStoredUnderTheirPositionAndFileName) {
    // Records 0 and 1 are files, record 2 a download: it is not stored but still counted.
    WriteText(product_ / "data.inf",
              std::string(kDataInfCrLf) +
                  "files\\bin\\tool.dll\r\nDestination Computer\\<InstallDir>\\x*0*0*0|\r\n");
    const auto report = Pack(Options());
    EXPECT_EQ(report.cabinets, (std::vector<std::string>{"file1.cab"}));
    EXPECT_EQ(report.archived_count, 3u);
    const auto files = Unpacked();
    EXPECT_EQ(Names(files),
              (std::vector<std::string>{"F0_readme.txt", "F1_tool.dll", "F3_tool.dll"}));
    EXPECT_EQ(files.at("F0_readme.txt"), ReadBytes(product_ / "files/readme.txt"));
    EXPECT_EQ(files.at("F1_tool.dll"), Pattern(3000));
    EXPECT_EQ(files.at("F3_tool.dll"), Pattern(3000));
    EXPECT_EQ(build::StoredFileName(12, "a\\b/c.txt"), "F12_c.txt");
}

TEST_F(Archive, SupportFilesAreStoredUnderTheirBareNames) {
    AddSupportFiles();
    auto options = Options();
    options.uninstaller = root_ / "cvexec.exe";
    const auto report = Pack(options);
    EXPECT_TRUE(report.uninstaller_copied);
    EXPECT_EQ(report.support_count, 9u);
    const auto files = Unpacked();
    EXPECT_EQ(Names(files),
              (std::vector<std::string>{"F0_readme.txt", "F1_tool.dll", "License.rtf", "app.ico",
                                        "back.jpg", "board1.gif", "board2.bmp", "countries.txt",
                                        "cvexec.exe", "doc.ico", "helper.exe", "readme.txt"}));
    EXPECT_EQ(files.at("app.ico"), Pattern(700, 9));
    EXPECT_EQ(files.at("License.rtf"), Pattern(400, 1));
    EXPECT_EQ(files.at("readme.txt"), Pattern(300, 2));
    EXPECT_EQ(files.at("back.jpg"), Pattern(2000, 3));
    EXPECT_EQ(files.at("board1.gif"), Pattern(900, 4));
    EXPECT_EQ(files.at("helper.exe"), Pattern(1200, 6));
    EXPECT_EQ(Text(files.at("countries.txt")), "France\r\nItaly\r\n");
    EXPECT_EQ(files.at("cvexec.exe"), Pattern(1500, 8));
}

TEST_F(Archive, NamesTheSetupDoesNotLookUpNeedNoFile) {
    // Background off, file actions from the disk image, the uninstall-time program switched
    // off, an icon on the target machine: none of them is packed or required.
    WriteText(product_ / "setup.inf",
              "[APPINFO]\r\na10=No\r\na11=uninst.exe\r\na18=<InstallDir>\\app.ico\r\n"
              "[BACKGROUND]\r\n0=0\r\n5=back.jpg\r\n"
              "[BUILDING]\r\n4=No\r\n[FILEACTION]\r\nTOTAL=1\r\nB0=<ResourceDir>\\x.exe\r\n");
    auto options = Options();
    options.default_uninstaller = root_ / "no-cvexec.exe";
    const auto report = Pack(options);
    EXPECT_FALSE(report.uninstaller_copied);
    EXPECT_EQ(Names(Unpacked()), (std::vector<std::string>{"F0_readme.txt", "F1_tool.dll"}));
}

TEST_F(Archive, MissingFilesAreAllNamedAndLeaveNoOutput) {
    AddSupportFiles();
    fs::remove(product_ / "License.rtf");
    fs::remove(product_ / "art/board1.gif");
    fs::remove(product_ / "countries.txt");
    const std::string error = PackError(Options());
    for (const std::string& needle :
         {(product_ / "License.rtf").string() + " (\"C:\\Authoring\\Demo\\License.rtf\", " +
              "setup.inf [DIALOGLIST] CT0)",
          (product_ / "art/board1.gif").string() + " (\"art\\board1.gif\", " +
              "setup.inf [BILLBOARDSCV] B0)",
          (product_ / "countries.txt").string() +
              " (\"countries.txt\", theme/customer.lcd IDC_COUNTRY (list file))"}) {
        EXPECT_NE(error.find(needle), std::string::npos) << error << "\nlacks: " << needle;
    }
    EXPECT_EQ(error.find("back.jpg"), std::string::npos) << error;

    AddSupportFiles();
    fs::remove(product_ / "files/readme.txt");
    fs::remove(product_ / "files/bin/tool.dll");
    const std::string sources = PackError(Options());
    EXPECT_NE(sources.find("2 sources of"), std::string::npos) << sources;
    EXPECT_NE(sources.find("line 1: source file " + (product_ / "files/readme.txt").string()),
              std::string::npos);
    EXPECT_NE(sources.find("line 3: source file " + (product_ / "files/bin/tool.dll").string()),
              std::string::npos);

    auto options = Options();
    options.uninstaller = root_ / "gone/cvexec.exe";
    WriteText(product_ / "files/readme.txt", "x");
    WriteBytes(product_ / "files/bin/tool.dll", Pattern(3));
    EXPECT_NE(PackError(options).find("uninstaller (--cvexec) does not exist"), std::string::npos);
}

TEST_F(Archive, NamesTheSetupCannotUseAreRefused) {
    // Two files that would land on the same name in the work folder (case does not count
    // there).
    WriteText(product_ / "setup.inf", std::string(kSetupInf) +
                                          "[DIALOGLIST]\r\nCT0=a\\notes.txt\r\nCT2=b\\Notes.TXT\r\n");
    WriteText(product_ / "a/notes.txt", "licence");
    WriteText(product_ / "b/Notes.TXT", "readme");
    EXPECT_NE(PackError(Options()).find("would both be unpacked as \"Notes.TXT\""),
              std::string::npos);
    // The same file named twice is stored once.
    WriteText(product_ / "setup.inf", std::string(kSetupInf) +
                                          "[DIALOGLIST]\r\nCT0=a\\notes.txt\r\nCT2=a/notes.txt\r\n");
    Pack(Options());
    EXPECT_EQ(Names(Unpacked()),
              (std::vector<std::string>{"F0_readme.txt", "F1_tool.dll", "notes.txt"}));
    fs::remove_all(out_);

    // The setup looks for a file action's program in a sub folder of the work folder.
    WriteText(product_ / "setup.inf",
              std::string(kSetupInf) + "[BUILDING]\r\n4=Yes\r\n[FILEACTION]\r\nTOTAL=1\r\n"
                                       "B0=<ResourceDir>\\tools\\x.exe\r\n");
    EXPECT_NE(PackError(Options()).find("setup.inf [FILEACTION] B0: \"<ResourceDir>\\tools\\x.exe\" "
                                        "names a sub folder of the work folder"),
              std::string::npos);

    // Only downloads and no support file: nothing to pack, but the setup needs file1.cab.
    WriteText(product_ / "setup.inf", kSetupInf);
    WriteText(product_ / "data.inf", "http://example.com/a.zip\r\nD*0*0*0|\r\n");
    EXPECT_NE(PackError(Options()).find("nothing to put into file1.cab"), std::string::npos);
}

TEST_F(Archive, BillboardsPastTheTableAreLeftOutWithAWarning) {
    std::string settings = std::string(kSetupInf) + "[BILLBOARDSCV]\r\nTOTAL=22\r\n";
    for (int i = 0; i < 22; ++i) {
        settings += "B" + std::to_string(i) + "=b" + std::to_string(i) + ".bmp\r\n";
        if (i < 20) {
            Put(product_ / ("b" + std::to_string(i) + ".bmp"), Pattern(10, i));
        }
    }
    WriteText(product_ / "setup.inf", settings);
    const auto report = Pack(Options());
    EXPECT_EQ(report.support_count, 20u);
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_NE(report.warnings[0].find("TOTAL=22: the setup holds 20"), std::string::npos);
    EXPECT_EQ(Unpacked().count("b19.bmp"), 1u);
}

} // namespace
} // namespace cv::test
