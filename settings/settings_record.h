// The private device mode's settings record: 13,840 bytes that travel with every
// job, compressed into the packed block (packed_block.h). The user-interface side
// writes most of it; the plug-in reads the fields named here. Offsets are a stored
// format: never move a field.
#pragma once

#include <cstddef>
#include <cstdint>

#include <windows.h>

namespace xlr {

constexpr uint32_t kSettingsRecordSize = 13840;            // 0x3610
constexpr uint32_t kSettingsRecordSignature = 0x4B584544;  // "DEXK" in storage order
constexpr uint32_t kSettingsVersion = 0x00010014;

// The watermark of the sheet, as the user-interface side sets it.
struct WatermarkSettings {
    int32_t enabled;        // 1: watermarks are printed
    int32_t firstPageOnly;  // 1: only logical pages whose ordinal is 1 get one
    WCHAR text[256];
    WCHAR face[32];
    int32_t angle;      // degrees, used modulo 360
    int32_t size;       // points
    int32_t angleMode;  // 0 along the frame's diagonal; else the fixed angle
    int32_t shade;      // 0 to 8, shading pattern
    int32_t style;      // 0 regular, 1 bold, 2 italic, 3 bold italic
    int32_t color;      // colour index
    int32_t scale;      // percentage applied to the size
    int32_t scale2;     // replaces `scale` when both scale flags are set
    int32_t scaleFlag1;
    int32_t scaleFlag2;
    int32_t clipFlag1;  // clip-rectangle choices when the scale is 100 %
    int32_t clipFlag2;
    uint8_t reserved[8];
};
static_assert(sizeof(WatermarkSettings) == 640);

// One of the 30 stored blocks at 9,832: a 50-unit text and four words.
struct StoredTextBlock {
    WCHAR text[50];
    uint32_t words[4];
};
static_assert(sizeof(StoredTextBlock) == 116);

struct SettingsRecord {
    uint32_t size;       // 13,840 after every unpack
    uint32_t signature;  // kSettingsRecordSignature
    uint32_t version;    // kSettingsVersion
    // Leading settings, copied as a group.
    uint32_t printerCode;          // index in the printer-code table
    uint32_t colorModeIndex;       // index in the colour-mode table
    uint32_t pdlIndex;             // index in the PDL table
    uint32_t printProcessorClass;  // 1 family's own, 2 WINPRINT.DLL, 3 other
    uint32_t leading28;
    uint32_t leading32;
    uint32_t outputMode;  // 3 selects the full page path
    uint32_t leading40;
    uint32_t leading44;
    // Copies of the public device mode.
    int16_t orientation;
    int16_t duplex;
    int16_t scale;  // percent; handed to the image enhancement
    int16_t copies;
    int16_t collate;
    int16_t ttOption;
    int16_t color;
    uint16_t reserved62;
    uint32_t icmMethod;
    uint32_t icmIntent;
    WCHAR formName[16];  // first 16 units of the public form name
    uint32_t word104;
    int16_t paperSize;
    int16_t paperLength;
    int16_t paperWidth;
    uint16_t reserved114;
    uint32_t triple116[3];
    // Graphics group (128-239).
    uint32_t word128;
    uint32_t word132;
    uint32_t capabilityFlags;  // bit 0x80000 allows 8-bit grey, bit 0x1000 256 colours
    uint32_t capabilityFlags2;
    uint32_t monochrome;   // the colour-mode value: 1 prints in grey
    uint32_t monochrome2;  // the second colour value
    uint32_t rawSpoolingCapable;
    uint32_t graphics156[7];
    uint32_t noImageSender;  // non-zero: never send images as JPEG
    uint32_t graphics188[2];
    uint32_t word196;
    uint32_t word200;
    uint32_t word204;
    uint32_t word208;
    uint32_t graphics212[7];
    WatermarkSettings watermark;  // 240
    uint8_t reserved880[940];
    // Layout group (1,820-1,855).
    uint32_t word1820;
    uint32_t word1824;
    uint32_t word1828;
    uint32_t scalePercent;  // 1,832
    uint32_t word1836;
    uint32_t word1840;
    float layoutFloats[3];  // 1,844
    // Duplex and pages-per-sheet group (1,856-1,915).
    uint32_t bindingEdge;  // 0 long edge / left
    uint32_t rotate180;
    uint32_t simplexOnly;  // booklet-style layout printed on one side
    uint32_t word1868;
    uint32_t word1872;
    uint32_t word1876;
    uint32_t pagesPerSheet;  // choice: 1 → 1, 2 → 2, 3 → 4, 4 → 6, 5 → 9, 6 and 7 → 16
    uint32_t word1884;
    uint32_t word1888;
    uint32_t manualDuplex;
    uint32_t word1896;
    uint32_t word1900;
    uint32_t word1904;
    uint32_t word1908;
    uint32_t manualDuplexAvailable;
    // Job retention (1,916-3,075).
    uint32_t jobRetention;  // 1: the printer stores jobs
    uint32_t word1920;
    uint32_t pinRequired;
    uint32_t pin;
    WCHAR retentionUserName[257];  // at most 16 units, upper case
    WCHAR customJobName[257];
    uint32_t retentionMode;  // 0 off, 1 proof and hold, 2 private, 3 quick copy, 4 stored
    uint32_t word2964;
    uint32_t retention2968[11];
    uint32_t reserved3012;
    uint32_t retention3016[3];
    uint32_t userNameOverride;  // 3,028
    uint32_t retention3032[2];
    uint32_t userNameFixed;  // 3,040: non-zero keeps the retention user name
    uint32_t customNameInUse;
    uint32_t word3048;
    uint32_t duplicateFlag;
    uint32_t duplicateSwitch;
    uint32_t duplicateAction;  // 1 append, else replace
    uint32_t autoJobNaming;
    uint32_t autoJobNumber;
    uint32_t word3072;
    // Media and finishing (3,076-3,163).
    uint32_t firstPageSource;
    uint32_t firstPageMediaType;
    uint32_t word3084;
    uint32_t otherPagesSource;
    uint32_t otherPagesMediaType;  // 3,092
    uint32_t word3096;
    int32_t word3100;
    uint32_t media3104[2];
    uint32_t insertSource;     // 3,112
    uint32_t insertMediaType;  // 3,116
    uint32_t media3120[2];
    uint32_t maxResolution;  // 3,128: index in the resolution table
    uint32_t media3132[3];
    uint32_t word3144;
    uint32_t word3148;
    uint32_t media3152[3];
    uint8_t reserved3164[512];
    uint32_t word3676;
    uint32_t word3680;
    WCHAR finishingTexts[8][64];  // 3,684
    uint32_t paperRegion;         // 4,708: 0 letter sizes, 1 metric
    uint32_t word4712;
    uint32_t word4716;
    // Paper source group (4,720-5,599).
    uint32_t separatorPage;  // 4,720
    uint32_t word4724;
    uint32_t defaultSource;
    uint32_t mediaType;
    WCHAR sourceText[256];     // 4,736
    WCHAR sourceNames[5][35];  // 5,248
    uint16_t reserved5598;
    // Group 5,600-6,167.
    uint32_t word5600;
    WCHAR text5604[256];
    uint32_t word6116;
    uint32_t words6120[10];
    uint32_t word6160;
    uint32_t word6164;
    // User and application texts.
    WCHAR appDescription[32];  // 6,168
    WCHAR accountId[32];       // 6,232
    WCHAR text6296[32];
    WCHAR groupList1[80];  // 6,360
    WCHAR groupList2[80];  // 6,520
    uint8_t reserved6680[512];
    WCHAR text7192[82];
    uint8_t blocks7356[3][32];
    uint32_t ttAsBitmap;  // 7,452
    uint32_t word7456;
    char appFileName[15];  // 7,460, 8-bit
    uint8_t reserved7475;
    uint32_t words7476[25];
    uint32_t mediaPairs[4][2];  // 7,576: (source, media type) of page ranges
    uint32_t media7608[4];
    uint8_t reserved7624[8];
    uint32_t appFlags;  // 7,632
    uint32_t word7636;
    uint32_t word7640;
    WCHAR appModulePath[260];  // 7,644
    WCHAR appUserName[256];    // 8,164
    WCHAR appDomain[256];      // 8,676
    uint32_t word9188;
    uint16_t reserved9192;
    uint16_t word9194;
    uint8_t reserved9196[8];
    WCHAR text9204[256];
    uint8_t reserved9716[16];
    uint8_t tokens9732[3][16];
    uint8_t token9780[16];
    // Image shift (9,796-9,831).
    uint32_t imageShiftFront;
    uint32_t imageShiftBack;
    uint32_t imageShiftReduceToFit;
    uint32_t imageShift9808[2];
    float imageShiftFrontY;
    float imageShiftBackY;
    float imageShiftFrontX;
    float imageShiftBackX;
    StoredTextBlock storedBlocks[30];  // 9,832
    // Processing adjustment (13,312-13,323).
    uint32_t processingAdjustmentMode;
    float processingAdjustment1;
    float processingAdjustment2;
    uint32_t word13324;
    WCHAR deviceIdentity[256];  // 13,328: the record's last field
};

static_assert(sizeof(SettingsRecord) == kSettingsRecordSize);
static_assert(alignof(SettingsRecord) <= 4, "the record is read from any 4-aligned buffer");
#define XLR_AT(field, offset) static_assert(offsetof(SettingsRecord, field) == (offset), #field)
XLR_AT(printerCode, 12);
XLR_AT(colorModeIndex, 16);
XLR_AT(pdlIndex, 20);
XLR_AT(printProcessorClass, 24);
XLR_AT(outputMode, 36);
XLR_AT(orientation, 48);
XLR_AT(duplex, 50);
XLR_AT(scale, 52);
XLR_AT(copies, 54);
XLR_AT(color, 60);
XLR_AT(icmMethod, 64);
XLR_AT(formName, 72);
XLR_AT(word104, 104);
XLR_AT(paperSize, 108);
XLR_AT(paperWidth, 112);
XLR_AT(triple116, 116);
XLR_AT(word128, 128);
XLR_AT(word132, 132);
XLR_AT(noImageSender, 184);
XLR_AT(word196, 196);
XLR_AT(word208, 208);
XLR_AT(watermark, 240);
XLR_AT(word1820, 1820);
XLR_AT(scalePercent, 1832);
XLR_AT(layoutFloats, 1844);
XLR_AT(bindingEdge, 1856);
XLR_AT(word1876, 1876);
XLR_AT(pagesPerSheet, 1880);
XLR_AT(manualDuplex, 1892);
XLR_AT(word1904, 1904);
XLR_AT(manualDuplexAvailable, 1912);
XLR_AT(jobRetention, 1916);
XLR_AT(pinRequired, 1924);
XLR_AT(pin, 1928);
XLR_AT(retentionUserName, 1932);
XLR_AT(customJobName, 2446);
XLR_AT(retentionMode, 2960);
XLR_AT(word2964, 2964);
XLR_AT(retention2968, 2968);
XLR_AT(retention3016, 3016);
XLR_AT(userNameOverride, 3028);
XLR_AT(userNameFixed, 3040);
XLR_AT(customNameInUse, 3044);
XLR_AT(word3048, 3048);
XLR_AT(duplicateFlag, 3052);
XLR_AT(duplicateSwitch, 3056);
XLR_AT(duplicateAction, 3060);
XLR_AT(autoJobNaming, 3064);
XLR_AT(autoJobNumber, 3068);
XLR_AT(word3072, 3072);
XLR_AT(firstPageSource, 3076);
XLR_AT(firstPageMediaType, 3080);
XLR_AT(otherPagesSource, 3088);
XLR_AT(otherPagesMediaType, 3092);
XLR_AT(word3100, 3100);
XLR_AT(insertSource, 3112);
XLR_AT(insertMediaType, 3116);
XLR_AT(maxResolution, 3128);
XLR_AT(word3144, 3144);
XLR_AT(word3148, 3148);
XLR_AT(word3676, 3676);
XLR_AT(finishingTexts, 3684);
XLR_AT(paperRegion, 4708);
XLR_AT(word4712, 4712);
XLR_AT(separatorPage, 4720);
XLR_AT(defaultSource, 4728);
XLR_AT(mediaType, 4732);
XLR_AT(sourceText, 4736);
XLR_AT(sourceNames, 5248);
XLR_AT(word5600, 5600);
XLR_AT(text5604, 5604);
XLR_AT(word6116, 6116);
XLR_AT(words6120, 6120);
XLR_AT(word6160, 6160);
XLR_AT(word6164, 6164);
XLR_AT(appDescription, 6168);
XLR_AT(accountId, 6232);
XLR_AT(text6296, 6296);
XLR_AT(groupList1, 6360);
XLR_AT(groupList2, 6520);
XLR_AT(text7192, 7192);
XLR_AT(blocks7356, 7356);
XLR_AT(ttAsBitmap, 7452);
XLR_AT(word7456, 7456);
XLR_AT(appFileName, 7460);
XLR_AT(words7476, 7476);
XLR_AT(mediaPairs, 7576);
XLR_AT(appFlags, 7632);
XLR_AT(word7636, 7636);
XLR_AT(word7640, 7640);
XLR_AT(appModulePath, 7644);
XLR_AT(appUserName, 8164);
XLR_AT(appDomain, 8676);
XLR_AT(word9188, 9188);
XLR_AT(word9194, 9194);
XLR_AT(text9204, 9204);
XLR_AT(tokens9732, 9732);
XLR_AT(token9780, 9780);
XLR_AT(imageShiftFront, 9796);
XLR_AT(imageShiftBack, 9800);
XLR_AT(imageShiftReduceToFit, 9804);
XLR_AT(imageShiftFrontY, 9816);
XLR_AT(imageShiftBackY, 9820);
XLR_AT(imageShiftFrontX, 9824);
XLR_AT(imageShiftBackX, 9828);
XLR_AT(storedBlocks, 9832);
XLR_AT(processingAdjustmentMode, 13312);
XLR_AT(processingAdjustment1, 13316);
XLR_AT(processingAdjustment2, 13320);
XLR_AT(word13324, 13324);
XLR_AT(deviceIdentity, 13328);
#undef XLR_AT

}  // namespace xlr
