#include "dxf_drawing.h"

#include <dxflib/dl_dxf.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include "atomic_file.h"
#include "core/text.h"
#include "narrow_text.h"

namespace sondara {
namespace {

bool ForbiddenInName(char c) { return std::strchr("<>/\\\":;?*|=`", c) != nullptr; }

std::string Escaped(char32_t cp) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "\\U+%04X", static_cast<unsigned>(cp));
    return buffer;
}

// Every character outside ASCII through `encode`, or escaped where it gives nothing.
template <class Encode>
std::string EncodeEach(const std::string& utf8, Encode encode) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t from = i;
        const char32_t cp = NextCodePoint(utf8, i);
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (const std::optional<std::string> one = encode(utf8.substr(from, i - from))) {
            out += *one;
        } else {
            out += Escaped(cp);
        }
    }
    return out;
}

}  // namespace

std::string DxfEncodedText(const std::string& utf8) {
    if (const std::optional<std::string> whole = Utf8ToCodeSet(utf8, kDxfCodeSet)) return *whole;
    return EncodeEach(utf8, [](const std::string& c) { return Utf8ToCodeSet(c, kDxfCodeSet); });
}

std::string DxfLayerName(const std::string& utf8) {
    std::string plain;
    for (char c : utf8) {
        if (static_cast<unsigned char>(c) >= 0x80 || c < ' ') continue;
        plain += ForbiddenInName(c) ? '_' : c;
    }
    return plain.empty() ? "0" : plain;
}

namespace {

// The whole drawing through libdxflib's writer, into the file `dw` writes.
void WriteDrawing(DL_Dxf& dxf, DL_WriterA* dw, const DxfDrawing& drawing, DxfVersion version) {
    dxf.writeHeader(*dw);
    dw->dxfString(9, "$DWGCODEPAGE");
    dw->dxfString(3, kDxfCodePage);
    dw->dxfString(9, "$INSUNITS");  // metres
    dw->dxfInt(70, 6);
    dw->sectionEnd();

    dw->sectionTables();
    dxf.writeVPort(*dw);
    dw->tableLinetypes(3);
    dxf.writeLinetype(*dw, DL_LinetypeData("BYBLOCK", "BYBLOCK", 0, 0, 0.0));
    dxf.writeLinetype(*dw, DL_LinetypeData("BYLAYER", "BYLAYER", 0, 0, 0.0));
    dxf.writeLinetype(*dw, DL_LinetypeData("CONTINUOUS", "Continuous", 0, 0, 0.0));
    dw->tableEnd();
    dw->tableLayers(static_cast<int>(drawing.layers.size()) + 1);
    dxf.writeLayer(*dw, DL_LayerData("0", 0), DL_Attributes("", DL_Codes::white, 100, "CONTINUOUS", 1.0));
    for (const DxfLayer& layer : drawing.layers) {
        dxf.writeLayer(*dw, DL_LayerData(DxfLayerName(layer.name), 0),
                       DL_Attributes("", layer.colour, 100, "CONTINUOUS", 1.0));
    }
    dw->tableEnd();
    dw->tableStyle(1);
    dxf.writeStyle(*dw, DL_StyleData("standard", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
    dw->tableEnd();
    dxf.writeView(*dw);
    dxf.writeUcs(*dw);
    dw->tableAppid(1);
    dxf.writeAppid(*dw, "ACAD");
    dw->tableEnd();
    dxf.writeDimStyle(*dw, 1, 1, 1, 1, 1);
    dxf.writeBlockRecord(*dw);
    dw->tableEnd();
    dw->sectionEnd();

    dw->sectionBlocks();
    dxf.writeBlock(*dw, DL_BlockData("*Model_Space", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(*dw, "*Model_Space");
    dxf.writeBlock(*dw, DL_BlockData("*Paper_Space", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(*dw, "*Paper_Space");
    dxf.writeBlock(*dw, DL_BlockData("*Paper_Space0", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(*dw, "*Paper_Space0");
    dw->sectionEnd();

    dw->sectionEntities();
    const auto attributes = [](const std::string& layer) {
        return DL_Attributes(DxfLayerName(layer), 256, -1, "BYLAYER", 1.0);  // colour and line type by layer
    };
    for (const DxfPolyline& line : drawing.polylines) {
        if (line.points.size() < 2) continue;
        dxf.writePolyline(*dw, DL_PolylineData(static_cast<int>(line.points.size()), 0, 0, 0), attributes(line.layer));
        for (const DxfPoint& p : line.points) dxf.writeVertex(*dw, DL_VertexData(p.x, p.y, 0.0, 0.0));
        dxf.writePolylineEnd(*dw);
    }
    for (const DxfCircle& c : drawing.circles) {
        dxf.writeCircle(*dw, DL_CircleData(c.centre.x, c.centre.y, 0.0, c.radius), attributes(c.layer));
    }
    for (const DxfText& t : drawing.texts) {
        dxf.writeText(*dw,
                      DL_TextData(t.at.x, t.at.y, 0.0, t.at.x, t.at.y, 0.0, t.height, 1.0, 0, 0, 0,
                                  DxfEncodedText(t.text), "standard", 0.0),
                      attributes(t.layer));
    }
    dw->sectionEnd();
    if (version == DxfVersion::R2000) {
        dxf.writeObjects(*dw);
        dxf.writeObjectsEnd(*dw);
    }
    dw->dxfEOF();
}

// Whether the file ends with the drawing's end marker. libdxflib's writer does not
// report failed writes: a full disk shows as a file cut short.
bool EndsWithEofMarker(const std::string& path) {
    constexpr std::string_view kMarker = "EOF\n";
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    char tail[kMarker.size()] = {};
    const bool read = std::fseek(f, -static_cast<long>(kMarker.size()), SEEK_END) == 0 &&
                      std::fread(tail, 1, sizeof tail, f) == sizeof tail;
    std::fclose(f);
    return read && std::string_view(tail, sizeof tail) == kMarker;
}

}  // namespace

std::string WriteDxf(const DxfDrawing& drawing, const std::string& path, DxfVersion version) {
    const DL_Codes::version code = version == DxfVersion::R2000 ? DL_Codes::AC1015 : DL_Codes::AC1009;
    return ReplaceFileAtomically(path, [&](const std::string& temp) -> std::string {
        DL_Dxf dxf;
        std::unique_ptr<DL_WriterA> dw(dxf.out(temp.c_str(), code));
        if (!dw || dw->openFailed()) return std::strerror(errno);
        WriteDrawing(dxf, dw.get(), drawing, version);
        dw->close();
        dw.reset();
        return EndsWithEofMarker(temp) ? std::string() : "the file could not be written completely";
    });
}

}  // namespace sondara
