#include "sim_stream.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>

#include "core/quality/still_periods.h"

namespace sondara::sim {

namespace {

constexpr std::int64_t kStart = 1709280000;  // 2024-03-01 08:00 UTC
constexpr double kHoleSpacing = 4 * 3600.0;  // one hole after the other, hours apart

// What the probe does over a stretch of time.
struct Segment {
    double from = 0, to = 0;
    bool still = false;
    int rod = -1;  // global rod number of a stop, or of the rod drilled next
    bool nearSteel = false;
};

class Stream {
public:
    explicit Stream(const StreamOptions& o) : o_(o), random_(o.seed) {}

    StreamSurvey Make() {
        StreamSurvey s;
        s.origin = LinearSeconds(OleTimeFromUnixSeconds(kStart));
        origin_ = s.origin;
        for (int h = 0; h < std::max(1, o_.holes); ++h) Hole(h, s);
        return s;
    }

private:
    double Uniform(double a, double b) { return std::uniform_real_distribution<double>(a, b)(random_); }
    double Noise(double sigma) { return std::normal_distribution<double>(0, sigma)(random_); }
    bool Listed(const std::vector<int>& rods, int k) const { return std::count(rods.begin(), rods.end(), k) > 0; }

    void Hole(int h, StreamSurvey& s) {
        std::vector<Segment> segments;
        double t = h * kHoleSpacing;
        segments.push_back({t, t + 60, false, h * o_.rodsPerHole});  // pushed in to the first stop
        t += 60;
        for (int r = 0; r < o_.rodsPerHole; ++r) {
            const int k = h * o_.rodsPerHole + r;
            const double still = Uniform(25, 50);
            StreamRod rod{h, r, t, t + still, 0, Inc(h, r), Azi(h, r)};
            // The key anywhere in the stop with a sample still to come after it.
            rod.key = t + Uniform(3, still - 3);
            s.rods.push_back(rod);
            if (!Listed(o_.missedKeys, k)) Key(h, r, rod.key, s);
            if (Listed(o_.extraKeys, k)) {
                const double again = rod.key + 6 <= rod.stillEnd - 3 ? rod.key + 6 : rod.key - 6;
                Key(h, r, again, s);
                std::sort(s.records.sync.end() - 2, s.records.sync.end(),
                          [](const SyncRecord& a, const SyncRecord& b) { return a.time.dt < b.time.dt; });
            }
            segments.push_back({t, t + still, true, k, k == o_.noisyStation});
            t += still;
            if (r + 1 < o_.rodsPerHole) {
                const double drill = Uniform(40, 110);
                segments.push_back({t, t + drill, false, k + 1});
                t += drill;
            }
        }
        // Pulled out: the probe stops as each rod comes off, with no key pressed.
        const int last = h * o_.rodsPerHole + o_.rodsPerHole - 1;
        for (int i = 0; i < 3; ++i) {
            segments.push_back({t, t + 30, false, last});
            segments.push_back({t + 30, t + 50, true, last});
            t += 50;
        }
        for (const Segment& seg : segments) Samples(seg, s);
    }

    float Inc(int h, int r) const { return static_cast<float>(2.0 + h + 0.05 * r + 0.3 * std::sin(r / 7.0)); }
    float Azi(int h, int r) const { return static_cast<float>(120.0 + 10.0 * h + 0.1 * r); }

    void Key(int h, int r, double trueTime, StreamSurvey& s) {
        SyncRecord key;
        key.idx = r;
        key.flag = kSampled | kStation;
        key.hole = h + 1;
        // The synchronizer keeps whole seconds: its clock shows the second that has begun.
        key.time = OleTimeFromLinearSeconds(origin_ + std::floor(trueTime));
        s.records.sync.push_back(key);
    }

    void Samples(const Segment& seg, StreamSurvey& s) {
        const int perHole = o_.rodsPerHole;
        const int h = seg.rod / perHole, r = seg.rod % perHole;
        // The probe samples on its own beat, not on the whole seconds of true time.
        constexpr double kPhase = 0.37;
        const double firstSample = std::ceil((seg.from - kPhase) / o_.sampleSeconds) * o_.sampleSeconds + kPhase;
        const double toolFace = Uniform(0, 360);
        for (double t = firstSample; t < seg.to; t += o_.sampleSeconds) {
            ProbeRecord p;
            p.idx = static_cast<int>(s.records.probe.size());
            p.tmp = 25.0f;
            p.volt = 3.6f;
            if (seg.still) {
                p.inc = static_cast<float>(Inc(h, r) + Noise(0.02));
                p.azi = static_cast<float>(Azi(h, r) + Noise(0.05));
                p.GTF = static_cast<float>(toolFace + Noise(0.1));
                p.GT = static_cast<float>(1.0 + Noise(0.0005) + (seg.nearSteel ? 0.06 : 0));
                p.MT = static_cast<float>(0.5 * (1 + Noise(0.0005)) * (seg.nearSteel ? 1.08 : 1));
                p.DIP = static_cast<float>(45.5 + Noise(0.03) + (seg.nearSteel ? 4 : 0));
            } else {
                // Between the stop before this rod and the stop after it, shaken and turning.
                const double along = (t - seg.from) / std::max(1.0, seg.to - seg.from);
                const double inc = Inc(h, std::max(0, r - 1)) * (1 - along) + Inc(h, r) * along;
                const double azi = Azi(h, std::max(0, r - 1)) * (1 - along) + Azi(h, r) * along;
                p.inc = static_cast<float>(inc + Noise(0.5));
                p.azi = static_cast<float>(azi + Noise(1.5));
                p.GTF = static_cast<float>(Uniform(0, 360));
                p.GT = static_cast<float>(1.0 + Noise(0.05));
                p.MT = static_cast<float>(0.5 * (1 + Noise(0.01)));
                p.DIP = static_cast<float>(45.5 + Noise(0.5));
            }
            p.time = OleTimeFromLinearSeconds(origin_ + std::floor(t + o_.clockOffsetSeconds));
            s.records.probe.push_back(p);
        }
    }

    const StreamOptions& o_;
    std::mt19937 random_;
    double origin_ = 0;
};

}  // namespace

StreamSurvey GenerateStreamSurvey(const StreamOptions& options) { return Stream(options).Make(); }

bool ParseStreamOption(const std::string& option, const std::function<std::string()>& value, StreamOptions& s,
                       std::string& error) {
    auto number = [&](double low, double& out) {
        const std::string v = value();
        char* end = nullptr;
        out = std::strtod(v.c_str(), &end);
        if (v.empty() || *end || !(out >= low)) error = "bad number for " + option + ": " + v;
    };
    double n = 0;
    if (option == "--stream") return true;
    if (option == "--clock-offset") {
        number(-1e9, s.clockOffsetSeconds);
        return true;
    }
    if (option == "--rods")
        number(1, n);
    else if (option == "--miss-key" || option == "--extra-key" || option == "--noisy-station" ||
             option == "--stream-seed")
        number(0, n);
    else
        return false;
    const int whole = static_cast<int>(n);
    if (option == "--rods")
        s.rodsPerHole = whole;
    else if (option == "--miss-key")
        s.missedKeys.push_back(whole);
    else if (option == "--extra-key")
        s.extraKeys.push_back(whole);
    else if (option == "--noisy-station")
        s.noisyStation = whole;
    else
        s.seed = static_cast<unsigned>(whole);
    return true;
}

}  // namespace sondara::sim
