// The customer page's names, kept by the installation run so that removal finds them.
#include "engine/step_customer_info.h"
#include "system_steps_fixture.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

using test::Lines;
using test::SystemStepRun;

TEST(CustomerInfo, NamesLoggedInANewFileAndTheAuthorsKey) {
    SystemStepRun run;
    run.context.customer_entered = true;
    run.context.paths.user_name = "Ann";
    run.context.paths.company_name = "Acme";
    run.settings["DIALOGLIST/CT17"] = "HKEY_CURRENT_USER";
    run.settings["DIALOGLIST/CT18"] = "HKEY_CURRENT_USER\\Software\\<ProductName>\\UserInfo\\";
    run.context.paths.product_name = "Gadget";
    WriteCustomerInfo(run.Engine());
    EXPECT_EQ(run.log.Lines(), (Lines{"FILE=C:\\Windows\\userinfo.ini", "REGKEY=HKEY_CURRENT_USER\\Software\\Gadget\\UserInfo",
                                      "REGVAL=HKEY_CURRENT_USER\\Software\\Gadget\\UserInfo\\<UserName>",
                                      "REGVAL=HKEY_CURRENT_USER\\Software\\Gadget\\UserInfo\\<CompanyName>"}));
    EXPECT_EQ(run.target.IniEntry("C:\\Windows\\userinfo.ini", "USERINFO", "D1"), "Ann");
    EXPECT_EQ(run.target.IniEntry("C:\\Windows\\userinfo.ini", "USERINFO", "D2"), "Acme");
    EXPECT_EQ(run.TargetLines({"REG"}), (Lines{"REGKEY HKCU\\Software\\Gadget\\UserInfo",
                                             "REGSET HKCU\\Software\\Gadget\\UserInfo\\<UserName> type=1 Ann",
                                             "REGSET HKCU\\Software\\Gadget\\UserInfo\\<CompanyName> type=1 Acme"}));
    EXPECT_TRUE(run.prior.lines.empty());
}

TEST(CustomerInfo, AnExistingFileKeepsWhatItHeldAndAPageNotPassedWritesNothing) {
    SystemStepRun run;
    run.target.AddIniEntry("C:\\Windows\\userinfo.ini", "USERINFO", "D1", "Earlier");
    run.context.customer_entered = true;
    run.settings["DIALOGLIST/CT17"] = "HKEY_NOWHERE";
    run.settings["DIALOGLIST/CT18"] = "Software\\X";
    WriteCustomerInfo(run.Engine());
    EXPECT_EQ(run.prior.lines, (Lines{"INIFILE C:\\Windows\\userinfo.ini", "INIENTRY C:\\Windows\\userinfo.ini [USERINFO] D1=Earlier",
                                      "INIADDED C:\\Windows\\userinfo.ini [USERINFO] D2"}));
    EXPECT_EQ(run.log.Lines(), (Lines{"FILE=C:\\Windows\\userinfo.ini"})); // an unknown root writes no key
    ASSERT_EQ(run.progress.traces.size(), 1u);

    SystemStepRun skipped;
    WriteCustomerInfo(skipped.Engine());
    EXPECT_TRUE(skipped.log.Lines().empty());
    EXPECT_TRUE(skipped.target.lines.empty());
}

} // namespace
} // namespace cv
