#include "survey_file.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <future>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <system_error>

#include "atomic_file.h"
#include "core/survey_pipeline.h"
#include "core/text.h"
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

// zlib's CRC-32, continued over `n` more bytes. (zlib restarts the sum when given no
// buffer, as an empty vector's data may be.)
std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t n) {
    if (n == 0) return crc;
    return static_cast<std::uint32_t>(::crc32_z(crc, static_cast<const Bytef*>(data), n));
}

// ---- Writing --------------------------------------------------------------------

struct StringOut {
    std::string& bytes;
    void Put(const void* p, std::size_t n) { bytes.append(static_cast<const char*>(p), n); }
};

// Counts and checksums what it writes, for the trailer.
struct FileOut {
    std::FILE* file;
    bool ok = true;
    std::uint64_t count = 0;
    std::uint32_t crc = 0;
    void Put(const void* p, std::size_t n) {
        if (!ok || n == 0) return;
        if (std::fwrite(p, 1, n, file) != n) ok = false;
        count += n;
        crc = Crc32(crc, p, n);
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
    const std::u16string stored = StoredName(p.name);
    std::copy(stored.begin(), stored.end(), name);
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

std::string TrailerFor(std::uint64_t count, std::uint32_t crc) {
    std::string trailer(kTrailerMagic, kMagicSize);
    const auto size = static_cast<std::uint32_t>(count);
    trailer.append(reinterpret_cast<const char*>(&size), 4);
    trailer.append(reinterpret_cast<const char*>(&crc), 4);
    return trailer;
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

// The trailer counts the bytes before it in 32 bits: an image of 4 GiB or more is
// written without one, as other writers write every file.
bool TrailerFits(std::uint64_t imageSize) { return imageSize <= std::numeric_limits<std::uint32_t>::max(); }

// ---- Reading --------------------------------------------------------------------

// Both readers keep the CRC-32 of what they have read, for the trailer check.
class MemoryReader {
public:
    explicit MemoryReader(std::string_view bytes) : bytes_(bytes) {}
    std::uint64_t remaining() const { return bytes_.size() - pos_; }
    std::uint64_t consumed() const { return pos_; }
    std::uint32_t crc() const { return crc_; }
    bool Read(void* out, std::size_t n) {
        if (n > remaining()) return false;
        if (n != 0) std::memcpy(out, bytes_.data() + pos_, n);
        crc_ = Crc32(crc_, bytes_.data() + pos_, n);
        pos_ += n;
        return true;
    }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::uint32_t crc_ = 0;
};

class FileReader {
public:
    FileReader(std::FILE* file, std::uint64_t size) : file_(file), size_(size), remaining_(size) {}
    std::uint64_t remaining() const { return remaining_; }
    std::uint64_t consumed() const { return size_ - remaining_; }
    std::uint32_t crc() const { return crc_; }
    // Reads in pieces; the checksum of one piece is taken on a helper thread while
    // the next piece is read, so a large file costs little more than reading it.
    bool Read(void* out, std::size_t n) {
        if (n > remaining_) return false;
        constexpr std::size_t kPiece = 1 << 22;
        std::future<std::uint32_t> pending;
        bool ok = true;
        for (auto* at = static_cast<char*>(out); n > 0;) {
            const std::size_t piece = std::min(n, kPiece);
            if (std::fread(at, 1, piece, file_) != piece) {
                ok = false;
                break;
            }
            if (pending.valid()) crc_ = pending.get();
            if (piece == n && !pending.valid()) {
                crc_ = Crc32(crc_, at, piece);  // small reads: no thread
            } else {
                try {
                    pending = std::async(std::launch::async, Crc32, crc_, at, piece);
                } catch (const std::system_error&) {
                    crc_ = Crc32(crc_, at, piece);  // no thread to be had: take it here
                }
            }
            remaining_ -= piece;
            at += piece;
            n -= piece;
        }
        if (pending.valid()) crc_ = pending.get();
        if (!ok) remaining_ = 0;  // the file shrank under us or could not be read
        return ok;
    }

private:
    std::FILE* file_;
    std::uint64_t size_;
    std::uint64_t remaining_;
    std::uint32_t crc_ = 0;
};

SurveyDamage EndsEarly(SurveyPart part, std::uint32_t hole = 0) { return {SurveyDamage::Found::EndsEarly, part, hole}; }

SurveyDamage CountTooLarge(SurveyPart part, std::int64_t count, std::uint64_t left, std::uint32_t hole = 0) {
    return {SurveyDamage::Found::CountTooLarge, part, hole, count, left};
}

template <class Reader, class T>
SurveyDamage ReadRecords(Reader& in, std::vector<T>& records, SurveyPart part) {
    std::uint32_t n = 0;
    if (!in.Read(&n, 4)) return EndsEarly(part);
    if (std::uint64_t{n} * sizeof(T) > in.remaining()) return CountTooLarge(part, n, in.remaining());
    records.resize(n);
    if (!in.Read(records.data(), n * sizeof(T))) return EndsEarly(part);
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
SurveyDamage ReadHoles(Reader& in, std::vector<HoleSurvey>& holes) {
    std::uint32_t n = 0;
    if (!in.Read(&n, 4)) return EndsEarly(SurveyPart::HoleCount);
    if (std::uint64_t{n} * kMinHoleBlockSize > in.remaining())
        return CountTooLarge(SurveyPart::HoleCount, n, in.remaining());
    holes.resize(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint32_t hole = i + 1;
        std::int32_t m = 0;
        if (!in.Read(&m, 4)) return EndsEarly(SurveyPart::HoleRecords, hole);
        if (m < 0) return {SurveyDamage::Found::NegativeCount, SurveyPart::HoleRecords, hole, m};
        const std::uint64_t blockRest = std::uint64_t(m) * sizeof(ProbeRecord) + kParamBlockSize;
        if (blockRest > in.remaining()) return CountTooLarge(SurveyPart::HoleRecords, m, in.remaining(), hole);
        holes[i].records.resize(static_cast<std::size_t>(m));
        if (!in.Read(holes[i].records.data(), static_cast<std::size_t>(m) * sizeof(ProbeRecord)) ||
            !ReadParams(in, holes[i].params())) {
            return EndsEarly(SurveyPart::HoleRecords, hole);
        }
    }
    return {};
}

// After the last hole block: nothing (a file from another writer), or exactly a
// trailer that matches everything before it.
template <class Reader>
SurveyDamage CheckEnd(Reader& in) {
    const std::uint64_t left = in.remaining();
    if (left == 0) return {};
    const std::uint64_t before = in.consumed();
    const std::uint32_t crc = in.crc();
    char trailer[kTrailerSize];
    if (left != kTrailerSize || !in.Read(trailer, kTrailerSize) ||
        std::memcmp(trailer, kTrailerMagic, kMagicSize) != 0) {
        return {SurveyDamage::Found::BytesAfterLastHole, SurveyPart::HoleRecords, 0, 0, left};
    }
    std::uint32_t count = 0;
    std::uint32_t stored = 0;
    std::memcpy(&count, trailer + 8, 4);
    std::memcpy(&stored, trailer + 12, 4);
    if (count != before || stored != crc) return {SurveyDamage::Found::TrailerMismatch};
    return {};
}

template <class Reader>
SurveyDamage ReadSections(Reader& in, SurveyImage& image) {
    if (SurveyDamage d = ReadRecords(in, image.probeRecords, SurveyPart::ProbeRecords)) return d;
    if (SurveyDamage d = ReadRecords(in, image.syncRecords, SurveyPart::SyncRecords)) return d;

    std::uint32_t n = 0;
    if (!in.Read(&n, 4)) return EndsEarly(SurveyPart::HoleParams);
    if (std::uint64_t{n} * kParamBlockSize > in.remaining())
        return CountTooLarge(SurveyPart::HoleParams, n, in.remaining());
    image.holeParams.resize(n);
    for (HoleParams& p : image.holeParams) {
        if (!ReadParams(in, p)) return EndsEarly(SurveyPart::HoleParams);
    }
    if (SurveyDamage d = ReadHoles(in, image.holes)) return d;
    return CheckEnd(in);
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
    const SurveyDamage damage = have == 0           ? SurveyDamage{SurveyDamage::Found::Empty}
                                : have < kMagicSize ? EndsEarly(SurveyPart::Header)
                                                    : ReadSections(in, image);
    if (damage) {
        image = SurveyImage{};  // all or nothing
        image.status = ImageStatus::Damaged;
        image.damage = damage;
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

// ---- Names ----------------------------------------------------------------------

// The names of one list that a save would shorten, each once, in order.
void CollectCuts(const std::vector<std::u16string>& names, std::vector<NameCut>& cuts, std::set<std::u16string>& seen) {
    for (const std::u16string& name : names) {
        if (name.size() <= kNameUnits || !seen.insert(name).second) continue;
        cuts.push_back({Utf16ToUtf8(name), Utf16ToUtf8(StoredName(name))});
    }
}

// Names of one list whose stored forms meet although the names differ.
void CollectCollisions(const std::vector<std::u16string>& names, std::vector<NameCut>& out,
                       std::set<std::u16string>& seen) {
    std::map<std::u16string, std::set<std::u16string>> byStored;
    for (const std::u16string& name : names) byStored[StoredName(name)].insert(name);
    for (const std::u16string& name : names) {
        if (byStored[StoredName(name)].size() < 2 || !seen.insert(name).second) continue;
        out.push_back({Utf16ToUtf8(name), Utf16ToUtf8(StoredName(name))});
    }
}

template <class Collect, class Out>
std::vector<Out> EachNameList(const SurveyStore& store, Collect collect) {
    std::vector<std::u16string> params, holes;
    for (const HoleParams& p : store.m_holeParams) params.push_back(p.name);
    for (const HoleSurvey& h : store.m_holes) holes.push_back(h.name);
    std::vector<Out> out;
    std::set<std::u16string> seen;
    collect(params, out, seen);
    collect(holes, out, seen);
    return out;
}

void RunPostLoadSteps(SurveyStore& store, int fileOfOpen) {
    if (fileOfOpen > 1) {
        RenumberSyncHoles(store.m_syncRecords);
        Recompute(store, SurveyChange::Merged);
    } else {
        Recompute(store, SurveyChange::Loaded);
    }
}

}  // namespace

std::string SurveyFileBytes(const SurveyStore& store) {
    std::string bytes;
    StringOut out{bytes};
    PutImage(out, store);
    return bytes;
}

std::string IntegrityTrailer(std::string_view image) {
    if (!TrailerFits(image.size())) return {};
    return TrailerFor(image.size(), Crc32(0, image.data(), image.size()));
}

std::string SavedSurveyFileBytes(const SurveyStore& store) {
    std::string bytes = SurveyFileBytes(store);
    return bytes + IntegrityTrailer(bytes);
}

SurveyImage ParseSurveyImage(std::string_view bytes) {
    MemoryReader in(bytes);
    return ReadImage(in);
}

std::u16string StoredName(const std::u16string& name) {
    if (name.size() <= kNameUnits) return name;
    std::size_t units = kNameUnits;
    if (name[units - 1] >= 0xD800 && name[units - 1] <= 0xDBFF) --units;  // never half a character
    return name.substr(0, units);
}

std::vector<NameCut> NamesCutOnSave(const SurveyStore& store) {
    return EachNameList<decltype(&CollectCuts), NameCut>(store, &CollectCuts);
}

std::vector<NameCut> NamesCollidingOnSave(const SurveyStore& store) {
    return EachNameList<decltype(&CollectCollisions), NameCut>(store, &CollectCollisions);
}

FileResult LoadSurveyFile(SurveyStore& store, const std::string& path, int fileOfOpen) {
    FileResult result;
    std::uint64_t size = 0;
    std::string problem;
    InputFile file = OpenInputFile(path, size, problem);
    if (!file) {
        result.Fail({FileProblemKind::CannotOpen, path, problem});
        return result;
    }
    FileReader in(file.get(), size);
    SurveyImage image = ReadImage(in);
    file.reset();
    if (image.status == ImageStatus::WrongMagic) {
        result.Fail({FileProblemKind::WrongFormat, path});
        return result;
    }
    if (image.status == ImageStatus::Damaged) {
        FileProblem damaged{FileProblemKind::Damaged, path};
        damaged.damage = image.damage;
        result.Fail(std::move(damaged));
        return result;
    }
    AppendAll(store.m_probeRecords, image.probeRecords);
    AppendAll(store.m_syncRecords, image.syncRecords);
    AppendAll(store.m_holeParams, image.holeParams);
    AppendAll(store.m_holes, image.holes);
    RunPostLoadSteps(store, fileOfOpen);
    return result;
}

OpenResult OpenSurveyFiles(SurveyStore& store, const std::vector<std::string>& paths) {
    OpenResult result;
    if (paths.empty()) return result;
    store.ClearCollections();
    result.storeChanged = true;
    int fileOfOpen = 0;
    for (const std::string& path : paths) {
        FileResult one = LoadSurveyFile(store, path, ++fileOfOpen);
        if (!one) ++result.filesFailed;
        result.Take(std::move(one));
    }
    return result;
}

FileResult SaveSurveyFile(const SurveyStore& store, const std::string& path, LongNames longNames) {
    FileResult result;
    if (std::vector<NameCut> collide = NamesCollidingOnSave(store); !collide.empty()) {
        result.Fail({FileProblemKind::NamesCollide, path, {}, {}, 0, std::move(collide)});
        return result;
    }
    std::vector<NameCut> cuts = NamesCutOnSave(store);
    if (!cuts.empty() && longNames == LongNames::Refuse) {
        result.Fail({FileProblemKind::NamesTooLong, path, {}, {}, 0, std::move(cuts)});
        return result;
    }
    if (!FitsTheFormat(store)) {
        result.Fail({FileProblemKind::TooManyRecords, path});
        return result;
    }
    if (auto refused = SaveTargetProblem(path)) {
        result.Fail(std::move(*refused));
        return result;
    }
    const std::string problem = ReplaceFileAtomically(path, [&store](const std::string& temp) -> std::string {
        std::FILE* f = std::fopen(temp.c_str(), "wb");
        if (f == nullptr) return std::strerror(errno);
        FileOut out{f};
        PutImage(out, store);
        if (TrailerFits(out.count)) {
            const std::string trailer = TrailerFor(out.count, out.crc);
            out.Put(trailer.data(), trailer.size());
        }
        const int writeErrno = errno;
        const bool closed = std::fclose(f) == 0;
        if (!out.ok) return std::strerror(writeErrno);
        if (!closed) return std::strerror(errno);
        return {};
    });
    if (!problem.empty()) {
        result.Fail({FileProblemKind::CannotSave, path, problem});
        return result;
    }
    if (!cuts.empty()) result.Note({FileProblemKind::NamesCut, path, {}, {}, 0, std::move(cuts)});
    return result;
}

}  // namespace sondara
