#pragma once
// The group-plot exchange file: every hole whose name matches its parameter entry,
// with its stations, as text for the external group-plot viewer. Text in the narrow
// code page (see narrow_text.h), every line ending in CR LF, no byte-order mark:
//
//   the number of parameter entries ("%d")
//   for each selected hole: its name, " %d" with its number of stations
//   an empty line
//   for each selected hole: one line per station, depth dy dz x y z each as
//   "%12.6f " and the mark as "%6d ", then an empty line
//
// A hole i is selected when i is below the number of holes and of parameter entries
// and m_holes[i].name equals m_holeParams[i].name. Every name and number is written
// whole, however long.
//
// Where the file lives: $XDG_CACHE_HOME/sondara/gpv.txt, by default
// ~/.cache/sondara/gpv.txt (one per user, rewritten at each trajectory command; the
// viewer is started with it). Starting the viewer is not done here.

#include <optional>
#include <string>

#include "core/records.h"
#include "file_result.h"

namespace sondara {

// $XDG_CACHE_HOME/sondara/gpv.txt, or $HOME/.cache/sondara/gpv.txt.
std::string GroupPlotFilePath();

// The file's bytes in `codeSet`; nothing when a hole name has no form in it (the
// name is then in `unconvertibleName`).
std::optional<std::string> GroupPlotFileBytes(const SurveyStore& store, const std::string& codeSet,
                                              std::string* unconvertibleName = nullptr);

// The trajectory command's hand-over, after its plot window has opened: with no
// holes writes nothing (NoHoles); otherwise writes the file (in the locale's code
// set, replacing the old one only once complete), or says why it could not
// (ExchangeFileFailed). Success means the viewer may be started.
FileResult WriteGroupPlotFile(const SurveyStore& store, const std::string& path);

// The same at GroupPlotFilePath(), creating its folder when missing.
FileResult WriteGroupPlotFile(const SurveyStore& store);

}  // namespace sondara
