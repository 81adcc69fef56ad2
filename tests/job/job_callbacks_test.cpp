// The job-control callbacks against a world with a printer, its driver and a
// spooler job: what each callback gathers and writes.
#include <rpc.h>

#include <regex>

#include "job/job_world.h"
#include "job/accounting/accounting_lines.h"
#include "settings/keyword_tables.h"

namespace {

using xltest::kDriverDirectory;

class JobCallbackTest : public xltest::JobWorldTest {};

constexpr char kComments[] =
    "@PJL COMMENT \"XL Printer (1.0.20.0); Windows 10 Pro 10.0.19045.1; Unidrv 10.0.19041.1\"\n"
    "@PJL COMMENT \"Username: alice; App Filename: Quarterly report.doc; 3-4-2026\"\n";

TEST_F(JobCallbackTest, JobHeaderWithoutAccountingHasOnlyTheComments) {
    state->jobAccounting = 0;
    state->pjlEncoding = xlr::kPjlUtf8;
    SetDocumentName(u"Report");
    EXPECT_EQ(Callback(1), kComments);

    // Any missing piece leaves both comment lines out.
    xlplatform::TheWorld().fileVersions.erase(std::u16string(kDriverDirectory) + u"UNIDRV.DLL");
    EXPECT_EQ(Callback(1), "");
}

TEST_F(JobCallbackTest, JobHeaderWithAccounting) {
    state->jobAccounting = xlr::kAccountingGroupName;
    state->pjlEncoding = xlr::kPjlUtf8;
    SetDocumentName(u"Plan \"B\"/2026");
    std::copy_n(u"CORP", 4, settings.appDomain);
    std::copy_n(u"Word processor", 14, settings.appDescription);
    std::copy_n(u"C:\\Office\\WINWORD.EXE", 21, settings.appModulePath);
    std::copy_n(u"Sales;Staff", 11, settings.groupList1);
    const std::string header = Callback(1);
    const std::string expected =
        "@PJL JOB NAME=\"Plan ~B~~2026\"\n"
        "@PJL SET STRINGCODESET=UTF8\n" +
        std::string(kComments) +
        "@PJL SET JOBATTR=\"JobAcct1=alice\"\n"
        "@PJL SET JOBATTR=\"JobAcct2=PC7\"\n"
        "@PJL SET JOBATTR=\"JobAcct3=CORP\"\n"
        "@PJL SET JOBATTR=\"JobAcct4=20260304090530\"\n"
        "@PJL SET JOBATTR=\"JobAcct5=<id>\"\n"
        "@PJL SET JOBATTR=\"JobAcct6=Word processor\"\n"
        "@PJL SET JOBATTR=\"JobAcct7=WINWORD.EXE\"\n"
        "@PJL SET JOBATTR=\"JobAcct8=alice\"\n"
        "@PJL SET JOBATTR=\"JobAcct9=\"\n"
        "@PJL SET GROUP1=\"Sales\"\n"
        "@PJL SET GROUP2=\"Staff\"\n";
    EXPECT_EQ(std::regex_replace(header, std::regex("[0-9a-f]{8}-[0-9a-f-]{27}"), "<id>"),
              expected);
    // The document name was cleaned in the state, for the lines that follow.
    EXPECT_EQ(std::u16string(state->documentName), u"Plan ~B~~2026");

    // Each job gets its own identifier.
    const std::string again = Callback(1);
    EXPECT_NE(header.substr(header.find("JobAcct5=")), again.substr(again.find("JobAcct5=")));

    // Without a job record there is nothing to account: the name line stays.
    xlplatform::TheWorld().jobs.clear();
    EXPECT_EQ(Callback(1), "@PJL JOB NAME=\"Plan ~B~~2026\"\n@PJL SET STRINGCODESET=UTF8\n");
}

TEST_F(JobCallbackTest, AccountingValuesFromTheirSources) {
    state->jobAccounting = xlr::kAccountingColorAuthorization;
    auto value = [&](int attribute) {
        const std::string header = Callback(1);
        const std::string key = "JobAcct" + std::to_string(attribute) + "=";
        const size_t at = header.find(key);
        return at == std::string::npos
                   ? std::string("(none)")
                   : header.substr(at + key.size(), header.find('"', at) - at - key.size());
    };
    // A user recorded in the application's process wins over the spooler's.
    std::copy_n(u"bob", 3, settings.appUserName);
    EXPECT_EQ(value(1), "bob");
    EXPECT_EQ(value(8), "bob") << "without KXAccountingTabDisplay, the user";
    device.helper.features["KXAccountingTabDisplay"] = "KXAccountID";
    std::copy_n(u"4711", 4, settings.accountId);
    EXPECT_EQ(value(8), "4711");
    device.helper.features["KXAccountingTabDisplay"] = "KXOther";
    EXPECT_EQ(value(8), "");
    EXPECT_EQ(value(7), "(none)") << "no program path, no JobAcct7";

    // The domain: a leading pair of backslashes goes, an address becomes its host.
    std::copy_n(u"\\\\127.0.0.1", 11, settings.appDomain);
    EXPECT_NE(value(3), "127.0.0.1");
    EXPECT_FALSE(value(3).empty());
    std::fill(std::begin(settings.appDomain), std::end(settings.appDomain), 0);
    xlplatform::TheWorld().userDomain = u"OFFICE";
    EXPECT_EQ(value(3), "OFFICE") << "the logon domain when none was recorded";

    // Client machine names lose their leading backslashes only.
    for (const auto& [machine, expected] :
         {std::pair{u"\\\\PC7", "PC7"}, {u"\\PC7", "PC7"}, {u"PC7", "PC7"}}) {
        xlplatform::TheWorld().jobs[xltest::kJobId].machineName = machine;
        EXPECT_EQ(value(2), expected);
    }

    // A user name that cleans to nothing: the driver's name for an unknown user.
    std::fill(std::begin(settings.appUserName), std::end(settings.appUserName), 0);
    xlplatform::TheWorld().jobs[xltest::kJobId].userName = u"\u00e9\u00e8";
    EXPECT_EQ(value(1), "UNTITLED");
    xlplatform::TheWorld().stringResources[std::u16string(kDriverDirectory) + u"XLRES.DLL"] = {
        {174, u"Unknown User"}};
    EXPECT_EQ(value(1), "Unknown User");
}

TEST_F(JobCallbackTest, NotificationFileForAClientsJob) {
    state->jobAccounting = xlr::kAccountingJobAccount;
    const std::string file = Root("Windows/System32/spool/drivers/x64/kxmssnp.job");
    WriteFile(file, "[PC7-10]\r\nuser=old\r\n");
    Callback(1);
    EXPECT_FALSE(ReadFile(file).find("[PC7-12]") != std::string::npos) << "not enabled";

    xlplatform::FindPrinter(xltest::kPrinterName)
        ->SetData(u"SSNPNotifyEventSetting", xlplatform::DwordValue(1));
    Callback(1);
    const std::string text = ReadFile(file);
    EXPECT_NE(text.find("[PC7-12]\r\nuser=alice\r\ndomain=XLHOST\r\nguid="), std::string::npos)
        << text;
    EXPECT_EQ(text.find("[PC7-10]"), std::string::npos) << "the job two back is done with";

    xlplatform::TheWorld()
        .localMachine.Create(u"SOFTWARE\\Corvane\\KX SSNP")
        .values[u"SSNPDisableAll"] = xlplatform::DwordValue(1);
    xlplatform::TheWorld().jobs[xltest::kJobId].machineName = u"\\\\PC8";
    Callback(1);
    EXPECT_EQ(ReadFile(file).find("[PC8-12]"), std::string::npos) << "switched off";
}

TEST_F(JobCallbackTest, RetentionBlockOncePerJobAndTheJobCounter) {
    settings.jobRetention = 1;
    settings.retentionMode = 3;
    std::copy_n(u"ALICE", 5, state->retentionUserName);
    std::copy_n(u"Report", 6, state->retentionJobName);
    EXPECT_EQ(Callback(4),
              "@PJL SET HOLD=ON\n@PJL SET HOLDTYPE=PUBLIC\n@PJL SET USERNAME=\"ALICE\"\n"
              "@PJL SET JOBNAME=\"Report\"\n");
    EXPECT_EQ(Callback(4), "") << "the second callback 4 of a job";
    state->retentionSent = 0;
    settings.jobRetention = 0;
    EXPECT_EQ(Callback(4), "") << "a printer without job storage";

    // Automatically numbered PostScript jobs count in the restricted user's store.
    settings.jobRetention = 1;
    settings.autoJobNaming = 1;
    settings.autoJobNumber = 3;
    settings.pdlIndex = 3;
    xlplatform::FindPrinter(xltest::kPrinterName)
        ->SetData(u"KXPresetRoot", u"KXRestrictedUserGuid", xlplatform::StringValue(u"{ABC}"));
    auto& store = xlplatform::TheWorld().currentUser.Create(u"Software\\Corvane\\{ABC}");
    for (const auto& [stored, next] : {std::pair{u"99", u"2"}, {u"5", u"6"}, {u"", u"1"}}) {
        store.values[u"iJobCount"] = xlplatform::StringValue(stored);
        state->retentionSent = 0;
        EXPECT_NE(Callback(4).find("JOBNAME=\"Report3\""), std::string::npos);
        EXPECT_EQ(store.values[u"iJobCount"].bytes, xlplatform::StringValue(next).bytes);
    }
    settings.duplicateFlag = 1;  // counted but not stored, and not numbered
    settings.duplicateSwitch = 1;
    settings.duplicateAction = 2;
    state->retentionSent = 0;
    EXPECT_EQ(Callback(4),
              "@PJL SET HOLD=ON\n@PJL SET HOLDTYPE=PUBLIC\n@PJL SET USERNAME=\"ALICE\"\n"
              "@PJL SET JOBNAME=\"Report\"\n@PJL SET DUPLICATEJOB = REPLACE\n");
    EXPECT_EQ(store.values[u"iJobCount"].bytes, xlplatform::StringValue(u"1").bytes);
}

TEST_F(JobCallbackTest, UserAndJobNameLines) {
    device.helper.features["KXJobByJobOverride"] = "JBJO";
    SetDocumentName(u"Caf\u00e9 menu");
    EXPECT_EQ(Callback(5), "@PJL SET USERNAME=\"alice\"\n@PJL SET JOBNAME=\"Caf~ menu\"\n");

    // With retention, the retention block names the job.
    settings.jobRetention = 1;
    settings.retentionMode = 2;
    EXPECT_EQ(Callback(5), "@PJL SET USERNAME=\"alice\"\n");
    settings.userNameOverride = 1;
    EXPECT_EQ(Callback(5), "") << "the retention block names the user as well";

    // The name from kxmnwun.ini replaces the spooler's.
    settings.userNameOverride = 0;
    WriteFile(Root("Windows/kxmnwun.ini"), "[NWUSERNAME]\r\nNWUSERNAME=netware.user\r\n");
    EXPECT_EQ(Callback(5), "@PJL SET USERNAME=\"netware.user\"\n");
    // Without a job record, the retention user name.
    xlplatform::TheWorld().jobs.clear();
    std::copy_n(u"ALICE", 5, state->retentionUserName);
    EXPECT_EQ(Callback(5), "@PJL SET USERNAME=\"ALICE\"\n");
    device.helper.features["KXJobByJobOverride"] = "NONE";
    EXPECT_EQ(Callback(5), "");
}

TEST_F(JobCallbackTest, UsageLine) {
    EXPECT_EQ(Callback(10), "") << "the printer does not ask for it";
    device.helper.features["KXSendPJLUsageCmd"] = "XL01";
    std::memcpy(settings.appFileName, "winword.exe", 11);
    settings.scalePercent = 100;
    // "PC7" and "WINWORD.EXE" hashed; default layout; Windows 10; a USB port;
    // no uninstall entry.
    EXPECT_EQ(Callback(10), "@PJL USAGE = XL01,f770,4051,00,,01,01\r\n");
    device.helper.features["KXSendPJLUsageCmd"] = "LNNAME_AB12";
    std::copy_n(u"ALICE", 5, settings.retentionUserName);
    xlplatform::TheWorld().localMachine.Create(
        u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\xlrender PCL XL");
    xlplatform::TheWorld().osVersion.major = 5;
    xlplatform::TheWorld().osVersion.minor = 1;
    EXPECT_EQ(Callback(10), "@PJL USAGE = AB12,8a0b,4051,00,20,01,02\r\n");
}

TEST_F(JobCallbackTest, OneLineCallbacks) {
    EXPECT_EQ(Callback(3), "");
    device.helper.features["KXBornOnDate"] = "KXBOD";
    EXPECT_EQ(Callback(3),
              "@PJL DMINFO ASCIIHEX=\"0400040101020D10100115"
              "3230323630333034303830353330\"\n")
        << "the submission time as the spooler reports it";

    EXPECT_EQ(Callback(8), "");
    state->mediaManualDuplex = 1;
    EXPECT_EQ(Callback(8), "@PJL SET MANUALDUPLEX=ON\n");

    EXPECT_EQ(Callback(14), "");
    state->speedMech = state->speedMechSimplex = 1;
    EXPECT_EQ(Callback(14), "@PJL SET MULTIPAGE=FALSE\n");

    EXPECT_EQ(Callback(16), "");
    device.helper.features["KXMediaWidthSensor"] = "True";
    device.devobj.pPublicDM->dmPaperWidth = 2970;
    EXPECT_EQ(Callback(16), "@PJL MEDIAWIDTHSENSOR=ON\n");

    settings.pagesPerSheet = 2;
    EXPECT_EQ(Callback(13), "@PJL SET CONTENTORIENTATION=LANDSCAPE\n");
    EXPECT_EQ(state->contentOrientation, 2);

    settings.outputMode = 3;
    settings.separatorPage = 1;
    EXPECT_EQ(Callback(32), "@PJL SET SEPARATORPAGE=ON\n");
    xlplatform::FindPrinter(xltest::kPrinterName)->portName = u"FILE:";
    EXPECT_EQ(Callback(32), "") << "no separator pages into a file";
    EXPECT_EQ(Callback(33), "");
}

}  // namespace
