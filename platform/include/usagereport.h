// The usage-reporting component: it collects the values of one usage record (the
// device text "serial#model", the application name and the page total) and
// sends the record. Its own methods follow IDispatch's, in slots 7 to 11.
#pragma once

#include "oaidl.h"

inline constexpr CLSID CLSID_UsageReport = {
    0x877A5D52, 0x5F6F, 0x4175, {0x90, 0x7D, 0xA6, 0xAC, 0x4E, 0x8F, 0x11, 0x71}};
inline constexpr IID IID_IUsageReport = {
    0x079B9B31, 0x2097, 0x4DDF, {0x98, 0x34, 0xBD, 0x68, 0x9A, 0x75, 0x24, 0x14}};

// Item numbers of a usage record.
constexpr LONG USAGE_ITEM_DEVICE = 0;       // text "serial#model"
constexpr LONG USAGE_ITEM_PAGE_TOTAL = 1;   // number
constexpr LONG USAGE_ITEM_APPLICATION = 2;  // text

struct IUsageReport : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE SetDeviceText(LONG item, BSTR text) = 0;  // 7
    // Sends the record collected so far and starts a new one.
    virtual HRESULT STDMETHODCALLTYPE Send() = 0;  // 8
    // 1 when the record holds the device text, the application and the page total.
    virtual HRESULT STDMETHODCALLTYPE GetStatus(LONG* complete) = 0;                 // 9
    virtual HRESULT STDMETHODCALLTYPE SetApplicationText(LONG item, BSTR text) = 0;  // 10
    virtual HRESULT STDMETHODCALLTYPE SetCount(LONG item, LONG count) = 0;           // 11
};
