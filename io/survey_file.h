#pragma once
// The survey data file (.bhx): a flat little-endian image of the whole survey store,
// the magic "QRVTMWLN" and then four counted sections (probe records, synchronizer
// records, hole parameters, holes with their computed stations). Files Sondara
// writes end with a 16-byte integrity trailer ("SNDRCRC1", the byte count and the
// CRC-32 of everything before it); readers that stop after the last hole block never
// see it. docs/survey-file.md describes the format.
//
// Nothing here talks to the user: every outcome is a FileResult. Redrawing the views
// afterwards is the caller's job.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/records.h"
#include "file_result.h"

namespace sondara {

inline constexpr char kSurveyMagic[] = "QRVTMWLN";  // 8 bytes, no terminator in the file
inline constexpr std::size_t kParamBlockSize = 64;
inline constexpr std::size_t kNameUnits = 12;        // UTF-16 units of a stored name
inline constexpr char kTrailerMagic[] = "SNDRCRC1";  // 8 bytes, no terminator in the file
inline constexpr std::size_t kTrailerSize = 16;

// ---- The image, in memory -------------------------------------------------------

// The whole store as the format lays it out, without the trailer.
std::string SurveyFileBytes(const SurveyStore& store);

// The 16 bytes that follow `image` in a file Sondara writes.
std::string IntegrityTrailer(std::string_view image);

// What a save writes: the image and its trailer.
std::string SavedSurveyFileBytes(const SurveyStore& store);

enum class ImageStatus { Ok, WrongMagic, Damaged };

// What one file holds, read completely or not at all.
struct SurveyImage {
    ImageStatus status = ImageStatus::Ok;
    SurveyDamage damage;  // for Damaged: what is wrong
    std::vector<ProbeRecord> probeRecords;
    std::vector<SyncRecord> syncRecords;
    std::vector<HoleParams> holeParams;
    std::vector<HoleSurvey> holes;
};

// Reads an image. Never trusts a count beyond the bytes that are there: an empty
// image, a count that promises more, a negative hole record count or a short image
// is Damaged, and so are bytes after the last hole block unless they are exactly a
// trailer that matches what precedes it. Damaged gives no records.
SurveyImage ParseSurveyImage(std::string_view bytes);

// ---- Names --------------------------------------------------------------------------

// A name as the file keeps it: its first 12 UTF-16 units (11 when the 12th would
// split a character).
std::u16string StoredName(const std::u16string& name);

// Every name of the store (parameters and holes, each once) that a save would
// shorten, with what it becomes.
std::vector<NameCut> NamesCutOnSave(const SurveyStore& store);

// The shortened names that would give two holes, or two parameter entries, the same
// stored name where their names differ.
std::vector<NameCut> NamesCollidingOnSave(const SurveyStore& store);

// ---- Commands on files ----------------------------------------------------------

// Load of one file into the store, as the open command runs it: appends the file's
// records to what the store holds and runs the post-load steps (from the second file
// of an open on, `fileOfOpen` > 1: synchronizer holes renumbered and parameters
// applied; then, when the store has no holes, assembly and both passes).
// `fileOfOpen` counts the open command's files from 1. A file that cannot be read
// (CannotOpen), has the wrong magic (WrongFormat) or is damaged, empty files included
// (Damaged), adds nothing and runs no step.
FileResult LoadSurveyFile(SurveyStore& store, const std::string& path, int fileOfOpen);

struct [[nodiscard]] OpenResult : FileResult {
    bool storeChanged = false;  // the views must redraw (they should also after a cancel)
    int filesFailed = 0;        // files that added nothing
};

// The open command for the files the dialog returned, in order: empties the store,
// then loads each file in turn as file 1, 2, 3 ... of the open, merging them. A failed
// file is skipped with its problem (and still counts); the files before and after it
// still load. An empty list (a cancelled dialog) changes nothing.
OpenResult OpenSurveyFiles(SurveyStore& store, const std::vector<std::string>& paths);

// What a save does with names longer than the file keeps.
enum class LongNames {
    Refuse,   // save nothing (NamesTooLong) while any name would be shortened
    Shorten,  // save them shortened and say which (NamesCut); the user has agreed or is told
};

// Writes the whole store and its trailer to `path`, replacing an existing file only
// once the new one is complete and on disk. Refused, with the old file untouched:
// names that would collide once shortened (NamesCollide), long names under
// LongNames::Refuse, a read-only target (ReadOnlyTarget), a link another user planted
// in a shared folder (ForeignLink); a failed write is CannotSave. Reads the store and
// changes nothing in it.
FileResult SaveSurveyFile(const SurveyStore& store, const std::string& path, LongNames longNames = LongNames::Refuse);

}  // namespace sondara
