#pragma once
// A probe stream as a real run gives it: the probe samples all the time, shaken and
// turned while a rod is drilled, standing still while the next rod is added, when the
// operator presses the synchronizer's rod key. Options put the clocks apart, leave out
// or repeat key presses and put one stop near steel, so that the quality checks have
// something to find.

#include <functional>
#include <string>
#include <vector>

#include "sim_survey.h"

namespace sondara::sim {

struct StreamOptions {
    int holes = 3;
    int rodsPerHole = 30;
    int sampleSeconds = 2;
    double clockOffsetSeconds = 0;  // probe clock minus synchronizer clock
    std::vector<int> missedKeys;    // rods (numbered over the whole run from 0) not recorded
    std::vector<int> extraKeys;     // rods whose key is pressed twice
    int noisyStation = -1;          // rod whose stop is near steel
    unsigned seed = 1;
};

// What really happened at one rod, in seconds of true time (the synchronizer's clock).
struct StreamRod {
    int hole = 0;  // 0-based; the synchronizer numbers it hole + 1
    int rod = 0;   // within the hole
    double stillStart = 0, stillEnd = 0, key = 0;
    float inc = 0, azi = 0;  // the hole's direction at this stop
};

struct StreamSurvey {
    SimSurvey records;
    std::vector<StreamRod> rods;
    double origin = 0;  // true time 0 as seconds on the linear scale of LinearSeconds
};

StreamSurvey GenerateStreamSurvey(const StreamOptions& options);

// One command-line option of the stream (--stream, --rods, --clock-offset, --miss-key,
// --extra-key, --noisy-station, --stream-seed); `value` takes the option's argument. False when
// `option` is none of them; `error` says what is wrong with its value.
bool ParseStreamOption(const std::string& option, const std::function<std::string()>& value, StreamOptions& s,
                       std::string& error);

}  // namespace sondara::sim
