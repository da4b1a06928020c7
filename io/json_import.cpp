#include "json_import.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>

#include "core/ole_time.h"
#include "core/survey_pipeline.h"
#include "core/text.h"
#include "input_file.h"

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

[[noreturn]] void FailType(const char* wanted, const json& v, const Where& where) {
    Fail(std::string("type must be ") + wanted + ", but is " + v.type_name(), where);
}

// Lets the library reject a value that is no number with its own text.
[[noreturn]] void FailNotNumber(const json& v, const Where& where) {
    if (v.is_boolean()) Fail("type must be number, but is boolean", where);
    try {
        (void)v.get<double>();
    } catch (const json::exception& e) {
        Fail(e.what(), where);
    }
    FailType("number", v, where);
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

ProbeRecord ProbeFrom(const json& e, const Where& where) {
    if (!e.is_object()) FailType("object", e, where);
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
    if (!e.is_object()) FailType("object", e, where);
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
    if (!name.is_string()) FailType("string", name, Where{where.at, "name"});
    p.name = Utf8ToUtf16(name.get_ref<const std::string&>());
    return p;
}

// ---- Reading the document as a stream of events ----------------------------------
//
// Only the values the survey needs are kept: each element of "probe" and of a
// sampler's "samples" is gathered as a small object of its scalar members, turned
// into its record at its end, and dropped. A nested value where a scalar belongs is
// kept as an empty value of its type (enough for the type error), and its content is
// skipped. A member given twice counts as the last, as a parsed document has it.
// Problems are checked in the order a whole parsed document would meet them: the top
// level, "gi", the probe elements in order, then each sampler (its samples first,
// then its parameters); the first one found in that order is the one reported.

// One sampler: its scalar members, and the first problem of its samples.
struct SamplerPart {
    json members = json::object();
    std::optional<StructureError> problem;
};

class SurveyReader final : public nlohmann::json_sax<json> {
public:
    // The survey, or the problem a parsed document would have shown first.
    SurveyStore Finish() {
        if (topProblem_) throw *topProblem_;
        static const json kNoMembers = json::object();
        const json& gi = gi_ ? *gi_ : Member(kNoMembers, "gi", Where{kTop});
        const double giValue = ToFloat64(gi, Where{kTop, "gi"});
        if (probeProblem_) throw *probeProblem_;
        if (samplersProblem_) throw *samplersProblem_;
        if (samplers_.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
            Fail("too many samplers", Where{kTop, "sampler"});
        }
        parts_.m_holeParams.reserve(samplers_.size());
        for (std::size_t k = 0; k < samplers_.size(); ++k) {
            if (samplers_[k].problem) throw *samplers_[k].problem;
            parts_.m_holeParams.push_back(ParamsFrom(samplers_[k].members, gi, giValue, Where{SamplerPlace(k)}));
        }
        return std::move(parts_);
    }

    // Set when the text itself is not JSON: the parser's text and byte position.
    struct Syntax {
        std::string reason;
        std::size_t byte;
    };
    std::optional<Syntax> syntax;
    // A number too large for a double, which the library reports while parsing.
    std::optional<StructureError> overflow;

    bool null() override { return Scalar(json(nullptr)); }
    bool boolean(bool v) override { return Scalar(json(v)); }
    bool number_integer(number_integer_t v) override { return Scalar(json(v)); }
    bool number_unsigned(number_unsigned_t v) override { return Scalar(json(v)); }
    bool number_float(number_float_t v, const string_t&) override { return Scalar(json(v)); }
    bool string(string_t& v) override { return Scalar(json(std::move(v))); }
    bool binary(binary_t&) override { return Scalar(json::binary({})); }
    bool start_object(std::size_t) override { return Open(json::object()); }
    bool start_array(std::size_t) override { return Open(json::array()); }
    bool end_object() override { return Close(); }
    bool end_array() override { return Close(); }
    bool key(string_t& k) override {
        key_ = std::move(k);
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) override {
        if (const auto* p = dynamic_cast<const json::parse_error*>(&e))
            syntax = Syntax{p->what(), p->byte};
        else
            overflow = StructureError{e.what(), ""};
        return false;
    }

private:
    enum class Ctx { TopObject, Probes, Probe, Samplers, Sampler, Samples, Sample, Skip };
    struct Frame {
        Ctx ctx;
        std::size_t count = 0;  // elements seen, for arrays; nesting depth, for Skip
    };

    static std::string SamplerPlace(std::size_t k) { return "/sampler/" + std::to_string(k); }
    std::string ProbePlace() const { return "/probe/" + std::to_string(probeIndex_); }
    std::string SamplePlace() const {
        return SamplerPlace(samplers_.size() - 1) + "/samples/" + std::to_string(sampleIndex_);
    }
    SamplerPart& CurrentSampler() { return samplers_.back(); }

    // A value that arrives where the survey expects something: a scalar, or the
    // empty stand-in of an object or array about to be read.
    bool Scalar(json v) {
        Place(std::move(v), false);
        return true;
    }
    bool Open(json kind) {
        if (!stack_.empty() && stack_.back().ctx == Ctx::Skip) {
            ++stack_.back().count;
            return true;
        }
        Place(std::move(kind), true);
        return true;
    }
    bool Close() {
        Frame done = stack_.back();
        if (done.ctx == Ctx::Skip && done.count > 0) {
            --stack_.back().count;
            return true;
        }
        stack_.pop_back();
        if (done.ctx == Ctx::Probe)
            EndProbe();
        else if (done.ctx == Ctx::Sample)
            EndSample();
        return true;
    }
    void Skip() { stack_.push_back({Ctx::Skip}); }

    void Place(json v, bool opens) {
        if (stack_.empty()) return PlaceTop(std::move(v), opens);
        Frame& f = stack_.back();
        switch (f.ctx) {
            case Ctx::TopObject:
                return PlaceTopMember(std::move(v), opens);
            case Ctx::Probes:
                return PlaceProbe(std::move(v), opens);
            case Ctx::Samplers:
                return PlaceSampler(std::move(v), opens);
            case Ctx::Sampler:
                return PlaceSamplerMember(std::move(v), opens);
            case Ctx::Samples:
                return PlaceSample(std::move(v), opens);
            case Ctx::Probe:
            case Ctx::Sample:
                element_[key_] = std::move(v);
                if (opens) Skip();
                return;
            case Ctx::Skip:
                return;
        }
    }

    void PlaceTop(json v, bool opens) {
        if (v.is_object() && opens) {
            stack_.push_back({Ctx::TopObject});
            return;
        }
        topProblem_ = StructureError{std::string("type must be object, but is ") + v.type_name(), kTop};
        if (opens) Skip();
    }

    // An optional array member: none when null; the type error otherwise.
    bool ArrayOrNone(const json& v, bool opens, const Where& where, std::optional<StructureError>& problem) {
        if (v.is_array()) return true;
        if (!v.is_null() && !problem)
            problem = StructureError{std::string("type must be array, but is ") + v.type_name(), where.Text()};
        if (opens) Skip();
        return false;
    }

    void PlaceTopMember(json v, bool opens) {
        if (key_ == "gi") {
            gi_ = std::move(v);
            if (opens) Skip();
        } else if (key_ == "probe") {
            parts_.m_probeRecords.clear();
            probeProblem_.reset();
            probeIndex_ = 0;
            if (ArrayOrNone(v, opens, Where{kTop, "probe"}, probeProblem_)) stack_.push_back({Ctx::Probes});
        } else if (key_ == "sampler") {
            parts_.m_syncRecords.clear();
            samplers_.clear();
            samplersProblem_.reset();
            if (ArrayOrNone(v, opens, Where{kTop, "sampler"}, samplersProblem_)) stack_.push_back({Ctx::Samplers});
        } else if (opens) {
            Skip();
        }
    }

    void PlaceProbe(json v, bool opens) {
        probeIndex_ = stack_.back().count++;
        if (opens && v.is_object()) {
            element_ = json::object();
            stack_.push_back({Ctx::Probe});
            return;
        }
        Convert(probeProblem_, [&] { ProbeFrom(v, Where{ProbePlace()}); });
        if (opens) Skip();
    }

    void EndProbe() {
        if (probeProblem_) return;
        Convert(probeProblem_, [&] { parts_.m_probeRecords.push_back(ProbeFrom(element_, Where{ProbePlace()})); });
    }

    void PlaceSampler(json v, bool opens) {
        stack_.back().count++;
        samplers_.emplace_back();
        if (opens && v.is_object()) {
            stack_.push_back({Ctx::Sampler});
            return;
        }
        CurrentSampler().problem = StructureError{std::string("type must be object, but is ") + v.type_name(),
                                                  SamplerPlace(samplers_.size() - 1)};
        if (opens) Skip();
    }

    void PlaceSamplerMember(json v, bool opens) {
        if (key_ != "samples") {
            CurrentSampler().members[key_] = std::move(v);
            if (opens) Skip();
            return;
        }
        const std::string at = SamplerPlace(samplers_.size() - 1);
        if (ArrayOrNone(v, opens, Where{at, "samples"}, CurrentSampler().problem)) stack_.push_back({Ctx::Samples});
    }

    void PlaceSample(json v, bool opens) {
        sampleIndex_ = stack_.back().count++;
        if (opens && v.is_object()) {
            element_ = json::object();
            stack_.push_back({Ctx::Sample});
            return;
        }
        Convert(CurrentSampler().problem, [&] { SyncFrom(v, 0, 0, Where{SamplePlace()}); });
        if (opens) Skip();
    }

    void EndSample() {
        SamplerPart& s = CurrentSampler();
        if (s.problem) return;
        if (sampleIndex_ > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
            s.problem = StructureError{"too many samples", SamplePlace()};
            return;
        }
        Convert(s.problem, [&] {
            parts_.m_syncRecords.push_back(SyncFrom(element_, static_cast<std::int32_t>(sampleIndex_),
                                                    static_cast<std::int32_t>(samplers_.size() - 1),
                                                    Where{SamplePlace()}));
        });
    }

    // Runs one conversion; its problem is kept when it is the first of its kind.
    template <class F>
    static void Convert(std::optional<StructureError>& first, F convert) {
        try {
            convert();
        } catch (StructureError& e) {
            if (!first) first = std::move(e);
        }
    }

    std::vector<Frame> stack_;
    std::string key_;
    json element_;  // the probe or sample element being gathered
    std::optional<json> gi_;
    std::optional<StructureError> topProblem_;
    std::optional<StructureError> probeProblem_;
    std::optional<StructureError> samplersProblem_;
    std::size_t probeIndex_ = 0;
    std::size_t sampleIndex_ = 0;
    std::vector<SamplerPart> samplers_;
    SurveyStore parts_;
};

// Bytes read from an open file in chunks, ending at its end or at its first zero
// byte; read errors are remembered.
class ChunkedText {
public:
    explicit ChunkedText(std::FILE* file) : file_(file), buffer_(1 << 16) {}

    bool AtEnd() {
        if (pos_ == len_) Refill();
        return pos_ == len_;
    }
    const char& Current() const { return buffer_[pos_]; }
    void Next() { ++pos_; }
    bool failed() const { return failed_; }

private:
    void Refill() {
        pos_ = len_ = 0;
        if (done_) return;
        len_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
        if (len_ == 0) {
            done_ = true;
            failed_ = std::ferror(file_) != 0;
            return;
        }
        if (const void* zero = std::memchr(buffer_.data(), '\0', len_)) {
            len_ = static_cast<std::size_t>(static_cast<const char*>(zero) - buffer_.data());
            done_ = true;
        }
    }

    std::FILE* file_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    bool done_ = false;
    bool failed_ = false;
};

// An input iterator over ChunkedText, for the parser.
class ChunkIterator {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    ChunkIterator() = default;
    explicit ChunkIterator(ChunkedText* text) : text_(text) {}
    reference operator*() const { return text_->Current(); }
    ChunkIterator& operator++() {
        text_->Next();
        return *this;
    }
    bool operator==(const ChunkIterator& other) const { return AtEnd() == other.AtEnd(); }
    bool operator!=(const ChunkIterator& other) const { return !(*this == other); }

private:
    bool AtEnd() const { return text_ == nullptr || text_->AtEnd(); }
    ChunkedText* text_ = nullptr;
};

template <class T>
void Append(std::vector<T>& to, std::vector<T>& from) {
    if (to.empty())
        to = std::move(from);
    else
        to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
}

// The records and parameters of a good document join the store, which then holds a
// survey as after a download: parameters applied, holes rebuilt when there are none.
void AppendImportedSurvey(SurveyStore& store, SurveyStore parts) {
    Append(store.m_probeRecords, parts.m_probeRecords);
    Append(store.m_syncRecords, parts.m_syncRecords);
    Append(store.m_holeParams, parts.m_holeParams);
    Recompute(store, SurveyChange::Merged);
}

// Reads one document into `parts`, or says what is wrong with it.
template <class Iterator>
FileResult ReadJson(Iterator first, Iterator last, const std::string& file, SurveyStore& parts) {
    FileResult result;
    SurveyReader reader;
    json::sax_parse(first, last, &reader);
    try {
        if (reader.syntax) {
            result.Fail({FileProblemKind::JsonSyntax, file, reader.syntax->reason, {}, reader.syntax->byte});
            return result;
        }
        if (reader.overflow) throw *reader.overflow;
        parts = reader.Finish();
    } catch (const StructureError& e) {
        result.Fail({FileProblemKind::JsonStructure, file, e.reason, e.where});
    }
    return result;
}

}  // namespace

FileResult LoadJsonSurvey(SurveyStore& store, std::string_view text, const std::string& file) {
    text = text.substr(0, std::min(text.size(), text.find('\0')));
    SurveyStore parts;
    FileResult result = ReadJson(text.begin(), text.end(), file, parts);
    if (result) AppendImportedSurvey(store, std::move(parts));
    return result;
}

FileResult LoadJsonFile(SurveyStore& store, const std::string& path) {
    FileResult result;
    std::uint64_t size = 0;
    std::string problem;
    InputFile file = OpenInputFile(path, size, problem);
    if (!file) {
        result.Fail({FileProblemKind::CannotOpen, path, problem});
        return result;
    }
    if (size == 0) return result;
    ChunkedText text(file.get());
    SurveyStore parts;
    result = ReadJson(ChunkIterator(&text), ChunkIterator(), path, parts);
    if (text.failed()) {
        FileResult failed;
        failed.Fail({FileProblemKind::CannotOpen, path, std::strerror(EIO)});
        return failed;
    }
    if (result) AppendImportedSurvey(store, std::move(parts));
    return result;
}

FileResult ImportJsonFile(SurveyStore& store, const std::string& path) {
    store.ClearCollections();
    return LoadJsonFile(store, path);
}

}  // namespace sondara
