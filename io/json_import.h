#pragma once
// JSON survey import: probe samples, synchronizer samples grouped by hole
// ("sampler") with each hole's parameters, and one declination "gi" for all holes.
// The imported records are assembled into holes and computed exactly as after a
// download. The system reads JSON but never writes it.
//
// The document is read as a stream of parser events straight into the records, so
// an import needs little more memory than the records it yields, whatever the size
// of the file. Problems are returned, never shown; redrawing is the caller's job.

#include <string>
#include <string_view>

#include "core/records.h"
#include "file_result.h"

namespace sondara {

// The load of one JSON text (the bytes up to the first zero byte) into the store:
// appends the records and parameters, applies the parameters, and when the store has
// no holes assembles and computes them. All or nothing: on a syntax error
// (JsonSyntax, with the parser's text and byte position) or a document that does not
// have the expected structure (JsonStructure: top level not an object, "gi" or a
// required key missing, a value of the wrong type, a number out of range for its
// field, with the library's text and the place) the store keeps what it held.
// `file` only names the source in the problems.
FileResult LoadJsonSurvey(SurveyStore& store, std::string_view text, const std::string& file = {});

// Reads the file and loads it as LoadJsonSurvey does, appending to the store. A
// file of length 0 loads nothing and is no problem; one that cannot be read is
// CannotOpen.
FileResult LoadJsonFile(SurveyStore& store, const std::string& path);

// The command "打开Json文件" for the chosen file: empties the store, then reads the
// file and loads it. The store is
// replaced in every case (left empty on failure), so the caller redraws after every
// call.
FileResult ImportJsonFile(SurveyStore& store, const std::string& path);

}  // namespace sondara
