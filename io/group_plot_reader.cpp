#include "group_plot_reader.h"

#include <cerrno>
#include <charconv>
#include <cstring>

#include "input_file.h"
#include "narrow_text.h"

namespace sondara {
namespace {

// The file's lines, each without its CR LF or LF; a last line without an end counts.
class Lines {
public:
    explicit Lines(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    int number() const { return number_; }  // of the line Next() returned last

    std::string_view Next() {
        const std::size_t end = text_.find('\n', pos_);
        std::string_view line = text_.substr(pos_, end == std::string_view::npos ? std::string_view::npos : end - pos_);
        pos_ = end == std::string_view::npos ? text_.size() : end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ++number_;
        return line;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int number_ = 0;
};

bool IsBlank(std::string_view s) { return s.find_first_not_of(" \t") == std::string_view::npos; }

std::string_view Trim(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool ParseCount(std::string_view s, int& value) {
    s = Trim(s);
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return ec == std::errc() && end == s.data() + s.size() && value >= 0;
}

// Fields separated by blanks; from_chars reads numbers the same in every locale.
template <class T>
bool NextNumber(std::string_view& s, T& value) {
    s = s.substr(std::min(s.size(), s.find_first_not_of(" \t")));
    if (s.empty()) return false;
    if (s.front() == '+') s.remove_prefix(1);
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || (end != s.data() + s.size() && *end != ' ' && *end != '\t')) return false;
    s.remove_prefix(static_cast<std::size_t>(end - s.data()));
    return true;
}

bool ParseStation(std::string_view s, GroupPlotStation& st) {
    return NextNumber(s, st.depth) && NextNumber(s, st.dy) && NextNumber(s, st.dz) && NextNumber(s, st.x) &&
           NextNumber(s, st.y) && NextNumber(s, st.z) && NextNumber(s, st.mark) && IsBlank(s);
}

GroupPlotRead Fault(GroupPlotFault fault, int line) {
    GroupPlotRead r;
    r.fault = fault;
    r.line = line;
    return r;
}

}  // namespace

GroupPlotRead ParseGroupPlotText(std::string_view bytes, const std::string& codeSet) {
    Lines lines(bytes);
    GroupPlotRead read;
    int entries = 0;
    if (lines.AtEnd()) return Fault(GroupPlotFault::MissingLine, 1);
    if (!ParseCount(lines.Next(), entries)) return Fault(GroupPlotFault::BadEntryCount, lines.number());

    std::vector<int> counts;
    while (true) {
        if (lines.AtEnd()) return Fault(GroupPlotFault::MissingLine, lines.number() + 1);
        const std::string_view line = lines.Next();
        if (line.empty()) break;
        // The count follows the last space: everything before it is the name.
        const std::size_t space = line.rfind(' ');
        int count = 0;
        if (space == std::string_view::npos || !ParseCount(line.substr(space + 1), count))
            return Fault(GroupPlotFault::BadNameLine, lines.number());
        std::optional<std::string> name = CodeSetToUtf8(line.substr(0, space), codeSet);
        if (!name) return Fault(GroupPlotFault::BadEncoding, lines.number());
        read.holes.push_back({std::move(*name), {}});
        counts.push_back(count);
    }

    for (std::size_t h = 0; h < read.holes.size(); ++h) {
        for (int i = 0; i < counts[h]; ++i) {
            if (lines.AtEnd()) return Fault(GroupPlotFault::MissingLine, lines.number() + 1);
            GroupPlotStation st;
            if (!ParseStation(lines.Next(), st)) return Fault(GroupPlotFault::BadStationLine, lines.number());
            read.holes[h].stations.push_back(st);
        }
        if (lines.AtEnd()) return Fault(GroupPlotFault::MissingBlankLine, lines.number() + 1);
        if (!lines.Next().empty()) return Fault(GroupPlotFault::MissingBlankLine, lines.number());
    }
    while (!lines.AtEnd()) {
        if (!IsBlank(lines.Next())) return Fault(GroupPlotFault::TrailingText, lines.number());
    }
    return read;
}

GroupPlotRead ReadGroupPlotFile(const std::string& path) {
    std::uint64_t size = 0;
    std::string problem;
    InputFile file = OpenInputFile(path, size, problem);
    GroupPlotRead failed;
    failed.fault = GroupPlotFault::CannotRead;
    if (!file) {
        failed.detail = problem;
        return failed;
    }
    // An exchange file of a hundred holes of 2,000 stations is some 17 MB.
    constexpr std::uint64_t kLargest = std::uint64_t(1) << 30;
    if (size > kLargest) {
        failed.fault = GroupPlotFault::TooLarge;
        return failed;
    }
    std::string bytes(size, '\0');
    if (size > 0 && std::fread(bytes.data(), 1, size, file.get()) != size) {
        failed.detail = std::strerror(errno);
        return failed;
    }
    return ParseGroupPlotText(bytes, NarrowCodeSet());
}

}  // namespace sondara
