// The application that prints, as the plug-in sees it inside the
// application's process: its user, domain and groups, its program file and
// what the program's version resource calls it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "job/names/group_lists.h"
#include "settings/wide_text.h"

namespace xlr {

class CKXAppInfo {
  public:
    // Gathers everything once; false when the process's program file cannot
    // be named (then nothing of the application is known). A missing version
    // resource or group membership leaves those parts empty.
    bool Initialize();

    const WideString& UserName() const { return m_userName; }
    const WideString& Domain() const { return m_domain; }
    const WideString& ModulePath() const { return m_modulePath; }
    // The program's file name, 8-bit (UTF-8), as the settings record keeps it.
    const std::string& FileName() const { return m_fileName; }
    // The file name without its last extension, in upper case: the key of the
    // application table.
    const WideString& UpperBaseName() const { return m_upperBaseName; }
    const WideString& Description() const { return m_description; }
    const GroupLists& Groups() const { return m_groups; }
    // The application table's flags, looked up on first request and kept.
    uint32_t Flags();

  private:
    WideString m_userName;
    WideString m_domain;
    WideString m_modulePath;
    std::string m_fileName;
    WideString m_upperBaseName;
    WideString m_description;
    GroupLists m_groups;
    std::optional<uint32_t> m_flags;
};

// The upper-case base name of a file name: the part after the last "\" or
// "/", without its last extension.
WideString UpperBaseName(WideStringView fileName);

// The FileDescription of a file's version resource, in its first translation
// (or US English, Western European when it lists none); empty when absent.
WideString FileDescription(WideStringView path);

}  // namespace xlr
