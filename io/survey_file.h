#pragma once
// The survey data file (.bhx): a flat little-endian image of the whole survey store,
// the magic "QRVTMWLN" and then four counted sections (probe records, synchronizer
// records, hole parameters, holes with their computed stations). No version, no
// checksum: a store saved and loaded again saves to the same bytes.
//
// These functions never open a window: every message goes through ShowMessage
// (core/messages.h). Redrawing the views afterwards is the caller's job.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/records.h"

namespace sondara {

inline constexpr char kSurveyMagic[] = "QRVTMWLN";  // 8 bytes, no terminator in the file
inline constexpr std::size_t kParamBlockSize = 64;
inline constexpr std::size_t kNameUnits = 12;  // UTF-16 units of a stored name

// ---- The image, in memory -------------------------------------------------------

// The whole store as the file holds it.
std::string SurveyFileBytes(const SurveyStore& store);

enum class ImageStatus { Ok, WrongMagic, Damaged };

// What one file holds, read completely or not at all.
struct SurveyImage {
    ImageStatus status = ImageStatus::Ok;
    std::string problem;  // for Damaged: what is wrong, for the user (UTF-8)
    std::vector<ProbeRecord> probeRecords;
    std::vector<SyncRecord> syncRecords;
    std::vector<HoleParams> holeParams;
    std::vector<HoleSurvey> holes;
};

// Reads an image of at least one byte. Never trusts a count beyond the bytes that
// are there: a count that promises more, a negative hole record count or a short
// image gives Damaged and no records. Bytes after the last hole block are ignored.
SurveyImage ParseSurveyImage(std::string_view bytes);

// ---- Commands on files ----------------------------------------------------------

// Load of one file into the store, as the open command runs it: appends the file's
// records to what the store holds and runs the post-load steps (from the second file
// of an open on, m_openCount > 1: synchronizer holes renumbered and parameters
// applied; then, when the store has no holes, assembly and both passes).
// A file of length 0 adds nothing and runs no step. Returns false, with a message
// shown and the store untouched, when the file cannot be read, has the wrong magic
// ("数据格式不匹配，请重新选择") or is damaged.
bool LoadSurveyFile(SurveyStore& store, const std::string& path);

struct OpenResult {
    bool storeChanged = false;  // the views must redraw (they should also after a cancel)
    int filesFailed = 0;        // files that were reported and added nothing
    bool ok() const { return filesFailed == 0; }
};

// The open command for the files the dialog returned, in order: sets m_fileMode to 1,
// empties the store, sets m_openCount to 0, then loads each file in turn (raising
// m_openCount just before each), merging them. A failed file is reported and skipped;
// the files before and after it still load. An empty list (a cancelled dialog)
// changes nothing.
OpenResult OpenSurveyFiles(SurveyStore& store, const std::vector<std::string>& paths);

// Writes the whole store to `path`, replacing an existing file only once the new one
// is complete (temporary file and rename). On failure shows "保存文档失败。" with the
// path and the reason, leaves any old file as it was, and returns false. Reads the
// store and changes nothing in it.
bool SaveSurveyFile(const SurveyStore& store, const std::string& path);

}  // namespace sondara
