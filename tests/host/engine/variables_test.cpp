// Variable expansion of the engine and of page texts, and shortcut locations.
#include "engine/variables.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

PathValues SampleValues() {
    PathValues v;
    v.windows_folder = "C:\\WINDOWS";
    v.windows_volume = "C:";
    v.system_folder = "C:\\WINDOWS\\system32\\";
    v.temp_folder = "C:\\TEMP\\";
    v.current_directory = "D:\\setup\\";
    v.current_drive = "D:\\";
    v.program_files = "C:\\Program Files";
    v.common_files = "C:\\Program Files\\Common Files";
    v.favorites_folder = "C:\\Fav";
    v.my_pictures_folder = "C:\\Pics";
    v.send_to_folder = "C:\\SendTo";
    v.fonts_folder = "C:\\WINDOWS\\Fonts";
    v.app_data_folder = "C:\\AppData";
    v.personal_folder = "C:\\Docs";
    v.user_name = "root";
    v.company_name = "Acme";
    v.product_name = "Widget";
    v.install_dir = "C:\\Program Files\\Widget\\";
    v.default_install_dir = "C:\\Program Files\\Widget\\";
    v.product_code = "{1234}";
    v.publisher = "Acme Inc.";
    v.product_version = "2.1";
    v.programs_menu = "C:\\Start Menu\\Programs";
    v.startup_folder = "C:\\Start Menu\\Programs\\Startup";
    v.start_menu = "C:\\Start Menu";
    v.desktop_folder = "C:\\Desktop";
    return v;
}

TEST(ExpandVariables, TextWithoutBracketsIsReturnedAsIs) {
    PathValues v = SampleValues();
    v.install_dir = "E:\\Other\\";
    const std::string text = "C:\\Program Files\\Widget\\\\x [ProductName]";
    EXPECT_EQ(ExpandVariables(text, v), text);
    EXPECT_EQ(ExpandPageVariables(text, v), text);
}

TEST(ExpandVariables, FolderAndProductVariables) {
    PathValues v = SampleValues();
    EXPECT_EQ(ExpandVariables("<TempFolder>\\x", v), "C:\\TEMP\\x");
    EXPECT_EQ(ExpandVariables("<InstallDir>a|<Install Dir>b", v),
              "C:\\Program Files\\Widget\\a|C:\\Program Files\\Widget\\b");
    EXPECT_EQ(ExpandVariables("<ProgramFilesFolder>\\<ProductName> <ProductVersion>", v),
              "C:\\Program Files\\Widget 2.1");
    EXPECT_EQ(ExpandVariables("<WindowsVolume>|<WindowsFolder>|<SystemFolder>", v),
              "C:|C:\\WINDOWS|C:\\WINDOWS\\system32\\");
    EXPECT_EQ(ExpandVariables("<CurrentDrive>|<CurrentDirectory>|<ProductCode>|<Publisher>", v),
              "D:\\|D:\\setup\\|{1234}|Acme Inc.");
    EXPECT_EQ(ExpandVariables("<UserName>@<CompanyName>", v), "root@Acme");
    // Wrong case, unknown names and a lone bracket stay as they are.
    EXPECT_EQ(ExpandVariables("<installdir>|<USERNAME>|<Nope>|a>b", v),
              "<installdir>|<USERNAME>|<Nope>|a>b");
}

TEST(ExpandVariables, OrderOfReplacementLetsValuesExpandLater) {
    PathValues v = SampleValues();
    // The program files value names a variable replaced later; the product name one replaced
    // earlier, so it stays.
    v.program_files = "<ProductName>\\<TempFolder>";
    v.product_name = "<SystemFolder>";
    EXPECT_EQ(ExpandVariables("<ProgramFilesFolder>", v), "<SystemFolder>\\C:\\TEMP\\");
}

TEST(ExpandVariables, UserVariablesInTableOrder) {
    PathValues v = SampleValues();
    v.user_variables = {{"", "never"}, {"%APP%", "<InstallDir>"}, {"<Skin>", "%APP%blue"},
                        {"[Lang]", "en"}};
    // A value of an earlier user variable can be matched by a later one, but the folder
    // variables were replaced before any user variable.
    EXPECT_EQ(ExpandVariables("<Skin>|%APP%|[Lang]", v), "%APP%blue|<InstallDir>|en");
    EXPECT_EQ(ExpandVariables("%APP%<Skin>", v), "<InstallDir>%APP%blue");
}

TEST(ExpandVariables, BackslashPairsCollapseOnce) {
    PathValues v = SampleValues();
    EXPECT_EQ(ExpandVariables("<InstallDir>\\\\\\bin", v), "C:\\Program Files\\Widget\\\\bin");
    EXPECT_EQ(ExpandVariables("\\\\server\\share\\<ProductName>", v), "\\server\\share\\Widget");
}

TEST(ExpandVariables, DefaultInstallFolderIsRedirected) {
    PathValues v = SampleValues();
    v.install_dir = "E:\\Apps\\W\\";
    EXPECT_EQ(ExpandVariables("<ProductName>: C:\\Program Files\\Widget\\bin\\w.exe", v),
              "Widget: E:\\Apps\\W\\bin\\w.exe");
    EXPECT_EQ(ExpandVariables("<InstallDir>x;C:\\Program Files\\Widget", v),
              "E:\\Apps\\W\\x;E:\\Apps\\W");
    // Only texts that pass the bracket test are redirected.
    EXPECT_EQ(ExpandVariables("C:\\Program Files\\Widget\\bin", v), "C:\\Program Files\\Widget\\bin");
    // A chosen folder of exactly "\" leaves the default alone.
    v.install_dir = "\\";
    EXPECT_EQ(ExpandVariables("<ProductName> C:\\Program Files\\Widget\\x", v),
              "Widget C:\\Program Files\\Widget\\x");
    // The page side never redirects.
    v.install_dir = "E:\\Apps\\W\\";
    EXPECT_EQ(ExpandPageVariables("<ProductName> C:\\Program Files\\Widget\\x", v),
              "Widget C:\\Program Files\\Widget\\x");
}

TEST(ExpandVariables, RedirectLeavesTheChosenFolderIntact) {
    // The chosen folder starts with the default one: replacing inside it would give
    // "C:\Program Files\Widget 2 2\".
    PathValues v = SampleValues();
    v.install_dir = "C:\\Program Files\\Widget 2\\";
    EXPECT_EQ(ExpandVariables("<InstallDir>bin|C:\\Program Files\\Widget\\lib", v),
              "C:\\Program Files\\Widget 2\\bin|C:\\Program Files\\Widget 2\\lib");
    v.install_dir = "C:\\Program Files\\Widget\\Sub\\";
    EXPECT_EQ(ExpandVariables("<InstallDir>a.dll", v), "C:\\Program Files\\Widget\\Sub\\a.dll");
    v.default_install_dir.clear();
    EXPECT_EQ(ExpandVariables("<ProductName>", v), "Widget");
}

TEST(ExpandPageVariables, BracketFormsNeedAnAngleBracketToo) {
    PathValues v = SampleValues();
    EXPECT_EQ(ExpandPageVariables("[ProductName]", v), "[ProductName]");
    EXPECT_EQ(ExpandPageVariables("[ProductName] <ProductVersion>", v), "Widget 2.1");
    EXPECT_EQ(ExpandPageVariables("Hello <USERNAME>, [UserName]!", v), "Hello root, root!");
    // Brackets that are no variable still turn into angle brackets.
    EXPECT_EQ(ExpandPageVariables("[note] <ProductName>", v), "<note> Widget");
}

TEST(ExpandPageVariables, CurrentFolderComesBeforeInstallDir) {
    PathValues v = SampleValues();
    v.install_dir = "<CurrentDirectory>app\\";
    // The engine replaces the install folder first, so its value's variable is expanded too;
    // the page side replaces the current folder first, so it stays.
    EXPECT_EQ(ExpandVariables("<InstallDir>", v), "D:\\setup\\app\\");
    EXPECT_EQ(ExpandPageVariables("<InstallDir>", v), "<CurrentDirectory>app\\");
}

TEST(ExpandShellFolder, Locations) {
    PathValues v = SampleValues();
    EXPECT_EQ(ExpandShellFolder("Start Menu\\Programs Menu\\Widget", v),
              "C:\\Start Menu\\Programs\\Widget");
    EXPECT_EQ(ExpandShellFolder("Start Menu\\StartUp", v), "C:\\Start Menu\\Programs\\Startup");
    EXPECT_EQ(ExpandShellFolder("Start Menu\\Widget", v), "C:\\Start Menu\\Widget");
    EXPECT_EQ(ExpandShellFolder("Desktop", v), "C:\\Desktop");
    EXPECT_EQ(ExpandShellFolder("Favorites\\Links", v), "C:\\Fav\\Links");
    EXPECT_EQ(ExpandShellFolder("Active Desktop\\Widget", v),
              "C:\\AppData\\Microsoft\\Internet Explorer\\Quick Launch\\Widget");
    // The Start menu replacement is skipped once a Start menu sub-folder was handled.
    EXPECT_EQ(ExpandShellFolder("Start Menu\\Programs Menu\\Start Menu", v),
              "C:\\Start Menu\\Programs\\Start Menu");
    EXPECT_EQ(ExpandShellFolder("Desktop\\\\Tools", v), "C:\\Desktop\\Tools");
    EXPECT_EQ(ExpandShellFolder("C:\\Fixed", v), "C:\\Fixed");
}

} // namespace
} // namespace cv
