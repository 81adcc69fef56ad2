// A queue's PPD file and the options of a job, read with libcups: the options
// as CUPS hands them to a filter ("name=value name2='a b' flag"), and the PPD's
// options with the choices a job marks in it, as CUPS marks them (media, sides
// and the PPD's own option names).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

typedef struct ppd_file_s ppd_file_t;

namespace xlcups {

struct CupsOption {
    std::string name;
    std::string value;
};

// The options of a filter's fifth argument, in the order given.
std::vector<CupsOption> ParseCupsOptions(const std::string& text);

class PpdFile {
  public:
    // Fails with `error` naming the file and, for a damaged one, the line.
    static std::unique_ptr<PpdFile> Open(const std::string& path, std::string& error);
    ~PpdFile();
    PpdFile(const PpdFile&) = delete;
    PpdFile& operator=(const PpdFile&) = delete;

    bool HasOption(std::string_view option) const;
    // The option's choices, in the PPD's order (none for an option it lacks).
    std::vector<std::string> Choices(std::string_view option) const;
    // Compared without regard to case, as CUPS compares choices.
    bool HasChoice(std::string_view option, std::string_view choice) const;
    // Whether a media name (one entry of "media=") names one of the PPD's page
    // sizes (by its name, or a standard name of the same size), input slots or
    // media types.
    bool KnowsMedia(std::string_view media) const;

    // The PPD's page size of these dimensions (points, within one point), or nothing.
    std::optional<std::string> PageSizeOf(double width, double length) const;

    // Marks the PPD's defaults, then `options` as CUPS marks a job's options.
    void Mark(const std::vector<CupsOption>& options);
    std::optional<std::string> MarkedChoice(std::string_view option) const;

    // The value of a main keyword ("*Keyword: value"), or nothing.
    std::optional<std::string> Attribute(std::string_view keyword) const;

  private:
    explicit PpdFile(ppd_file_t* ppd) : ppd_(ppd) {}
    ppd_file_t* ppd_;
};

}  // namespace xlcups
