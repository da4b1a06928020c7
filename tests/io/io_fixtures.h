#pragma once
// Small helpers for the file tests: a scratch folder and sample surveys.

#include <dirent.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/records.h"

namespace sondara::test {

// A fresh folder, removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir() {
        std::string templ = (std::filesystem::temp_directory_path() / "sondara-io-XXXXXX").string();
        path_ = ::mkdtemp(templ.data()) ? templ : std::string();
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

    // The names of the files in the folder, sorted.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path_)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string path_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline OleTime TimeAt(double seconds) { return {45352.0 + seconds / 86400.0, kTimeValid}; }

inline ProbeRecord ProbeAt(double seconds, float inc, float azi) {
    ProbeRecord r;
    r.idx = static_cast<int>(seconds);
    r.time = TimeAt(seconds);
    r.inc = inc;
    r.azi = azi;
    r.tmp = 21.5f;
    r.GT = 1.0f;
    r.MT = 0.5f;
    return r;
}

inline SyncRecord SyncAt(double seconds, int hole, int mark = kMarkNone) {
    SyncRecord s;
    s.idx = static_cast<int>(seconds);
    s.flag = kSampled | kStation;
    s.hole = hole;
    s.time = TimeAt(seconds);
    s.mark = mark;
    return s;
}

// A computed station as the exchange file reads it: depth, deviations, coordinates, mark.
inline ProbeRecord StationRow(float depth, float dy, float dz, float x, float y, float z, int mark,
                              int flag = kStation) {
    ProbeRecord r;
    r.flag = flag;
    r.depth = depth;
    r.dy = dy;
    r.dz = dz;
    r.x = x;
    r.y = y;
    r.z = z;
    r.mark = mark;
    return r;
}

inline HoleParams ParamsNamed(std::u16string name, float gi = 2.0f) {
    HoleParams p;
    p.name = std::move(name);
    p.pbLen = 1.5f;
    p.x0 = 1.0f;
    p.e0 = 100.0f;
    p.n0 = 200.0f;
    p.gi = gi;
    p.dPos = 92.0f;
    p.dDip = 10.0f;
    return p;
}

// Raw records of two holes (hole numbers 0 and 1), each sample 5 s after its
// synchronizer record, and parameters for both; no holes assembled yet.
inline SurveyStore RawTwoHoleSurvey() {
    SurveyStore s;
    for (int i = 0; i < 6; ++i) {
        const int hole = i < 3 ? 0 : 1;
        s.m_syncRecords.push_back(SyncAt(100.0 * i, hole, i == 1 ? kMarkCoal : kMarkNone));
        s.m_probeRecords.push_back(ProbeAt(100.0 * i + 5, 10.0f + i, 95.0f + i));
    }
    s.m_holeParams = {ParamsNamed(u"K1"), ParamsNamed(u"孔2")};
    return s;
}

// Runs `write` with files limited to `bytes`, so a write fails half way even for root,
// who ignores permissions. Returns what `write` returned.
template <class Write>
bool WithFileSizeLimit(rlim_t bytes, Write write) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
    const bool result = write();
    setrlimit(RLIMIT_FSIZE, &saved);
    return result;
}

}  // namespace sondara::test
