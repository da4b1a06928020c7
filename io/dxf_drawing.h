#pragma once
// A flat drawing in metres written as AutoCAD DXF through libdxflib: layers,
// polylines, circles and single-line texts. Coordinates go out at full double
// precision, so mine coordinates in the tens of millions keep their millimetres.
// Text outside ASCII is written as AutoCAD's \U+XXXX escapes, which every release
// reads whatever the drawing's code page, so names survive R12 and R2000 alike.

#include <string>
#include <vector>

namespace sondara {

struct DxfPoint {
    double x = 0, y = 0;
};

struct DxfLayer {
    std::string name;  // UTF-8
    int colour = 7;    // AutoCAD colour index 1 … 255 (7: white on black, black on white)
};

struct DxfPolyline {
    std::string layer;
    std::vector<DxfPoint> points;
};

struct DxfCircle {
    std::string layer;
    DxfPoint centre;
    double radius = 0;
};

struct DxfText {
    std::string layer;
    DxfPoint at;  // left end of the base line
    double height = 1;
    std::string text;  // UTF-8
};

struct DxfDrawing {
    std::vector<DxfLayer> layers;  // every layer an entity names must be listed
    std::vector<DxfPolyline> polylines;
    std::vector<DxfCircle> circles;
    std::vector<DxfText> texts;
};

enum class DxfVersion { R12, R2000 };

// `text` with every character outside ASCII as \U+XXXX (four or more hex digits).
std::string DxfEscapedText(const std::string& utf8);

// A layer name AutoCAD accepts: escaped, with the characters it forbids in names
// (< > / \ " : ; ? * | = `) replaced by '_'; "0" for an empty name.
std::string DxfLayerName(const std::string& utf8);

// Writes `drawing` to `path`. Returns an empty text on success, else the reason.
std::string WriteDxf(const DxfDrawing& drawing, const std::string& path, DxfVersion version);

}  // namespace sondara
