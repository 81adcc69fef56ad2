// Who prints: names recorded in the application's process, the groups and
// domain of the user, and the names a retained job is kept under.
#include "job/job_world.h"
#include "job/names/document_names.h"
#include "job/names/group_lists.h"
#include "job/names/logon_domain.h"
#include "job/names/name_recording.h"

namespace {

using xlplatform::TheWorld;

class NamesTest : public xltest::JobWorldTest {
  protected:
    // DevMode's recording step in a process running `program`.
    xlr::SettingsRecord Record(const std::u16string& program, xlr::SettingsRecord record = {}) {
        TheWorld().processImagePath = program;
        xlr::NameRecorder recorder;
        recorder.Record(record, device.devobj.hPrinter);
        return record;
    }

    const xlplatform::RegistryValue* AppName() {
        return xlplatform::FindPrinter(xltest::kPrinterName)
            ->FindData(xlplatform::kPrinterDriverData, u"AppName");
    }

    void AddGroups(const std::vector<std::pair<std::u16string, xlplatform::AccountKind>>& groups) {
        auto& key = TheWorld().currentUser.Create(
            u"Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy\\GroupMembership");
        key.values[u"Count"] = xlplatform::DwordValue(static_cast<DWORD>(groups.size()));
        for (size_t i = 0; i < groups.size(); ++i) {
            const std::u16string sid = u"S-1-5-21-9-9-9-" + std::u16string(1, u'1' + i);
            key.values[u"Group" + std::u16string(1, u'0' + i)] = xlplatform::StringValue(sid);
            TheWorld().accounts.push_back({sid, groups[i].first, u"CORP", groups[i].second});
        }
    }
};

TEST_F(NamesTest, TheApplicationsProcessRecordsItsNames) {
    TheWorld().userName = u"alice";
    TheWorld().userDomain = u"CORP";
    const std::u16string outlook = u"C:\\Program Files\\Office\\OUTLOOK.EXE";
    auto& version = TheWorld().fileVersions[outlook];
    version.translations = {{0x0407, 0x04B0}};
    version.strings[u"040704B0"][u"FileDescription"] = u"Mail";
    AddGroups({{u"Sales", xlplatform::AccountKind::Group},
               {u"alice-laptop", xlplatform::AccountKind::User},
               {u"Staff", xlplatform::AccountKind::Group}});

    const xlr::SettingsRecord record = Record(outlook);
    EXPECT_EQ(std::u16string(record.retentionUserName), u"ALICE");
    EXPECT_EQ(std::u16string(record.appUserName), u"alice");
    EXPECT_EQ(std::u16string(record.appDomain), u"CORP");
    EXPECT_EQ(std::string(record.appFileName), "OUTLOOK.EXE");
    EXPECT_EQ(std::u16string(record.appModulePath), outlook);
    EXPECT_EQ(std::u16string(record.appDescription), u"Mail");
    EXPECT_EQ(std::u16string(record.groupList1), u"Sales;Staff");
    EXPECT_EQ(record.appFlags, 0x40000000u);
    // Its name is remembered for the spooler, which completes the job's device
    // mode without an application of its own.
    ASSERT_NE(AppName(), nullptr);
    EXPECT_EQ(AppName()->bytes,
              std::vector<BYTE>({'O', 'U', 'T', 'L', 'O', 'O', 'K', '.', 'E', 'X', 'E', 0}));
    const xlr::SettingsRecord spooler = Record(u"C:\\Windows\\System32\\spoolsv.exe");
    EXPECT_EQ(std::string(spooler.appFileName), "OUTLOOK.EXE");
    EXPECT_EQ(spooler.appUserName[0], 0) << "the spooler's own user is not recorded";
    EXPECT_EQ(spooler.appFlags, 0x20004000u) << "the flags of the process itself";

    // An application the table does not mark leaves no name behind, and the
    // spooler does not overwrite the name a job brought with it.
    Record(u"C:\\Office\\WINWORD.EXE");
    EXPECT_EQ(AppName(), nullptr);
    xlr::SettingsRecord brought{};
    std::memcpy(brought.appFileName, "EXCEL.EXE", 9);
    EXPECT_EQ(std::string(Record(u"C:\\Windows\\System32\\spoolsv.exe", brought).appFileName),
              "EXCEL.EXE");
    // A name the user fixed stays.
    brought.userNameFixed = 1;
    std::copy_n(u"TYPED", 5, brought.retentionUserName);
    EXPECT_EQ(std::u16string(Record(u"C:\\Office\\WINWORD.EXE", brought).retentionUserName),
              u"TYPED");
}

TEST_F(NamesTest, GroupListsFillTheFirstFieldThenTheSecond) {
    const std::u16string name(30, u'g');
    std::vector<std::pair<DWORD, std::u16string>> groups;
    for (DWORD i = 0; i < 6; ++i) groups.emplace_back(i, name);
    const xlr::GroupLists lists = xlr::ArrangeGroupLists(groups);
    EXPECT_EQ(lists.first, name + u";" + name);  // 61 units; a third would pass 79
    EXPECT_EQ(lists.second, u";" + name + u";" + name);
    EXPECT_TRUE(xlr::ArrangeGroupLists({}).first.empty());
    // The registry's membership, groups only.
    AddGroups(
        {{u"Sales", xlplatform::AccountKind::User}, {u"Staff", xlplatform::AccountKind::Group}});
    EXPECT_EQ(xlr::ReadGroupLists().first, u";Staff");
}

TEST_F(NamesTest, LogonDomainByTheSystemsVersion) {
    TheWorld().userDomain = u"TOKENDOMAIN";
    auto& winlogon = TheWorld().localMachine.Create(
        u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon");
    winlogon.values[u"CachePrimaryDomain"] = xlplatform::StringValue(u"CACHED");
    EXPECT_EQ(xlr::LogonDomain(), u"TOKENDOMAIN");
    TheWorld().osVersion.major = 5;
    EXPECT_EQ(xlr::LogonDomain(), u"CACHED");
    winlogon.values[u"DefaultDomainName"] = xlplatform::StringValue(u"DEFAULT");
    EXPECT_EQ(xlr::LogonDomain(), u"DEFAULT");
}

TEST_F(NamesTest, RetentionJobNamesFromDocumentNames) {
    using xlr::CleaningRule;
    struct Case {
        const char16_t* document;
        const char16_t* expected;
    };
    const Case cases[] = {
        {u"Microsoft Word - Quarterly report.doc", u"Quarterly report"},
        {u"Microsoft Word - 1", u"1"},                // 18 units: the prefix goes
        {u"Word Pro - abcdef", u"Word Pro - abcde"},  // 17 units keep it
        {u"C:\\Users\\alice\\Documents\\plan.txt", u"plan.txt"},
        {u"https://example.org/a/b/page.html", u"page.html"},
        {u"\u00e9\u00e8\u00ea", u""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(xlr::JobNameFromDocument(c.document, CleaningRule::SevenBit), c.expected);
}

TEST_F(NamesTest, DateAndTimeNamesFollowTheShortDateFormat) {
    const SYSTEMTIME local = {2026, 3, 3, 4, 9, 5, 0, 0};
    EXPECT_EQ(xlr::DateTimeName(local, u"M/d/yyyy"), u"03/04/2026 09:05");
    EXPECT_EQ(xlr::DateTimeName(local, u"dd.MM.yyyy"), u"04/03/2026 09:05");
    EXPECT_EQ(xlr::DateTimeName(local, u"yyyy-MM-dd"), u"2026/03/04 09:05");
    EXPECT_EQ(xlr::DateTimeName(local, u"d/M/yy"), u"04/03/26 09:05");
}

TEST_F(NamesTest, NamingTheDocumentAtItsStart) {
    settings.retentionMode = 2;
    std::copy_n(u"J\u00d6RG", 4, settings.retentionUserName);
    SetDocumentName(u"Microsoft Word - Quarterly report.doc");
    xlr::NameDocument(&device.devobj, *state, settings);
    EXPECT_EQ(std::u16string(state->retentionUserName), u"J~RG");
    EXPECT_EQ(std::u16string(state->retentionJobName), u"Quarterly report");

    // A name that cleans to nothing: the submission's local date and time.
    SetDocumentName(u"\u65e5\u672c");
    xlr::NameDocument(&device.devobj, *state, settings);
    EXPECT_EQ(std::u16string(state->retentionJobName), u"03/04/2026 09:05");
    TheWorld().jobs.clear();
    xlr::NameDocument(&device.devobj, *state, settings);
    EXPECT_EQ(std::u16string(state->retentionJobName), u"UNTITLED");

    // Names the user typed are used as they are.
    settings.customNameInUse = 1;
    std::fill(std::begin(state->retentionJobName), std::end(state->retentionJobName), 0);
    xlr::NameDocument(&device.devobj, *state, settings);
    EXPECT_EQ(std::u16string(state->retentionUserName), u"J\u00d6RG");
    EXPECT_EQ(state->retentionJobName[0], 0);
    settings.retentionUserName[0] = 0;
    xlr::NameDocument(&device.devobj, *state, settings);
    EXPECT_EQ(std::u16string(state->retentionUserName), u"UNTITLED");
}

}  // namespace
