#include "job/names/application_table.h"

namespace xlr {
namespace {

struct KnownApplication {
    WideStringView name;  // upper-case base name
    uint32_t flags;
};

// Names are compared with the upper-case base name, character for character.
// Entries that only ever applied to particular versions of a program, or were
// written in lower case, could never match an upper-case name looked up
// without a version, and are left out.
constexpr KnownApplication kApplications[] = {
    {WSTR("QUARKXPRESS"), 0x00000020},
    {WSTR("PHOTOED"), 0x00000020},
    {WSTR("QW"), 0x00000020},
    {WSTR("QUARKXPRESS PASSPORT"), 0x00000020},
    {WSTR("EXCEL"), 0x80108000},
    {WSTR("PHOTOPNT"), 0x00001000},
    {WSTR("PHOTOSHP"), 0x200B0001},
    {WSTR("PHOTOSHOP"), 0x200B0001},
    {WSTR("POWERPNT"), 0x80001000},
    {WSTR("ACRORD32"), 0x00000200},
    {WSTR("ACROBAT"), 0x0E020000},
    {WSTR("ACAD"), 0x00000100},
    {WSTR("CORELDRW"), 0x0C030090},
    {WSTR("SPOOLSV"), 0x20004000},
    {WSTR("WINWORD"), 0x9C000200},
    {WSTR("MSPUB"), 0x80000000},
    {WSTR("MSACCESS"), 0x10000200},
    {WSTR("FREEHAND 8"), 0x00010018},
    {WSTR("FREEHAND 9"), 0x00010018},
    {WSTR("ILLUSTRA"), 0x00010021},
    {WSTR("MAPINFOW"), 0x00010000},
    {WSTR("OUTLOOK"), 0x40000000},
    {WSTR("PRDEVICECAPABILITIES"), 0x00040000},
};

}  // namespace

uint32_t ApplicationFlags(WideStringView upperBaseName) {
    for (const KnownApplication& application : kApplications)
        if (application.name == upperBaseName) return application.flags;
    return 0;
}

}  // namespace xlr
