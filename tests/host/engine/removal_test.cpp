// The uninstall log read back, the prior-state file, the removal plan with its order and its
// never-remove rules, and the plan carried out on a fake machine.
#include "engine/prior_state_file.h"
#include "engine/removal_plan.h"
#include "engine/removal_run.h"
#include "engine/uninstall_log_reader.h"
#include "fake_machine.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

using test::FakeMachine;

std::vector<std::string> Describe(const RemovalPlan& plan) {
    std::vector<std::string> out;
    for (const RemovalStep& s : plan.steps)
        out.push_back(DescribeRemovalStep(s));
    return out;
}

// ------------------------------------------------------------------ the log read back

TEST(UninstallLogReader, ReadsEveryKeyOnceInOrder) {
    const UninstallLogContent log = ReadUninstallLog(
        "TOTALFILE=3\r\nDIR=C:\\Program Files\\Acme\r\nDIR=C:\\Program Files\\Acme\\bin\r\n"
        "DIR=c:\\program files\\acme\\\r\nFILE=C:\\Program Files\\Acme\\a.exe\r\n"
        "FILE=C:\\PROGRAM FILES\\ACME\\A.EXE\r\nRUN3RD=bye.exe\r\nRUN3RDCMD=/quiet\r\nREMOVEALL=Yes\r\n"
        "REGKEY=HKEY_CURRENT_USER\\Software\\Acme\r\nREGVAL=HKEY_CURRENT_USER\\Software\\Acme\\Version\r\n"
        "REMKEY=HKEY_CLASSES_ROOT\\.acme\r\nNTSERVICE=AcmeSvc\r\nSHORTCUT=C:\\Menu\\Acme.lnk\r\n");
    EXPECT_EQ(log.total_files, 3);
    EXPECT_EQ(log.folders, (std::vector<std::string>{"C:\\Program Files\\Acme", "C:\\Program Files\\Acme\\bin"}));
    EXPECT_EQ(log.files, std::vector<std::string>{"C:\\Program Files\\Acme\\a.exe"});
    EXPECT_EQ(log.uninstall_program, "bye.exe");
    EXPECT_EQ(log.uninstall_program_command, "/quiet");
    EXPECT_TRUE(log.remove_all);
    EXPECT_EQ(log.registry_keys, std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\Acme"});
    EXPECT_EQ(log.registry_values, std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\Acme\\Version"});
    EXPECT_EQ(log.class_keys, std::vector<std::string>{"HKEY_CLASSES_ROOT\\.acme"});
    EXPECT_EQ(log.services, std::vector<std::string>{"AcmeSvc"});
    EXPECT_EQ(log.shortcuts, std::vector<std::string>{"C:\\Menu\\Acme.lnk"});
    EXPECT_EQ(log.skipped_lines, 0);
    EXPECT_FALSE(log.cut_short);
}

TEST(UninstallLogReader, ToleratesWhatACrashOrAnotherToolLeaves) {
    using namespace std::string_literals;
    struct Case {
        std::string text;
        std::vector<std::string> files;
        int skipped;
        bool cut;
    } cases[] = {
        // The last line lost its end: the cut path might name another file, so it is left out.
        {"FILE=C:\\A\\one.txt\r\nFILE=C:\\A\\tw", {"C:\\A\\one.txt"}, 0, true},
        {"FILE=C:\\A\\one.txt\r\nFILE=C:\\A\\two.txt\r", {"C:\\A\\one.txt"}, 0, true},
        // Zeros a crash left at the end of the file, a line without "=", an unknown key.
        {"FILE=C:\\A\\one.txt\r\n\0\0\0\r\nGARBAGE\r\nNEWKEY=1\r\nFILE=C:\\A\\b\r\n"s, {"C:\\A\\one.txt", "C:\\A\\b"}, 3,
         false},
        // LF-only lines and blank lines are read as well.
        {"FILE=C:\\A\\x\n\nFILE=C:\\A\\y\n", {"C:\\A\\x", "C:\\A\\y"}, 0, false},
        {"", {}, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const UninstallLogContent log = ReadUninstallLog(c.text);
        EXPECT_EQ(log.files, c.files);
        EXPECT_EQ(log.skipped_lines, c.skipped);
        EXPECT_EQ(log.cut_short, c.cut);
    }
    EXPECT_EQ(ReadUninstallLog("TOTALFILE=12x\r\n").total_files, -1);
    EXPECT_EQ(ReadUninstallLog("DIR=C:\\A\r\n").total_files, -1);
}

// ------------------------------------------------------------------ the prior-state file

class MemorySink : public ILogSink {
  public:
    std::string text;
    bool Append(std::string_view line) override {
        text.append(line);
        return true;
    }
};

std::vector<PriorRecord> EveryKind() {
    std::vector<PriorRecord> r(9);
    r[0].kind = PriorKind::FileReplaced;
    r[0].path = "C:\\Windows\\system32\\shared.dll";
    r[0].backup = "C:\\Temp\\cv1\\backup\\0_shared.dll";
    r[1].kind = PriorKind::IniFileExisted;
    r[1].path = "C:\\Windows\\win.ini";
    r[1].earlier = true;
    r[2].kind = PriorKind::IniEntryReplaced;
    r[2].path = "C:\\Windows\\win.ini";
    r[2].section = "Acme";
    r[2].name = "Mode";
    r[2].data = "100% sure\tx";
    r[3].kind = PriorKind::IniEntryAdded;
    r[3].path = "C:\\Windows\\win.ini";
    r[3].section = "Acme";
    r[3].name = "New";
    r[4].kind = PriorKind::RegistryKeyExisted;
    r[4].root = RegRoot::CurrentUser;
    r[4].path = "Software\\Old";
    r[5].kind = PriorKind::RegistryValueReplaced;
    r[5].root = RegRoot::LocalMachine;
    r[5].path = "Software\\Old";
    r[5].name = "Bin";
    r[5].type = 3;
    r[5].data = std::string("\0\x01\r\n\x7f\xff%=", 8);
    r[6].kind = PriorKind::EnvironmentAppended;
    r[6].root = RegRoot::CurrentUser;
    r[6].path = "Environment";
    r[6].name = "PATH";
    r[6].data = "C:\\Acme\\bin";
    r[7].kind = PriorKind::SelfRegistered;
    r[7].path = "C:\\Acme\\server.dll";
    r[8].kind = PriorKind::RegistryKeyCreated;
    r[8].root = RegRoot::LocalMachine;
    r[8].path = "Software\\Acme";
    return r;
}

TEST(PriorStateFile, EveryKindReadsBackAsWritten) {
    std::string text;
    for (const PriorRecord& r : EveryKind())
        text += FormatPriorRecord(r);
    // One record per line, whatever bytes the values hold.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 9);
    const PriorStateContent read = ReadPriorState(text);
    EXPECT_EQ(read.records, EveryKind());
    EXPECT_EQ(read.skipped_lines, 0);
    EXPECT_FALSE(read.cut_short);
}

TEST(PriorStateFile, SkipsDamagedAndUnknownLines) {
    const std::string good = FormatPriorRecord(EveryKind()[0]);
    const char* bad[] = {
        "NEWKIND=M\tx\r\n",                                   // a kind of a later version
        "FILEREPLACED=M\tC:\\a\r\n",                          // a field missing
        "FILEREPLACED=M\tC:\\a\tb\tc\r\n",                    // a field too many
        "FILEREPLACED=X\tC:\\a\tb\r\n",                       // an unknown origin
        "FILEREPLACED=M\tC:\\a%G0\tb\r\n",                    // a bad escape
        "FILEREPLACED=M\tC:\\a%4\r\n",                        // an escape cut short
        "REGKEY=M\tHKEY_NOWHERE\tSoftware\r\n",               // an unknown root
        "REGVALUE=M\tHKEY_CURRENT_USER\tk\tn\t1x\tdata\r\n",  // a type that is no number
        "FILEREPLACED=M\t\tb\r\n",                            // no path
    };
    for (const char* line : bad) {
        SCOPED_TRACE(line);
        const PriorStateContent read = ReadPriorState(good + line + good);
        EXPECT_EQ(read.records.size(), 2u);
        EXPECT_EQ(read.skipped_lines, 1);
    }
    const PriorStateContent cut = ReadPriorState(good + good.substr(0, good.size() - 2));
    EXPECT_EQ(cut.records.size(), 1u);
    EXPECT_TRUE(cut.cut_short);
}

TEST(PriorStateRecorder, MarksWhatTheEarlierInstallationMadeAndCarriesItsRecords) {
    MemorySink sink;
    PriorStateRecorder recorder(sink);
    const UninstallLogContent earlier = ReadUninstallLog(
        "FILE=C:\\Acme\\a.exe\r\nREGKEY=HKEY_CURRENT_USER\\Software\\Acme\r\n"
        "REGVAL=HKEY_CURRENT_USER\\Software\\Acme\\Version\r\n");
    PriorRecord carried;
    carried.kind = PriorKind::IniFileExisted;
    carried.path = "C:\\Windows\\win.ini";
    recorder.StartFromEarlier(earlier, {carried});
    recorder.FileReplaced("c:\\acme\\A.EXE", "C:\\Temp\\b1");
    recorder.FileReplaced("C:\\Windows\\shared.dll", "C:\\Temp\\b2");
    recorder.RegistryKeyExisted(RegRoot::CurrentUser, "Software\\Acme");
    recorder.RegistryKeyExisted(RegRoot::LocalMachine, "Software\\Acme");
    recorder.RegistryValueReplaced(RegRoot::CurrentUser, "Software\\Acme", "Version", 1, "1.0");
    recorder.RegistryValueReplaced(RegRoot::CurrentUser, "Software\\Acme", "Other", 1, "x");

    const std::vector<PriorRecord> all = ReadPriorState(sink.text).records;
    ASSERT_EQ(all.size(), 7u);
    EXPECT_EQ(all[0], carried);
    EXPECT_EQ(recorder.this_run().size(), 6u);
    std::vector<bool> earlier_flags;
    for (const PriorRecord& r : recorder.this_run())
        earlier_flags.push_back(r.earlier);
    EXPECT_EQ(earlier_flags, (std::vector<bool>{true, false, true, false, true, false}));
}

// ------------------------------------------------------------------ the plan

const char* kFullLog =
    "TOTALFILE=4\r\n"
    "DIR=C:\\Program Files\\Acme\r\nDIR=C:\\Program Files\\Acme\\bin\r\nDIR=C:\\Program Files\\Acme\\bin\\deep\r\n"
    "DIR=C:\\Program Files\\Acme\\x\\y\\z\r\n"
    "DIR=C:\\Windows\\Fonts\r\n"
    "RUN3RD=bye.exe\r\nRUN3RDCMD=/q\r\n"
    "FILE=C:\\Program Files\\Acme\\bin\\a.exe\r\nFILE=C:\\Windows\\Fonts\\acme.ttf\r\n"
    "FILE=C:\\Program Files\\Acme\\\r\n"
    "DIR=C:\\Menu\\Acme\r\nSHORTCUT=C:\\Menu\\Acme\\Acme.lnk\r\nSHORTCUT=C:\\Desktop\\Acme.lnk\r\n"
    "FILE=C:\\Windows\\acme.ini\r\n"
    "REGKEY=HKEY_CURRENT_USER\\Software\\Acme\r\nREGKEY=HKEY_CURRENT_USER\\Software\\Acme\\Sub\r\n"
    "REGVAL=HKEY_CURRENT_USER\\Software\\Acme\\Sub\\Version\r\n"
    "REMKEY=HKEY_CLASSES_ROOT\\.acme\r\nREMKEY=HKEY_CLASSES_ROOT\\Acme.Doc\r\n"
    "REGVAL=HKEY_CURRENT_USER\\Environment\\ACME_HOME\r\n"
    "NTSERVICE=AcmeSvc\r\n";

RemovalInput FullInput() {
    RemovalInput in;
    in.log = ReadUninstallLog(kFullLog);
    in.log_folder = "C:\\Windows\\Installer\\ACME1\\";
    in.uninstall_key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ACME1";
    in.uninstall_execute = "C:\\Program Files\\Acme\\bye.exe";
    in.install_folder = "C:\\Program Files\\Acme";
    in.shared_uninstaller = "C:\\Windows\\cvexec.exe";
    in.protected_folders = {"C:\\Windows", "C:\\Windows\\Fonts", "C:\\Program Files", "C:\\Desktop"};
    return in;
}

TEST(RemovalPlan, RemovesInTheOrderThatLeavesNothingBehind) {
    const RemovalPlan plan = PlanRemoval(FullInput());
    EXPECT_EQ(Describe(plan), (std::vector<std::string>{
                                  "RUN \"C:\\Windows\\Installer\\ACME1\\bye.exe\" /q",
                                  "DELETE-SERVICE AcmeSvc",
                                  "REMOVE-SHORTCUT C:\\Menu\\Acme\\Acme.lnk",
                                  "REMOVE-SHORTCUT C:\\Desktop\\Acme.lnk",
                                  "REMOVE-FOLDER C:\\Menu\\Acme",
                                  "DELETE-CLASS HKEY_CLASSES_ROOT\\.acme",
                                  "DELETE-CLASS HKEY_CLASSES_ROOT\\Acme.Doc",
                                  "DELETE-VALUE HKEY_CURRENT_USER\\Software\\Acme\\Sub\\Version",
                                  "DELETE-KEY HKEY_CURRENT_USER\\Software\\Acme\\Sub",
                                  "DELETE-KEY HKEY_CURRENT_USER\\Software\\Acme",
                                  "DELETE-VALUE HKEY_CURRENT_USER\\Environment\\ACME_HOME",
                                  "NOTIFY-ENVIRONMENT",
                                  "REMOVE-FILE C:\\Program Files\\Acme\\bin\\a.exe",
                                  "REMOVE-FONT C:\\Windows\\Fonts\\acme.ttf",
                                  "DELETE-VALUE HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows "
                                  "NT\\CurrentVersion\\Fonts\\acme.ttf",
                                  "REMOVE-FILE C:\\Program Files\\Acme\\",
                                  "REMOVE-FILE C:\\Windows\\acme.ini",
                                  "REMOVE-FILE C:\\Program Files\\Acme\\bye.exe",
                                  "REMOVE-FOLDER C:\\Program Files\\Acme\\x\\y\\z",
                                  "REMOVE-FOLDER C:\\Program Files\\Acme\\x\\y",
                                  "REMOVE-FOLDER C:\\Program Files\\Acme\\bin\\deep",
                                  "REMOVE-FOLDER C:\\Program Files\\Acme\\x",
                                  "REMOVE-FOLDER C:\\Program Files\\Acme\\bin",
                                  "REMOVE-FOLDER C:\\Program Files\\Acme",
                                  "DELETE-ENTRY HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
                                  "Uninstall\\ACME1",
                                  "DELETE-LOG-FOLDER C:\\Windows\\Installer\\ACME1\\",
                                  "REMOVE-UNINSTALLER C:\\Windows\\cvexec.exe",
                              }));
    EXPECT_EQ(plan.refused, std::vector<std::string>{"DIR C:\\Windows\\Fonts: a protected folder"});
}

TEST(RemovalPlan, NeverRemovesWhatItMustNot) {
    struct Case {
        const char* line;
        const char* refused; ///< "" when the line is planned
    } cases[] = {
        {"FILE=readme.txt", "FILE readme.txt: not a full path below a drive or share"},
        {"FILE=C:\\", "FILE C:\\: not a full path below a drive or share"},
        {"DIR=C:", "DIR C:: not a full path below a drive or share"},
        {"DIR=C:\\Program Files\\Acme\\..\\..", "DIR C:\\Program Files\\Acme\\..\\..: not a full path below a drive or share"},
        {"DIR=\\\\server\\share", "DIR \\\\server\\share: not a full path below a drive or share"},
        {"DIR=\\\\server\\share\\Acme", ""},
        {"DIR=c:\\windows\\", "DIR c:\\windows\\: a protected folder"},
        {"DIR=C:\\Documents and Settings", "DIR C:\\Documents and Settings: a protected folder"},
        {"FILE=C:\\Documents and Settings\\me\\Desktop", "FILE C:\\Documents and Settings\\me\\Desktop: a protected folder"},
        {"DIR=C:\\Documents and Settings\\me\\Desktop\\Acme", ""},
        {"REGKEY=HKEY_LOCAL_MACHINE\\SOFTWARE", "REGKEY HKEY_LOCAL_MACHINE\\SOFTWARE: a root or system key"},
        {"REGKEY=HKEY_CURRENT_USER\\", "REGKEY HKEY_CURRENT_USER\\: a root or system key"},
        {"REGKEY=HKEY_LOCAL_MACHINE\\software\\microsoft\\windows\\currentversion\\run\\",
         "REGKEY HKEY_LOCAL_MACHINE\\software\\microsoft\\windows\\currentversion\\run\\: a root or system key"},
        {"REGKEY=HKEY_NOWHERE\\Software\\Acme", "REGKEY HKEY_NOWHERE\\Software\\Acme: not a registry key path"},
        {"REGVAL=HKEY_CURRENT_USER\\Version", "REGVAL HKEY_CURRENT_USER\\Version: not a registry value path"},
        {"REMKEY=HKEY_CLASSES_ROOT\\*", "REMKEY HKEY_CLASSES_ROOT\\*: a key of the shell"},
        {"REMKEY=HKEY_CLASSES_ROOT\\", "REMKEY HKEY_CLASSES_ROOT\\: a key of the shell"},
        {"REMKEY=HKEY_LOCAL_MACHINE\\Software", "REMKEY HKEY_LOCAL_MACHINE\\Software: not a key of HKEY_CLASSES_ROOT"},
        {"RUN3RD=..\\..\\cmd.exe", "RUN3RD ..\\..\\cmd.exe: no program in the log folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        RemovalInput in;
        in.log = ReadUninstallLog(std::string(c.line) + "\r\n");
        in.protected_folders = {"C:\\Windows", "C:\\Documents and Settings\\me\\Desktop"};
        const RemovalPlan plan = PlanRemoval(in);
        if (*c.refused) {
            EXPECT_EQ(plan.refused, std::vector<std::string>{c.refused});
            EXPECT_TRUE(plan.steps.empty());
        } else {
            EXPECT_TRUE(plan.refused.empty());
            EXPECT_EQ(plan.steps.size(), 1u);
        }
    }
}

TEST(RemovalPlan, TakesOnlyTheProductsPartOfWhatWasThereBefore) {
    RemovalInput in;
    in.log = ReadUninstallLog(
        "FILE=C:\\Windows\\shared.dll\r\nFILE=C:\\Acme\\own.dll\r\nFILE=C:\\Windows\\win.ini\r\n"
        "REGKEY=HKEY_CURRENT_USER\\Software\\Old\r\nREGVAL=HKEY_CURRENT_USER\\Software\\Old\\Mode\r\n"
        "REMKEY=HKEY_CLASSES_ROOT\\.txt\r\nREGVAL=HKEY_CURRENT_USER\\Environment\\PATH\r\n"
        "REGVAL=HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment\\TEMP2\r\n");
    auto record = [](PriorKind kind, const char* path, const char* name = "", const char* data = "",
                     RegRoot root = RegRoot::CurrentUser) {
        PriorRecord r;
        r.kind = kind;
        r.root = root;
        r.path = path;
        r.name = name;
        r.data = data;
        r.type = 1;
        return r;
    };
    in.prior = {record(PriorKind::FileReplaced, "c:\\windows\\SHARED.dll"),
                record(PriorKind::IniFileExisted, "C:\\Windows\\win.ini"),
                record(PriorKind::IniEntryAdded, "C:\\Windows\\win.ini", "Key"),
                record(PriorKind::IniEntryReplaced, "C:\\Windows\\win.ini", "Mode", "old"),
                record(PriorKind::RegistryKeyExisted, "Software\\Old"),
                record(PriorKind::RegistryValueReplaced, "Software\\Old", "Mode", "before"),
                // A later record of the same value does not count: the first knows the truth.
                record(PriorKind::RegistryValueReplaced, "Software\\Old", "Mode", "second"),
                record(PriorKind::RegistryKeyExisted, ".txt", "", "", RegRoot::ClassesRoot),
                record(PriorKind::EnvironmentAppended, "Environment", "PATH", "C:\\Acme"),
                record(PriorKind::RegistryValueReplaced,
                       "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment", "TEMP2", "T",
                       RegRoot::LocalMachine),
                // Made by the earlier installation of the same product: the product's, it goes.
                [&] {
                    PriorRecord r = record(PriorKind::FileReplaced, "C:\\Acme\\own.dll");
                    r.earlier = true;
                    return r;
                }()};
    in.prior[2].section = "Acme";
    in.prior[3].section = "Acme";
    EXPECT_EQ(Describe(PlanRemoval(in)),
              (std::vector<std::string>{
                  "RESTORE-VALUE HKEY_CURRENT_USER\\Software\\Old\\Mode=1:before",
                  "REMOVE-ENTRY HKEY_CURRENT_USER\\Environment\\PATH C:\\Acme",
                  "RESTORE-VALUE HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session "
                  "Manager\\Environment\\TEMP2=1:T",
                  "NOTIFY-ENVIRONMENT",
                  "DELETE-INI C:\\Windows\\win.ini [Acme] Key",
                  "RESTORE-INI C:\\Windows\\win.ini [Acme] Mode=old",
                  "REMOVE-FILE C:\\Acme\\own.dll",
              }));

    // A rollback puts the overwritten files back from their backups, the earlier
    // installation's included, and runs no uninstall-time program.
    in.rollback = true;
    in.log.uninstall_program = "bye.exe";
    in.prior[0].backup = "C:\\Temp\\cv1\\bk\\0";
    in.prior.back().backup = "C:\\Temp\\cv1\\bk\\1";
    const std::vector<std::string> rollback = Describe(PlanRemoval(in));
    EXPECT_EQ(std::vector<std::string>(rollback.end() - 2, rollback.end()),
              (std::vector<std::string>{"RESTORE-FILE C:\\Windows\\shared.dll <- C:\\Temp\\cv1\\bk\\0",
                                        "RESTORE-FILE C:\\Acme\\own.dll <- C:\\Temp\\cv1\\bk\\1"}));
    EXPECT_EQ(std::count_if(rollback.begin(), rollback.end(), [](const std::string& s) { return s.rfind("RUN", 0) == 0; }),
              0);
}

// A library the installation registered is unregistered, waited for, right before it goes;
// one that was there before (overwritten or kept) and one not logged keep their registration.
TEST(RemovalPlan, UnregistersTheLibrariesTheInstallationRegistered) {
    RemovalInput in;
    in.log = ReadUninstallLog("FILE=C:\\Acme\\a.dll\r\nFILE=C:\\Windows\\shared.dll\r\nFILE=C:\\Acme\\plain.dll\r\n");
    auto record = [](PriorKind kind, const char* path, bool earlier = false) {
        PriorRecord r;
        r.kind = kind;
        r.path = path;
        r.earlier = earlier;
        return r;
    };
    in.prior = {record(PriorKind::SelfRegistered, "c:\\acme\\A.DLL", true),
                record(PriorKind::SelfRegistered, "C:\\Windows\\shared.dll"),
                record(PriorKind::FileReplaced, "C:\\Windows\\shared.dll"),
                record(PriorKind::SelfRegistered, "C:\\Acme\\permanent.dll")};
    const std::vector<std::string> unregister_first = {"RUN regsvr32.exe /u /s \"C:\\Acme\\a.dll\"",
                                                       "REMOVE-FILE C:\\Acme\\a.dll",
                                                       "REMOVE-FILE C:\\Acme\\plain.dll"};
    EXPECT_EQ(Describe(PlanRemoval(in)), unregister_first);
    in.rollback = true; // a rollback undoes the registration too
    EXPECT_EQ(Describe(PlanRemoval(in)), unregister_first);

    // The record reads back as written.
    const PriorStateContent read = ReadPriorState(FormatPriorRecord(in.prior[1]));
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0], in.prior[1]);
}

TEST(RemovalPlan, AUrlIsOpenedAndAnAbsoluteProgramRunAsLogged) {
    RemovalInput in;
    in.log = ReadUninstallLog("RUN3RD=http://acme.example/bye\r\nRUN3RDCMD=\r\n");
    EXPECT_EQ(Describe(PlanRemoval(in)), std::vector<std::string>{"OPEN http://acme.example/bye"});
    in.log = ReadUninstallLog("RUN3RD=C:\\Acme\\bye.exe\r\nRUN3RDCMD=\r\n");
    EXPECT_EQ(Describe(PlanRemoval(in)), std::vector<std::string>{"RUN \"C:\\Acme\\bye.exe\""});
}

// ------------------------------------------------------------------ carried out

TEST(WithoutListEntry, TakesOutOnlyTheAppendedEntry) {
    struct Case {
        std::string value, entry;
        std::optional<std::string> result;
    } cases[] = {
        {std::string("C:\\a;C:\\b;C:\\Acme\0", 18), "C:\\Acme", std::string("C:\\a;C:\\b\0", 10)},
        {"C:\\a;c:\\ACME;C:\\b", "C:\\Acme", "C:\\a;C:\\b"},
        {"C:\\Acme;C:\\b", "C:\\Acme", "C:\\b"},
        {"C:\\Acme", "C:\\Acme", ""},
        {"C:\\Acme;C:\\b;C:\\Acme", "C:\\Acme", "C:\\Acme;C:\\b"}, // the user's own earlier copy stays
        {"C:\\a;;C:\\b;", "C:\\Acme", std::nullopt},
        {"C:\\Acme2;C:\\b", "C:\\Acme", std::nullopt},
        {"C:\\a", "", std::nullopt},
        {"", "C:\\Acme", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(WithoutListEntry(c.value, c.entry), c.result);
    }
}

// The host round trip: a machine, a product installed on it by hand as the steps would, the
// plan carried out, and the machine compared whole with the one before.
TEST(CarryOutRemoval, LeavesTheMachineAsItWasBefore) {
    FakeMachine machine;
    machine.AddFolder("C:\\Windows");
    machine.AddFolder("C:\\Windows\\Fonts");
    machine.AddFolder("C:\\Program Files");
    machine.AddFolder("C:\\Menu");
    machine.AddFolder("C:\\Desktop");
    machine.AddIni("C:\\Windows\\win.ini", "fonts", "x", "1");
    machine.AddIni("C:\\Windows\\win.ini", "Acme", "Mode", "old");
    machine.AddValue(RegRoot::CurrentUser, "Environment", "PATH", std::string("C:\\a;C:\\b\0", 10), 2);
    machine.AddValue(RegRoot::CurrentUser, "Software\\Old", "Mode", "before");
    machine.AddKey(RegRoot::ClassesRoot, ".txt");
    machine.AddValue(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", "Arial", "arial.ttf");
    machine.AddFile("C:\\Windows\\shared.dll", "shared");
    machine.AddKey(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    machine.AddFolder("C:\\Windows\\Installer");
    const std::vector<std::string> before = machine.Snapshot();

    // What the installation did.
    machine.AddFolder("C:\\Program Files\\Acme");
    machine.AddFolder("C:\\Program Files\\Acme\\bin");
    machine.AddFile("C:\\Program Files\\Acme\\bin\\a.exe", "a", true);
    machine.AddFile("C:\\Program Files\\Acme\\bye.exe");
    machine.AddFile("C:\\Windows\\Fonts\\acme.ttf");
    machine.AddValue(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", "acme.ttf", "acme.ttf");
    machine.AddFolder("C:\\Menu\\Acme");
    machine.AddFile("C:\\Menu\\Acme\\Acme.lnk");
    machine.AddFile("C:\\Desktop\\Acme.lnk");
    machine.AddFile("C:\\Windows\\acme.ini");
    machine.AddIni("C:\\Windows\\win.ini", "Acme", "Key", "v");
    machine.AddIni("C:\\Windows\\win.ini", "Acme", "Mode", "new");
    machine.AddValue(RegRoot::CurrentUser, "Software\\Acme\\Sub", "Version", "2");
    machine.AddValue(RegRoot::CurrentUser, "Software\\Old", "Mode", "mine");
    machine.AddValue(RegRoot::ClassesRoot, ".acme", "", "Acme.Doc");
    machine.AddValue(RegRoot::ClassesRoot, "Acme.Doc\\shell\\open\\command", "", "a.exe %1");
    machine.AddValue(RegRoot::CurrentUser, "Environment", "ACME_HOME", "C:\\Acme");
    machine.AddValue(RegRoot::CurrentUser, "Environment", "PATH", std::string("C:\\a;C:\\b;C:\\Acme\0", 18), 2);
    machine.AddService("AcmeSvc");
    machine.AddFile("C:\\Windows\\shared.dll", "shared"); // the same or a newer copy: it stays
    machine.AddValue(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ACME1",
                     "DisplayName", "Acme");
    machine.AddFolder("C:\\Windows\\Installer\\ACME1");
    machine.AddFile("C:\\Windows\\Installer\\ACME1\\uninstall.log");
    machine.AddFile("C:\\Windows\\Installer\\ACME1\\bye.exe");
    machine.AddFile("C:\\Windows\\cvexec.exe");
    machine.Lock("C:\\Windows\\cvexec.exe"); // it is running

    RemovalInput in = FullInput();
    in.log = ReadUninstallLog(std::string(kFullLog) +
                              "FILE=C:\\Windows\\win.ini\r\nFILE=C:\\Windows\\shared.dll\r\n"
                              "REGVAL=HKEY_CURRENT_USER\\Software\\Old\\Mode\r\n"
                              "REMKEY=HKEY_CLASSES_ROOT\\.txt\r\nREGVAL=HKEY_CURRENT_USER\\Environment\\PATH\r\n");
    in.prior = ReadPriorState("FILEREPLACED=M\tC:\\Windows\\shared.dll\t\r\nINIFILE=M\tC:\\Windows\\win.ini\r\n"
                              "INIADDED=M\tC:\\Windows\\win.ini\tAcme\tKey\r\n"
                              "INIREPLACED=M\tC:\\Windows\\win.ini\tAcme\tMode\told\r\n"
                              "REGVALUE=M\tHKEY_CURRENT_USER\tSoftware\\Old\tMode\t1\tbefore\r\n"
                              "REGKEY=M\tHKEY_CURRENT_USER\tSoftware\\Old\r\n"
                              "REGKEY=M\tHKEY_CLASSES_ROOT\t.txt\r\n"
                              "ENVAPPEND=M\tHKEY_CURRENT_USER\tEnvironment\tPATH\tC:\\Acme\r\n")
                   .records;
    const RemovalPlan plan = PlanRemoval(in);
    int progressed = 0;
    const RemovalReport report =
        CarryOutRemoval(plan, machine, [&](int position, int count, const RemovalStep&) {
            EXPECT_EQ(position, progressed++);
            EXPECT_EQ(count, static_cast<int>(plan.steps.size()));
        });
    EXPECT_EQ(report.failures, std::vector<std::string>{});
    EXPECT_EQ(report.kept, std::vector<std::string>{});

    std::vector<std::string> after = machine.Snapshot();
    // The running uninstaller goes at the next start of Windows.
    std::erase(after, "file C:\\WINDOWS\\CVEXEC.EXE = x");
    EXPECT_EQ(after, before);
    // The running uninstaller cannot go at once: it is marked for the next start.
    EXPECT_NE(std::find(machine.lines.begin(), machine.lines.end(), "DELETE-AT-RESTART C:\\Windows\\cvexec.exe"),
              machine.lines.end());
    EXPECT_NE(std::find(machine.lines.begin(), machine.lines.end(), "FONT-OFF C:\\Windows\\Fonts\\acme.ttf"),
              machine.lines.end());
}

TEST(CarryOutRemoval, ReportsWhatCouldNotBeRemovedAndKeepsFoldersWithOtherContent) {
    FakeMachine machine;
    machine.AddFolder("C:\\Acme");
    machine.AddFile("C:\\Acme\\a.exe");
    machine.AddFile("C:\\Acme\\user-notes.txt");
    machine.AddFile("C:\\Acme\\locked.dll");
    machine.Lock("C:\\Acme\\locked.dll");
    machine.AddService("AcmeSvc");
    machine.Lock("AcmeSvc");
    machine.AddValue(RegRoot::CurrentUser, "Software\\Acme", "Other", "kept");
    RemovalInput in;
    in.log = ReadUninstallLog("DIR=C:\\Acme\r\nFILE=C:\\Acme\\a.exe\r\nFILE=C:\\Acme\\locked.dll\r\n"
                              "FILE=C:\\Acme\\gone.txt\r\nFILE=C:\\Acme\r\nNTSERVICE=AcmeSvc\r\n"
                              "REGKEY=HKEY_CURRENT_USER\\Software\\Acme\r\n");
    const RemovalReport report = CarryOutRemoval(PlanRemoval(in), machine);
    EXPECT_EQ(report.failures,
              (std::vector<std::string>{"DELETE-SERVICE AcmeSvc", "REMOVE-FILE C:\\Acme\\locked.dll"}));
    EXPECT_EQ(report.kept, (std::vector<std::string>{"DELETE-KEY HKEY_CURRENT_USER\\Software\\Acme",
                                                     "REMOVE-FOLDER C:\\Acme"}));
    EXPECT_FALSE(machine.HasFile("C:\\Acme\\a.exe"));
    EXPECT_TRUE(machine.HasFile("C:\\Acme\\user-notes.txt"));
    EXPECT_TRUE(machine.HasFolder("C:\\Acme")); // "FILE=C:\Acme" removed nothing
    EXPECT_EQ(machine.Value(RegRoot::CurrentUser, "Software\\Acme", "Other"), "kept");
}

} // namespace
} // namespace cv
