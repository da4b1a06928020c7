#pragma once
// Reading the group-plot exchange file back (the format is described in
// group_plot_file.h): the holes by their name lines, then each hole's block of
// station lines. Names are split from the right, since a name may hold spaces;
// the text is in the code set the writer used, the locale's. A file that departs
// from the format is refused with the number of the first line that does.

#include <string>
#include <string_view>
#include <vector>

namespace sondara {

struct GroupPlotStation {
    float depth = 0, dy = 0, dz = 0;  // along, right of and above the design line
    float x = 0, y = 0, z = 0;        // east, north, vertical (upward)
    int mark = 0;
};

struct GroupPlotHole {
    std::string name;  // UTF-8
    std::vector<GroupPlotStation> stations;
};

enum class GroupPlotFault {
    None,
    CannotRead,        // the file could not be opened or read (`detail` says why)
    TooLarge,          // far larger than any exchange file
    BadEntryCount,     // line 1 is not a whole number
    BadNameLine,       // a name line lacks " <station count>"
    BadEncoding,       // a name is not text in the code set
    MissingLine,       // the file ends where a line is still due
    BadStationLine,    // not six numbers and a mark
    MissingBlankLine,  // a block does not end with an empty line
    TrailingText,      // text after the last block
};

struct GroupPlotRead {
    std::vector<GroupPlotHole> holes;
    GroupPlotFault fault = GroupPlotFault::None;
    int line = 0;        // 1-based line of the fault (0 for CannotRead, TooLarge)
    std::string detail;  // the system's reason for CannotRead
    bool ok() const { return fault == GroupPlotFault::None; }
};

// `bytes` is the whole file in `codeSet`; lines may end in CR LF or LF.
GroupPlotRead ParseGroupPlotText(std::string_view bytes, const std::string& codeSet);

// The file at `path`, in the locale's code set (NarrowCodeSet), as the writer wrote it.
GroupPlotRead ReadGroupPlotFile(const std::string& path);

}  // namespace sondara
