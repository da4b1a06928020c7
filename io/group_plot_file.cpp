#include "group_plot_file.h"

#include <cstdlib>
#include <filesystem>

#include "atomic_file.h"
#include "core/number_text.h"
#include "core/station_columns.h"
#include "core/stations.h"
#include "core/text.h"
#include "narrow_text.h"

namespace sondara {
namespace {

constexpr char kLineEnd[] = "\r\n";

bool IsSelected(const SurveyStore& store, std::size_t i) {
    return i < store.m_holes.size() && i < store.m_holeParams.size() &&
           store.m_holes[i].name == store.m_holeParams[i].name;
}

// The file is written as text on the system it comes from: every LF, also one inside
// a name, becomes CR LF.
void AppendText(std::string& out, const std::string& text) {
    for (char c : text) {
        if (c == '\n')
            out += kLineEnd;
        else
            out += c;
    }
}

// A station line: these quantities (none depends on the declination) with six
// decimals each, then the mark.
constexpr StationQuantity kStationLineQuantities[] = {StationQuantity::Depth,  StationQuantity::LeftRight,
                                                      StationQuantity::UpDown, StationQuantity::East,
                                                      StationQuantity::North,  StationQuantity::Vertical};

void AppendStation(std::string& out, const ProbeRecord& r) {
    for (StationQuantity q : kStationLineQuantities) out += PaddedFixed(StationValue(q, r, 0.0f), 12, 6) + ' ';
    out += PaddedInt(r.mark, 6) + ' ';
    out += kLineEnd;
}

}  // namespace

std::string GroupPlotFilePath() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    std::string base;
    if (cache != nullptr && cache[0] == '/') {
        base = cache;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr && home[0] != '\0' ? home : "/tmp") + "/.cache";
    }
    return base + "/sondara/gpv.txt";
}

std::optional<std::string> GroupPlotFileBytes(const SurveyStore& store, const std::string& codeSet,
                                              std::string* unconvertibleName) {
    std::string out = std::to_string(store.m_holeParams.size()) + kLineEnd;
    for (std::size_t i = 0; i < std::min(store.m_holes.size(), store.m_holeParams.size()); ++i) {
        if (!IsSelected(store, i)) continue;
        const HoleSurvey& h = store.m_holes[i];
        const std::string name = Utf16ToUtf8(h.name);
        const std::optional<std::string> narrow = Utf8ToCodeSet(name, codeSet);
        if (!narrow) {
            if (unconvertibleName != nullptr) *unconvertibleName = name;
            return std::nullopt;
        }
        AppendText(out, *narrow);
        out += ' ' + std::to_string(CountStations(h.records)) + kLineEnd;
    }
    out += kLineEnd;
    for (std::size_t i = 0; i < std::min(store.m_holes.size(), store.m_holeParams.size()); ++i) {
        if (!IsSelected(store, i)) continue;
        for (const ProbeRecord& r : store.m_holes[i].records) {
            if (IsStation(r)) AppendStation(out, r);
        }
        out += kLineEnd;
    }
    return out;
}

FileResult WriteGroupPlotFile(const SurveyStore& store, const std::string& path) {
    FileResult result;
    if (store.m_holes.empty()) {
        result.Fail({FileProblemKind::NoHoles});
        return result;
    }
    const std::string codeSet = NarrowCodeSet();
    std::string badName;
    const std::optional<std::string> bytes = GroupPlotFileBytes(store, codeSet, &badName);
    if (!bytes) {
        result.Fail({FileProblemKind::NameNotInCodeSet, path, codeSet, badName});
        return result;
    }
    const std::string problem = WriteFileAtomically(path, *bytes);
    if (!problem.empty()) result.Fail({FileProblemKind::ExchangeFileFailed, path, problem});
    return result;
}

FileResult WriteGroupPlotFile(const SurveyStore& store) {
    const std::string path = GroupPlotFilePath();
    std::error_code ignored;  // a folder that cannot be made shows up as a failed write
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    return WriteGroupPlotFile(store, path);
}

}  // namespace sondara
