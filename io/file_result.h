#pragma once
// What a file command found, for ui/ and sondara-cli to tell the user: io/ never
// words a message itself. Each problem names its kind and its details; the texts
// are made in one place (ui/common/file_messages.h).

#include <cstdint>
#include <string>
#include <vector>

namespace sondara {

enum class FileProblemKind {
    CannotOpen,          // file, reason: the file could not be read
    WrongFormat,         // file: not a survey data file (wrong magic)
    Damaged,             // file, damage: a survey data file that does not hold what it says
    CannotSave,          // file, reason: the survey data file could not be written
    TooManyRecords,      // file: more records than the survey data file's counts can hold
    ReadOnlyTarget,      // file: the file to be replaced is read-only
    ForeignLink,         // file, reason (the link), position (its owner's uid): planted by another user
    UnsupportedKind,     // file: a name that is neither .bhx, .xlsx nor .xls
    JsonNotAlone,        // a JSON survey named together with other files
    JsonSyntax,          // file, reason (the parser's text), position (byte)
    JsonStructure,       // file, reason (the library's text), place (JSON pointer)
    ExportFailed,        // file, reason: the workbook could not be written
    SheetRenamed,        // reason (hole name), place (the sheet its rows went to); a notice
    RowsLost,            // place (sheet), count: rows beyond the sheet's limit; a notice
    NoHoles,             // nothing to hand to the group-plot viewer
    ExchangeFileFailed,  // file, reason: the group-plot exchange file could not be written
    NameNotInCodeSet,    // file, place (the hole name), reason (the code set): the exchange file cannot hold it
    NamesCut,            // cuts: names saved shortened to the file's 12 units; a notice
    NamesTooLong,        // file, cuts: names the file would shorten; nothing saved
    NamesCollide,        // file, cuts: shortening would give two holes one name; nothing saved
};

// Where in a survey data file the reader was when it found the damage.
enum class SurveyPart : std::uint8_t { Header, ProbeRecords, SyncRecords, HoleParams, HoleCount, HoleRecords };

// What is wrong with a damaged survey data file.
struct SurveyDamage {
    enum class Found : std::uint8_t {
        None,
        Empty,               // no byte at all
        EndsEarly,           // the file ends inside `part`
        CountTooLarge,       // `part`'s `count` promises more than the `bytesLeft`
        NegativeCount,       // `part`'s `count` is below zero
        BytesAfterLastHole,  // `bytesLeft` bytes that are no trailer
        TrailerMismatch,     // the trailer does not match the bytes before it
    };
    Found found = Found::None;
    SurveyPart part = SurveyPart::Header;
    std::uint32_t hole = 0;  // HoleRecords: which hole, from 1
    std::int64_t count = 0;
    std::uint64_t bytesLeft = 0;

    explicit operator bool() const { return found != Found::None; }
};

// A hole name as the user knows it and as the survey data file keeps it (UTF-8).
struct NameCut {
    std::string name;
    std::string stored;
};

struct FileProblem {
    FileProblemKind kind;
    std::string file;            // the path concerned, as given
    std::string reason;          // what is wrong (UTF-8); for SheetRenamed the hole's name
    std::string place;           // where: a JSON pointer, a sheet name
    std::uint64_t position = 0;  // JSON syntax: byte position; RowsLost: the number of rows
    std::vector<NameCut> cuts;   // NamesCut, NamesTooLong, NamesCollide
    SurveyDamage damage;         // Damaged

    FileProblem(FileProblemKind kind_, std::string file_ = {}, std::string reason_ = {}, std::string place_ = {},
                std::uint64_t position_ = 0, std::vector<NameCut> cuts_ = {})
        : kind(kind_),
          file(std::move(file_)),
          reason(std::move(reason_)),
          place(std::move(place_)),
          position(position_),
          cuts(std::move(cuts_)) {}
};

// Whether the command did its job, and everything worth telling, in order (notices
// may come with success).
struct [[nodiscard]] FileResult {
    bool failed = false;
    std::vector<FileProblem> problems;

    bool ok() const { return !failed; }
    explicit operator bool() const { return ok(); }
    void Fail(FileProblem p) {
        failed = true;
        problems.push_back(std::move(p));
    }
    void Note(FileProblem p) { problems.push_back(std::move(p)); }
    void Take(FileResult other) {
        failed = failed || other.failed;
        for (FileProblem& p : other.problems) problems.push_back(std::move(p));
    }
};

}  // namespace sondara
