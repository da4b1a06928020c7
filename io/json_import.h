#pragma once
// JSON survey import: probe samples, synchronizer samples grouped by hole
// ("sampler") with each hole's parameters, and one declination "gi" for all holes.
// The imported records are assembled into holes and computed exactly as after a
// download. The system reads JSON but never writes it.
//
// Messages go through ShowMessage (core/messages.h); redrawing is the caller's job.

#include <string>
#include <string_view>

#include "core/records.h"

namespace sondara {

// The load of one JSON text (the bytes up to the first zero byte) into the store:
// appends the records and parameters, applies the parameters, and when the store has
// no holes assembles and computes them. All or nothing: on a syntax error
// ("JSON 文件解析失败..." with the parser's text and byte position) or a document
// that does not have the expected structure (top level not an object, "gi" or a
// required key missing, a value of the wrong type, a number out of range for its
// field) a message names the problem, the store keeps what it held, and the result
// is false.
bool LoadJsonSurvey(SurveyStore& store, std::string_view text);

// Reads the file and loads it as LoadJsonSurvey does, appending to the store. A
// file of length 0 loads nothing, without a message; one that cannot be read is
// reported ("打开文档失败。" with the path and the reason).
bool LoadJsonFile(SurveyStore& store, const std::string& path);

// The command "打开Json文件" for the chosen file: sets m_fileMode to 2, empties the
// store (m_openCount is left alone), then reads the file and loads it. A file of
// length 0 imports nothing, without a message; a file that cannot be read is
// reported. The store is replaced in every case (left empty on failure), so the
// caller redraws after every call. Returns whether the import succeeded.
bool ImportJsonFile(SurveyStore& store, const std::string& path);

}  // namespace sondara
