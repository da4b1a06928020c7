#pragma once
// The viewer without a window, for scripts:
//   gpv --export plan|section|3d|deviation [--size WxH] [--azimuth DEG] -o OUT [FILE]
// OUT ends in .png, .svg, .pdf or .dxf (DXF for the plan and the section only).
// Without FILE the exchange file is read. The section runs along DEG, by default
// the holes' mean design azimuth. Returns the exit code: 0, or 1 with the reason
// written to `errors`.

#include <QStringList>
#include <QTextStream>

int RunHeadlessExport(const QStringList& args, QTextStream& errors);
