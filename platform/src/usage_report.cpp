// The usage-reporting component: collects the items of a usage record through
// its interface and, on Send, appends the record to the world's usage log.
#include "usage_report.h"

#include <oleauto.h>
#include <usagereport.h>
#include <xlplatform/world.h>

#include <new>

#include "dispatch_object.h"

namespace xlplatform {
namespace {

class UsageReport final : public DispatchObject<IUsageReport> {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IUsageReport) {
            *object = static_cast<IUsageReport*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT STDMETHODCALLTYPE SetDeviceText(LONG item, BSTR text) override {
        return SetText(item, text);
    }
    HRESULT STDMETHODCALLTYPE SetApplicationText(LONG item, BSTR text) override {
        return SetText(item, text);
    }
    HRESULT STDMETHODCALLTYPE SetCount(LONG item, LONG count) override {
        record_.counts[item] = count;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetStatus(LONG* complete) override {
        if (complete == nullptr) return E_POINTER;
        *complete = record_.texts.contains(USAGE_ITEM_DEVICE) &&
                            record_.texts.contains(USAGE_ITEM_APPLICATION) &&
                            record_.counts.contains(USAGE_ITEM_PAGE_TOTAL)
                        ? 1
                        : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Send() override {
        TheWorld().usageLog.push_back(std::move(record_));
        record_ = {};
        return S_OK;
    }

  private:
    HRESULT SetText(LONG item, BSTR text) {
        // A BSTR carries its length and may hold NUL characters.
        record_.texts[item] =
            text != nullptr ? std::u16string(text, SysStringLen(text)) : std::u16string();
        return S_OK;
    }

    UsageRecord record_;
};

void AppendQuoted(std::string& out, std::u16string_view text) {
    out += '"';
    for (char c : Utf16ToUtf8(text)) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    out += '"';
}

}  // namespace

HRESULT CreateUsageReport(REFIID iid, void** object) {
    auto* report = new (std::nothrow) UsageReport;
    if (report == nullptr) return E_OUTOFMEMORY;
    const HRESULT result = report->QueryInterface(iid, object);
    report->Release();
    return result;
}

std::string FormatUsageRecord(const UsageRecord& record) {
    struct ItemName {
        LONG item;
        const char* name;
    };
    static constexpr ItemName kNames[] = {
        {USAGE_ITEM_DEVICE, "device"},
        {USAGE_ITEM_PAGE_TOTAL, "pages"},
        {USAGE_ITEM_APPLICATION, "application"},
    };
    auto name = [](LONG item) {
        for (const ItemName& known : kNames)
            if (known.item == item) return std::string(known.name);
        return "item" + std::to_string(item);
    };
    std::string out;
    for (const auto& [item, text] : record.texts) {
        if (!out.empty()) out += ' ';
        out += name(item) + '=';
        AppendQuoted(out, text);
    }
    for (const auto& [item, count] : record.counts) {
        if (!out.empty()) out += ' ';
        out += name(item) + '=' + std::to_string(count);
    }
    return out;
}

}  // namespace xlplatform
