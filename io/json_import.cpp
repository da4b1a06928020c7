#include "json_import.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>

#include "core/messages.h"
#include "core/ole_time.h"
#include "core/survey_pipeline.h"
#include "core/text.h"
#include "file_texts.h"
#include "input_file.h"
#include "post_load.h"

namespace sondara {
namespace {

using nlohmann::json;

// A document that parsed but does not hold a survey: the reason (in the library's
// words where the library found it) and where in the document.
struct StructureError {
    std::string reason;
    std::string where;
};

// Where a value sits: a member `key` of the element at `at`, or the element itself.
// The text is made only when something fails.
const std::string kTop;  // the document itself

struct Where {
    const std::string& at;
    const char* key = nullptr;
    std::string Text() const { return key != nullptr ? at + "/" + key : at; }
};

[[noreturn]] void Fail(std::string reason, const Where& where) {
    throw StructureError{std::move(reason), where.Text()};
}

// Lets the library reject a value that is no number with its own text.
[[noreturn]] void FailNotNumber(const json& v, const Where& where) {
    if (v.is_boolean()) Fail("type must be number, but is boolean", where);
    try {
        (void)v.get<double>();
    } catch (const json::exception& e) {
        Fail(e.what(), where);
    }
    Fail(std::string("type must be number, but is ") + v.type_name(), where);
}

[[noreturn]] void FailRange(const json& v, const char* target, const Where& where) {
    Fail("number " + v.dump() + " is out of range for " + target, where);
}

// A number truncated toward zero into [lo, hi], or a range error.
template <class Int>
Int ToInteger(const json& v, const char* target, const Where& where) {
    constexpr auto lo = std::numeric_limits<Int>::min();
    constexpr auto hi = std::numeric_limits<Int>::max();
    if (v.is_number_unsigned()) {
        const auto u = v.get<std::uint64_t>();
        if (u > static_cast<std::uint64_t>(hi)) FailRange(v, target, where);
        return static_cast<Int>(u);
    }
    if (v.is_number_integer()) {
        const auto i = v.get<std::int64_t>();
        if (i < std::int64_t{lo} || i > std::int64_t{hi}) FailRange(v, target, where);
        return static_cast<Int>(i);
    }
    if (v.is_number_float()) {
        // -2^63 and 2^63 bound int64 exactly in double; int32 bounds are exact too.
        const double t = std::trunc(v.get<double>());
        if (!(t >= static_cast<double>(lo) && t < -static_cast<double>(lo) && t <= static_cast<double>(hi))) {
            FailRange(v, target, where);
        }
        return static_cast<Int>(t);
    }
    FailNotNumber(v, where);
}

std::int32_t ToInt32(const json& v, const Where& where) {
    if (v.is_boolean()) return v.get<bool>() ? 1 : 0;
    return ToInteger<std::int32_t>(v, "int32", where);
}

double ToFloat64(const json& v, const Where& where) {
    if (!v.is_number()) FailNotNumber(v, where);
    return v.get<double>();
}

float NarrowToFloat32(double d, const json& v, const Where& where) {
    if (std::fabs(d) > std::numeric_limits<float>::max()) FailRange(v, "float32", where);
    return static_cast<float>(d);
}

float ToFloat32(const json& v, const Where& where) {
    if (v.is_boolean()) return v.get<bool>() ? 1.0f : 0.0f;
    return NarrowToFloat32(ToFloat64(v, where), v, where);
}

// Seconds since 1970 UTC as local time. The instruments count from 1970: an earlier
// count has no local time and gives an invalid time, as does one past the OLE range.
OleTime ToTime(const json& v, const Where& where) {
    const auto seconds = ToInteger<std::int64_t>(v, "int64", where);
    if (seconds < 0) return {0.0, kTimeInvalid};
    return OleTimeFromUnixSeconds(seconds);
}

const json& Member(const json& object, const char* key, const Where& where) {
    try {
        return object.at(key);
    } catch (const json::exception& e) {
        Fail(e.what(), where);
    }
}

// The elements of an optional array member: none when absent or null.
const json& ArrayMember(const json& object, const char* key, const Where& where) {
    static const json kNone = json::array();
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) return kNone;
    if (!it->is_array()) Fail(std::string("type must be array, but is ") + it->type_name(), Where{where.at, key});
    return *it;
}

ProbeRecord ProbeFrom(const json& e, const Where& where) {
    if (!e.is_object()) Fail(std::string("type must be object, but is ") + e.type_name(), where);
    const auto f32 = [&](const char* key) { return ToFloat32(Member(e, key, where), Where{where.at, key}); };
    ProbeRecord r;
    r.idx = ToInt32(Member(e, "idx", where), Where{where.at, "idx"});
    r.flag = ToInt32(Member(e, "flag", where), Where{where.at, "flag"});
    r.inc = f32("inc");
    r.azi = f32("azi");
    r.tmp = f32("tmp");
    r.GTF = f32("GTF");
    r.MTF = f32("MTF");
    r.DIP = f32("DIP");
    r.GT = f32("GT");
    r.MT = f32("MT");
    r.volt = f32("volt");
    r.depth = f32("depth");
    r.time = ToTime(Member(e, "time", where), Where{where.at, "time"});
    r.x = f32("x");
    r.y = f32("y");
    r.z = f32("z");
    r.dx = f32("dx");
    r.dy = f32("dy");
    r.dz = f32("dz");
    r.mark = kMarkNone;
    return r;
}

// "i" counts only as 0, 1 or 2 (integer or float of that value); anything else is no mark.
std::int32_t MarkFrom(const json& sample) {
    const auto it = sample.find("i");
    if (it == sample.end() || !it->is_number()) return kMarkNone;
    const double i = it->get<double>();
    return i == 1.0 ? kMarkCoal : i == 2.0 ? kMarkRock : kMarkNone;
}

SyncRecord SyncFrom(const json& e, std::int32_t n, std::int32_t k, const Where& where) {
    if (!e.is_object()) Fail(std::string("type must be object, but is ") + e.type_name(), where);
    SyncRecord s;
    s.idx = n;
    s.flag = kSampled | kStation;
    s.hole = k;
    s.time = ToTime(Member(e, "t", where), Where{where.at, "t"});
    s.mark = MarkFrom(e);
    return s;
}

HoleParams ParamsFrom(const json& e, const json& gi, double giValue, const Where& where) {
    const auto f32 = [&](const char* key) { return ToFloat32(Member(e, key, where), Where{where.at, key}); };
    HoleParams p;
    p.pbLen = f32("pbLen");
    p.dDip = f32("dDip");
    p.dPos = f32("dPos");
    p.x0 = f32("x0");
    p.y0 = f32("y0");
    p.z0 = f32("z0");
    p.e0 = f32("e0");
    p.n0 = f32("n0");
    p.d0 = f32("d0");
    p.gi = NarrowToFloat32(giValue, gi, Where{kTop, "gi"});
    const json& name = Member(e, "name", where);
    if (!name.is_string())
        Fail(std::string("type must be string, but is ") + name.type_name(), Where{where.at, "name"});
    p.name = Utf8ToUtf16(name.get_ref<const std::string&>());
    return p;
}

// Everything the document holds, or a StructureError.
SurveyStore SurveyFrom(const json& doc) {
    if (!doc.is_object()) Fail(std::string("type must be object, but is ") + doc.type_name(), Where{kTop});
    const json& gi = Member(doc, "gi", Where{kTop});
    const double giValue = ToFloat64(gi, Where{kTop, "gi"});

    SurveyStore parts;
    const json& probes = ArrayMember(doc, "probe", Where{kTop});
    parts.m_probeRecords.reserve(probes.size());
    for (std::size_t i = 0; i < probes.size(); ++i) {
        parts.m_probeRecords.push_back(ProbeFrom(probes[i], Where{"/probe/" + std::to_string(i)}));
    }
    const json& samplers = ArrayMember(doc, "sampler", Where{kTop});
    if (samplers.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        Fail("too many samplers", Where{kTop, "sampler"});
    }
    for (std::size_t k = 0; k < samplers.size(); ++k) {
        const std::string where = "/sampler/" + std::to_string(k);
        const json& sampler = samplers[k];
        if (!sampler.is_object()) Fail(std::string("type must be object, but is ") + sampler.type_name(), Where{where});
        const json& samples = ArrayMember(sampler, "samples", Where{where});
        for (std::size_t n = 0; n < samples.size(); ++n) {
            parts.m_syncRecords.push_back(SyncFrom(samples[n], static_cast<std::int32_t>(n),
                                                   static_cast<std::int32_t>(k),
                                                   Where{where + "/samples/" + std::to_string(n)}));
        }
        parts.m_holeParams.push_back(ParamsFrom(sampler, gi, giValue, Where{where}));
    }
    return parts;
}

// At most `limit` bytes, never ending inside a UTF-8 sequence.
std::string CutUtf8(std::string text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
    return text;
}

void ReportParseError(const char* reason, std::size_t position) {
    const int n = std::snprintf(nullptr, 0, kJsonParseFailedFormat, reason, position);
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(text.data(), text.size(), kJsonParseFailedFormat, reason, position);
    text.resize(static_cast<std::size_t>(n));
    ShowMessage(CutUtf8(std::move(text), 510), kErrorCaption, MessageIcon::Warning);
}

void ReportStructureError(const std::string& reason, const std::string& where) {
    ShowMessage(std::string(kJsonStructureText) + "\n\n原因：" + reason + "\n位置：" + (where.empty() ? "/" : where),
                kErrorCaption, MessageIcon::Warning);
}

template <class T>
void Append(std::vector<T>& to, std::vector<T>& from) {
    to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
}

}  // namespace

bool LoadJsonSurvey(SurveyStore& store, std::string_view text) {
    text = text.substr(0, std::min(text.size(), text.find('\0')));
    SurveyStore parts;
    try {
        parts = SurveyFrom(json::parse(text.begin(), text.end()));
    } catch (const json::parse_error& e) {
        ReportParseError(e.what(), e.byte);
        return false;
    } catch (const json::exception& e) {  // a number too large for a double, found while parsing
        ReportStructureError(e.what(), "");
        return false;
    } catch (const StructureError& e) {
        ReportStructureError(e.reason, e.where);
        return false;
    }
    Append(store.m_probeRecords, parts.m_probeRecords);
    Append(store.m_syncRecords, parts.m_syncRecords);
    Append(store.m_holeParams, parts.m_holeParams);
    ApplyParamsOnly(store);
    RebuildHolesIfNone(store);
    return true;
}

bool LoadJsonFile(SurveyStore& store, const std::string& path) {
    std::uint64_t size = 0;
    std::string problem;
    InputFile file = OpenInputFile(path, size, problem);
    std::string bytes;
    if (file) {
        char chunk[4096];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0;) bytes.append(chunk, n);
        if (std::ferror(file.get())) problem = std::strerror(errno);
    }
    if (!problem.empty()) {
        ShowMessage(std::string(kOpenFailedText) + "\n\n" + path + "\n" + problem, kAppCaption, MessageIcon::Warning);
        return false;
    }
    if (bytes.empty()) return true;
    return LoadJsonSurvey(store, bytes);
}

bool ImportJsonFile(SurveyStore& store, const std::string& path) {
    store.m_fileMode = kFileModeJson;
    store.ClearCollections();
    return LoadJsonFile(store, path);
}

}  // namespace sondara
