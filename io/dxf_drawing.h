#pragma once
// A flat drawing in metres written as AutoCAD DXF through libdxflib: layers,
// polylines, circles and single-line texts. Coordinates go out at full double
// precision, so mine coordinates in the tens of millions keep their millimetres.
// Before AutoCAD 2007 a DXF file is not UTF-8 but in the code page its header
// names: the drawing says ANSI_936 (GBK, the code page of Chinese Windows) and its
// texts are in GBK; a character GBK lacks goes out as AutoCAD's \U+XXXX escape.

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

// The code page the drawing declares ($DWGCODEPAGE) and its iconv name.
inline constexpr char kDxfCodePage[] = "ANSI_936";
inline constexpr char kDxfCodeSet[] = "GBK";

// UTF-8 `text` as the file holds it: in GBK, a character GBK lacks as \U+XXXX.
std::string DxfEncodedText(const std::string& utf8);

// A layer name every reader takes: the ASCII letters of `utf8` (libdxflib mangles
// any other byte in a layer name), the characters AutoCAD forbids in names
// (< > / \ " : ; ? * | = `) replaced by '_'; "0" when nothing is left.
std::string DxfLayerName(const std::string& utf8);

// Writes `drawing` to `path`. Returns an empty text on success, else the reason.
std::string WriteDxf(const DxfDrawing& drawing, const std::string& path, DxfVersion version);

}  // namespace sondara
