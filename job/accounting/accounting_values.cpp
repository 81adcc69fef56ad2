#include "job/accounting/accounting_values.h"

#include <rpc.h>

#include "job/accounting/host_names.h"
#include "job/driver/driver_files.h"
#include "job/names/logon_domain.h"
#include "job/pjl/text_cleaning.h"

namespace xlr {
namespace {

struct RpcText {
    RPC_CSTR text = nullptr;
    ~RpcText() {
        if (text != nullptr) RpcStringFreeA(&text);
    }
};

}  // namespace

WideString MachineNameWithoutBackslashes(WideStringView machine) {
    for (int i = 0; i < 2 && !machine.empty() && machine.front() == WSTR('\\'); ++i)
        machine.remove_prefix(1);
    return WideString(machine);
}

WideString AccountingDomain(WideStringView domain) {
    if (domain.size() > 2 && domain.substr(0, 2) == WSTR("\\\\")) domain.remove_prefix(2);
    if (std::optional<WideString> host = HostNameOfAddress(domain)) return *host;
    return WideString(domain);
}

std::optional<std::string> NewJobIdentifier() {
    UUID uuid{};
    if (UuidCreate(&uuid) != RPC_S_OK) return std::nullopt;
    RpcText text;
    if (UuidToStringA(&uuid, &text.text) != RPC_S_OK || text.text == nullptr) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(text.text));
}

std::optional<AccountingValues> MakeAccountingValues(PDEVOBJ device, const PluginDeviceState& state,
                                                     const SettingsRecord& settings,
                                                     const FeatureReader& features) {
    HANDLE printer = device->hPrinter;
    const std::optional<JobRecord> job = ReadJobRecord(printer, state.jobId);
    if (!job) return std::nullopt;
    const CleaningRule rule = CleaningRuleFor(static_cast<uint32_t>(state.pjlEncoding));

    WideString user(FieldText(settings.appUserName));
    if (user.empty()) user = job->userName;
    CleanForPjl(user, rule);
    if (user.empty()) user = UntitledName(printer);

    WideString domain(FieldText(settings.appDomain));
    if (domain.empty()) domain = LogonDomain();

    const std::optional<SYSTEMTIME> local = LocalSubmissionTime(*job);
    std::optional<std::string> jobId = NewJobIdentifier();
    std::optional<std::string> userText = ToCodePage(user, CP_UTF8);
    std::optional<std::string> machine =
        ToCodePage(MachineNameWithoutBackslashes(job->machineName), CP_ACP);
    std::optional<std::string> domainText = ToCodePage(AccountingDomain(domain), CP_ACP);
    std::optional<std::string> application =
        ToCodePage(FieldText(settings.appDescription), CP_UTF8);
    if (!local || !jobId || !userText || !machine || !domainText || !application)
        return std::nullopt;

    AccountingValues values;
    values.user = std::move(*userText);
    values.machine = std::move(*machine);
    values.domain = std::move(*domainText);
    values.time = AccountingTimeText(*local);
    values.jobId = std::move(*jobId);
    values.application = std::move(*application);
    const WideStringView path = FieldText(settings.appModulePath);
    if (const size_t slash = path.find_last_of(WSTR('\\')); slash != WideStringView::npos) {
        std::optional<std::string> file = ToCodePage(path.substr(slash + 1), CP_UTF8);
        if (!file) return std::nullopt;
        values.programFile = std::move(*file);
    }
    if (const auto display = features.Read(WSTR("KXAccountingTabDisplay"))) {
        if (SameText(*display, WSTR("KXAccountID"))) {
            std::optional<std::string> account = ToCodePage(FieldText(settings.accountId), CP_UTF8);
            if (!account) return std::nullopt;
            values.account = std::move(*account);
        }
    } else {
        values.account = values.user;
    }
    values.groups1 = FieldText(settings.groupList1);
    values.groups2 = FieldText(settings.groupList2);
    return values;
}

}  // namespace xlr
