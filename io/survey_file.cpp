#include "survey_file.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>
#include <memory>

#include "atomic_file.h"
#include "core/messages.h"
#include "core/survey_pipeline.h"
#include "file_texts.h"
#include "input_file.h"
#include "post_load.h"

namespace sondara {
namespace {

// Records are written and read as their in-memory images.
static_assert(std::endian::native == std::endian::little);
static_assert(std::is_trivially_copyable_v<ProbeRecord> && std::is_trivially_copyable_v<SyncRecord>);

constexpr std::size_t kMagicSize = 8;
constexpr std::size_t kParamNumbersSize = 40;
constexpr std::size_t kMinHoleBlockSize = 4 + kParamBlockSize;

// ---- Writing --------------------------------------------------------------------

struct StringOut {
    std::string& bytes;
    void Put(const void* p, std::size_t n) { bytes.append(static_cast<const char*>(p), n); }
};

struct FileOut {
    std::FILE* file;
    bool ok = true;
    void Put(const void* p, std::size_t n) {
        if (ok && n != 0 && std::fwrite(p, 1, n, file) != n) ok = false;
    }
};

template <class Out>
void PutCount(Out& out, std::size_t n) {
    const auto count = static_cast<std::uint32_t>(n);
    out.Put(&count, 4);
}

template <class Out>
void PutParams(Out& out, const HoleParams& p) {
    const float numbers[10] = {p.pbLen, p.e0, p.n0, p.d0, p.x0, p.y0, p.z0, p.gi, p.dPos, p.dDip};
    out.Put(numbers, sizeof numbers);
    char16_t name[kNameUnits] = {};
    std::copy_n(p.name.begin(), std::min(p.name.size(), kNameUnits), name);
    out.Put(name, sizeof name);
}

template <class Out>
void PutImage(Out& out, const SurveyStore& s) {
    out.Put(kSurveyMagic, kMagicSize);
    PutCount(out, s.m_probeRecords.size());
    out.Put(s.m_probeRecords.data(), s.m_probeRecords.size() * sizeof(ProbeRecord));
    PutCount(out, s.m_syncRecords.size());
    out.Put(s.m_syncRecords.data(), s.m_syncRecords.size() * sizeof(SyncRecord));
    PutCount(out, s.m_holeParams.size());
    for (const HoleParams& p : s.m_holeParams) PutParams(out, p);
    PutCount(out, s.m_holes.size());
    for (const HoleSurvey& h : s.m_holes) {
        const auto m = static_cast<std::int32_t>(h.records.size());
        out.Put(&m, 4);
        out.Put(h.records.data(), h.records.size() * sizeof(ProbeRecord));
        PutParams(out, h.params());
    }
}

// The counts of the file are 32 bits wide (a hole's record count is signed).
bool FitsTheFormat(const SurveyStore& s) {
    constexpr std::size_t kMaxCount = std::numeric_limits<std::uint32_t>::max();
    constexpr std::size_t kMaxHoleRecords = std::numeric_limits<std::int32_t>::max();
    if (s.m_probeRecords.size() > kMaxCount || s.m_syncRecords.size() > kMaxCount ||
        s.m_holeParams.size() > kMaxCount || s.m_holes.size() > kMaxCount) {
        return false;
    }
    return std::all_of(s.m_holes.begin(), s.m_holes.end(),
                       [](const HoleSurvey& h) { return h.records.size() <= kMaxHoleRecords; });
}

// ---- Reading --------------------------------------------------------------------

class MemoryReader {
public:
    explicit MemoryReader(std::string_view bytes) : bytes_(bytes) {}
    std::uint64_t remaining() const { return bytes_.size() - pos_; }
    bool Read(void* out, std::size_t n) {
        if (n > remaining()) return false;
        if (n != 0) std::memcpy(out, bytes_.data() + pos_, n);
        pos_ += n;
        return true;
    }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

class FileReader {
public:
    FileReader(std::FILE* file, std::uint64_t size) : file_(file), remaining_(size) {}
    std::uint64_t remaining() const { return remaining_; }
    bool Read(void* out, std::size_t n) {
        if (n > remaining_) return false;
        if (n != 0 && std::fread(out, 1, n, file_) != n) {
            remaining_ = 0;  // the file shrank under us or could not be read
            return false;
        }
        remaining_ -= n;
        return true;
    }

private:
    std::FILE* file_;
    std::uint64_t remaining_;
};

std::string EndedEarly(const char* what) { return std::string("文件在") + what + "处提前结束"; }

std::string CountTooLarge(const char* what, std::uint64_t count, std::uint64_t left) {
    char text[160];
    std::snprintf(text, sizeof text, "%s数为 %llu，超出文件剩余的 %llu 字节", what,
                  static_cast<unsigned long long>(count), static_cast<unsigned long long>(left));
    return text;
}

template <class Reader, class T>
std::string ReadRecords(Reader& in, std::vector<T>& records, const char* what) {
    std::uint32_t n = 0;
    if (!in.Read(&n, 4)) return EndedEarly(what);
    if (std::uint64_t{n} * sizeof(T) > in.remaining()) return CountTooLarge(what, n, in.remaining());
    records.resize(n);
    if (!in.Read(records.data(), n * sizeof(T))) return EndedEarly(what);
    return {};
}

template <class Reader>
bool ReadParams(Reader& in, HoleParams& p) {
    float numbers[10];
    char16_t name[kNameUnits];
    if (!in.Read(numbers, sizeof numbers) || !in.Read(name, sizeof name)) return false;
    p.pbLen = numbers[0];
    p.e0 = numbers[1];
    p.n0 = numbers[2];
    p.d0 = numbers[3];
    p.x0 = numbers[4];
    p.y0 = numbers[5];
    p.z0 = numbers[6];
    p.gi = numbers[7];
    p.dPos = numbers[8];
    p.dDip = numbers[9];
    p.name.assign(name, std::find(name, name + kNameUnits, u'\0'));
    return true;
}
static_assert(sizeof(float[10]) == kParamNumbersSize && kParamNumbersSize + 2 * kNameUnits == kParamBlockSize);

template <class Reader>
std::string ReadHoles(Reader& in, std::vector<HoleSurvey>& holes) {
    std::uint32_t n = 0;
    if (!in.Read(&n, 4)) return EndedEarly("钻孔数");
    if (std::uint64_t{n} * kMinHoleBlockSize > in.remaining()) return CountTooLarge("钻孔", n, in.remaining());
    holes.resize(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        char ordinal[64];
        std::snprintf(ordinal, sizeof ordinal, "第 %u 个钻孔的记录", i + 1);
        std::int32_t m = 0;
        if (!in.Read(&m, 4)) return EndedEarly(ordinal);
        if (m < 0) return std::string(ordinal) + "数为负数（" + std::to_string(m) + "）";
        const std::uint64_t blockRest = std::uint64_t(m) * sizeof(ProbeRecord) + kParamBlockSize;
        if (blockRest > in.remaining()) return CountTooLarge(ordinal, std::uint64_t(m), in.remaining());
        holes[i].records.resize(static_cast<std::size_t>(m));
        if (!in.Read(holes[i].records.data(), static_cast<std::size_t>(m) * sizeof(ProbeRecord)) ||
            !ReadParams(in, holes[i].params())) {
            return EndedEarly(ordinal);
        }
    }
    return {};
}

template <class Reader>
std::string ReadSections(Reader& in, SurveyImage& image) {
    std::string problem = ReadRecords(in, image.probeRecords, "探管记录");
    if (problem.empty()) problem = ReadRecords(in, image.syncRecords, "深度同步记录");
    if (!problem.empty()) return problem;

    std::uint32_t n = 0;
    if (!in.Read(&n, 4)) return EndedEarly("钻孔参数");
    if (std::uint64_t{n} * kParamBlockSize > in.remaining()) return CountTooLarge("钻孔参数", n, in.remaining());
    image.holeParams.resize(n);
    for (HoleParams& p : image.holeParams) {
        if (!ReadParams(in, p)) return EndedEarly("钻孔参数");
    }
    return ReadHoles(in, image.holes);
}

template <class Reader>
SurveyImage ReadImage(Reader& in) {
    SurveyImage image;
    char magic[kMagicSize];
    const auto have = static_cast<std::size_t>(std::min<std::uint64_t>(kMagicSize, in.remaining()));
    if (!in.Read(magic, have) || std::memcmp(magic, kSurveyMagic, have) != 0) {
        image.status = ImageStatus::WrongMagic;
        return image;
    }
    std::string problem = have < kMagicSize ? EndedEarly("文件头") : ReadSections(in, image);
    if (!problem.empty()) {
        image = SurveyImage{};  // all or nothing
        image.status = ImageStatus::Damaged;
        image.problem = std::move(problem);
    }
    return image;
}

template <class T>
void AppendAll(std::vector<T>& to, std::vector<T>& from) {
    if (to.empty())
        to = std::move(from);
    else
        to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
}

void RunPostLoadSteps(SurveyStore& store) {
    if (store.m_openCount > 1) {
        RenumberSyncHoles(store.m_syncRecords);
        ApplyParamsOnly(store);
    }
    RebuildHolesIfNone(store);
}

void ReportFile(const char* what, const std::string& path, const std::string& reason) {
    ShowMessage(std::string(what) + "\n\n" + path + "\n" + reason, kAppCaption, MessageIcon::Warning);
}

}  // namespace

std::string SurveyFileBytes(const SurveyStore& store) {
    std::string bytes;
    StringOut out{bytes};
    PutImage(out, store);
    return bytes;
}

SurveyImage ParseSurveyImage(std::string_view bytes) {
    MemoryReader in(bytes);
    return ReadImage(in);
}

bool LoadSurveyFile(SurveyStore& store, const std::string& path) {
    std::uint64_t size = 0;
    std::string problem;
    InputFile file = OpenInputFile(path, size, problem);
    if (!file) {
        ReportFile(kOpenFailedText, path, problem);
        return false;
    }
    if (size == 0) return true;

    FileReader in(file.get(), size);
    SurveyImage image = ReadImage(in);
    file.reset();
    if (image.status == ImageStatus::WrongMagic) {
        ShowMessage(kWrongFormatText, kWarningCaption, MessageIcon::Warning);
        return false;
    }
    if (image.status == ImageStatus::Damaged) {
        ReportFile(kDamagedFileText, path, "原因：" + image.problem);
        return false;
    }
    AppendAll(store.m_probeRecords, image.probeRecords);
    AppendAll(store.m_syncRecords, image.syncRecords);
    AppendAll(store.m_holeParams, image.holeParams);
    AppendAll(store.m_holes, image.holes);
    RunPostLoadSteps(store);
    return true;
}

OpenResult OpenSurveyFiles(SurveyStore& store, const std::vector<std::string>& paths) {
    OpenResult result;
    if (paths.empty()) return result;
    store.m_fileMode = kFileModeSurvey;
    store.ClearCollections();
    store.m_openCount = 0;
    result.storeChanged = true;
    for (const std::string& path : paths) {
        ++store.m_openCount;
        if (!LoadSurveyFile(store, path)) ++result.filesFailed;
    }
    return result;
}

bool SaveSurveyFile(const SurveyStore& store, const std::string& path) {
    if (!FitsTheFormat(store)) {
        ReportFile(kSaveFailedText, path, "记录数超出数据文件格式的上限");
        return false;
    }
    const std::string problem = ReplaceFileAtomically(path, [&store](const std::string& temp) -> std::string {
        std::FILE* f = std::fopen(temp.c_str(), "wb");
        if (f == nullptr) return std::strerror(errno);
        FileOut out{f};
        PutImage(out, store);
        const int writeErrno = errno;
        const bool closed = std::fclose(f) == 0;
        if (!out.ok) return std::strerror(writeErrno);
        if (!closed) return std::strerror(errno);
        return {};
    });
    if (problem.empty()) return true;
    ReportFile(kSaveFailedText, path, problem);
    return false;
}

}  // namespace sondara
