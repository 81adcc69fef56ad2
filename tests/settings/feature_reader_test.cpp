// Reading features by name: the helper or the device's procedures, enumerated
// keywords, and the names that are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "settings/feature_reader.h"
#include "settings/keyword_tables.h"
#include "support/fake_unidrv.h"

namespace {

using xltest::FakeDevice;

TEST(FeatureReader, ReadsThroughTheHelperOrTheDeviceProcedures) {
    FakeDevice device;
    device.helper.features["JPEGEnable"] = "Maximum";
    const xlr::FeatureReader viaHelper(&device.devobj, &device.helper);
    const xlr::FeatureReader viaProcs(&device.devobj, nullptr);
    for (const xlr::FeatureReader* reader : {&viaHelper, &viaProcs}) {
        EXPECT_EQ(reader->Read(u"JPEGEnable"), std::u16string(u"Maximum"));
        EXPECT_TRUE(reader->Is(u"JPEGEnable", u"MAXIMUM"))
            << "options compare without regard to case";
        EXPECT_FALSE(reader->Is(u"JPEGEnable", u"Maximu"));
        EXPECT_FALSE(reader->Exists(u"NoSuchFeature"));
    }
}

TEST(FeatureReader, EmptyOptionMeansAbsentAndLongNamesAreRefused) {
    FakeDevice device;
    device.helper.features["Empty"] = "";
    const xlr::FeatureReader reader(&device.devobj, &device.helper);
    EXPECT_FALSE(reader.Exists(u"Empty"));
    const std::u16string longest(255, u'F');
    const std::u16string tooLong(256, u'F');
    device.helper.features[std::string(255, 'F')] = "Yes";
    device.helper.featureReads.clear();
    EXPECT_TRUE(reader.Exists(longest));
    EXPECT_FALSE(reader.Exists(tooLong));
    EXPECT_EQ(device.helper.featureReads.size(), 1u)
        << "a name over 255 units never reaches Unidrv";
    EXPECT_FALSE(xlr::FeatureReader(nullptr, &device.helper).Exists(u"Empty"));
}

TEST(FeatureReader, EnumeratedSettingsMatchExactly) {
    FakeDevice device;
    const xlr::FeatureReader reader(&device.devobj, &device.helper);
    struct Case {
        const char* option;  // null: feature absent
        uint32_t index;
        bool matched;
    };
    const Case cases[] = {
        {"INVALID_KXENCODING", 0, true},
        {"UTF8", 1, true},
        {"7bitEncoding", 2, true},
        {"8bitEncoding", 3, true},
        {"UTF8Subset", 4, true},
        {"utf8", 0, false},
        {"UTF8 ", 0, false},
        {"Unknown", 0, false},
        {nullptr, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option != nullptr ? c.option : "(absent)");
        if (c.option != nullptr)
            device.helper.features["KXPJLEncoding"] = c.option;
        else
            device.helper.features.erase("KXPJLEncoding");
        const auto setting =
            xlr::ReadEnumeratedSetting(reader, u"KXPJLEncoding", xlr::kPjlEncodingKeywords);
        EXPECT_EQ(setting.index, c.index);
        EXPECT_EQ(setting.matched, c.matched);
    }
    device.helper.features["KXPosterPrintingOption"] = "POSTER_2";
    EXPECT_EQ(
        xlr::ReadEnumeratedSetting(reader, u"KXPosterPrintingOption", xlr::kPosterSizeKeywords)
            .matched,
        true)
        << "the poster table has no invalid entry";
}

TEST(FeatureReader, AnUnpackedRecordIsPackedBackBeforeUnidrvIsAsked) {
    FakeDevice device;
    device.helper.features["A"] = "B";
    // A record left in place of the block, in a buffer large enough for it.
    auto record = std::make_unique<xlr::SettingsRecord>(device.Settings());
    record->pagesPerSheet = 3;
    device.devobj.pOEMDM = record.get();
    EXPECT_TRUE(xlr::FeatureReader(&device.devobj, &device.helper).Exists(u"A"));
    EXPECT_TRUE(xlr::IsPackedBlock(record.get()));
    xlr::UnpackedSettings again(record.get());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->pagesPerSheet, 3u);
}

}  // namespace
