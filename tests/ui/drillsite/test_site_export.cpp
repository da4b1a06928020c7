#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "io/dxf_drawing.h"
#include "site_fixtures.h"
#include "ui/drillsite/site_export.h"

namespace sondara::test {
namespace {

// Reads a DXF back with ezdxf, the reader the mine-map side would use, as JSON:
// polylines per layer (every vertex), texts, circles, the layer names.
QJsonObject ReadDxfBack(const QString& path) {
    const char* script = R"py(
import ezdxf, json, sys
doc = ezdxf.readfile(sys.argv[1])
msp = doc.modelspace()
out = {"version": doc.dxfversion, "encoding": doc.encoding, "layers": [l.dxf.name for l in doc.layers], "lines": [], "texts": [], "circles": []}
for e in msp:
    t = e.dxftype()
    if t == "LWPOLYLINE":
        out["lines"].append({"layer": e.dxf.layer, "points": [[p[0], p[1]] for p in e.get_points("xy")]})
    elif t == "POLYLINE":
        out["lines"].append({"layer": e.dxf.layer, "points": [[v.dxf.location[0], v.dxf.location[1]] for v in e.vertices]})
    elif t == "TEXT":
        out["texts"].append({"layer": e.dxf.layer, "text": e.dxf.text, "x": e.dxf.insert[0], "y": e.dxf.insert[1]})
    elif t == "CIRCLE":
        out["circles"].append({"layer": e.dxf.layer, "x": e.dxf.center[0], "y": e.dxf.center[1]})
print(json.dumps(out))
)py";
    QProcess p;
    p.start("/usr/bin/python3", {"-c", script, path});
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

QJsonArray LinesOn(const QJsonObject& dxf, const QString& layer) {
    QJsonArray found;
    for (const QJsonValue& v : dxf["lines"].toArray())
        if (v["layer"].toString() == layer) found.append(v);
    return found;
}

TEST(SiteDxf, PlanAndSectionReadBackWithEveryStationAtItsCoordinatesAndEveryName) {
    QTemporaryDir dir;
    const DrillSite site = Fan(3, 40);
    for (SiteViewKind kind : {SiteViewKind::Plan, SiteViewKind::Section}) {
        SiteViewOptions o;
        o.sectionAzimuth = 65;
        const QString path = dir.filePath(kind == SiteViewKind::Plan ? "plan.dxf" : "section.dxf");
        ASSERT_EQ(ExportSiteView(site, kind, o, {}, path), "");
        const QJsonObject dxf = ReadDxfBack(path);
        EXPECT_EQ(dxf["version"].toString(), "AC1015");
        EXPECT_EQ(dxf["encoding"].toString(), "gbk");
        const SectionFrame frame = SectionFor(site, 65);
        QStringList texts;
        for (const QJsonValue& t : dxf["texts"].toArray()) texts << t["text"].toString();
        for (std::size_t h = 0; h < site.holes.size(); ++h) {
            const SiteHole& hole = site.holes[h];
            EXPECT_TRUE(texts.contains(hole.name)) << texts.join(',').toStdString();
            const QString layer = QString("HOLE-0%1-%2").arg(h + 1).arg(h + 1);  // the name's ASCII part
            EXPECT_TRUE(dxf["layers"].toArray().contains(layer));
            const QJsonArray lines = LinesOn(dxf, layer);
            ASSERT_EQ(lines.size(), 1) << hole.name.toStdString();
            const QJsonArray points = lines[0]["points"].toArray();
            ASSERT_EQ(points.size(), qsizetype(hole.stations.size()));
            for (std::size_t k = 0; k < hole.stations.size(); ++k) {
                const SitePoint& s = hole.stations[k].at;
                const double x = kind == SiteViewKind::Plan ? s.x : frame.Along(s);
                const double y = kind == SiteViewKind::Plan ? s.y : s.z;
                // Mine coordinates of tens of millions keep well below a millimetre.
                EXPECT_NEAR(points[qsizetype(k)][0].toDouble(), x, 1e-6);
                EXPECT_NEAR(points[qsizetype(k)][1].toDouble(), y, 1e-6);
            }
        }
        EXPECT_EQ(LinesOn(dxf, "DESIGN").size(), 3);
        int collars = 0, ends = 0;
        for (const QJsonValue& c : dxf["circles"].toArray()) {
            collars += c["layer"].toString() == "COLLAR";
            ends += c["layer"].toString() == "END";
        }
        EXPECT_EQ(collars, 3);
        EXPECT_EQ(ends, 3);
    }
}

TEST(SiteDxf, R12AndAwkwardNamesReadBackToo) {
    QTemporaryDir dir;
    DrillSite site = Fan(2, 5);
    site.holes[0].name = "A/B:1";          // characters a layer name may not hold
    site.holes[1].name = "钻孔";           // no ASCII at all
    site.holes[1].stations[2].at.y = NAN;  // a damaged station is left out, not written as "nan"
    const QString path = dir.filePath("r12.dxf");
    ASSERT_EQ(WriteDxf(SiteDxf(site, SiteViewKind::Plan, 0), path.toStdString(), DxfVersion::R12), "");
    const QJsonObject dxf = ReadDxfBack(path);
    EXPECT_EQ(dxf["version"].toString(), "AC1009");
    ASSERT_EQ(LinesOn(dxf, "HOLE-01-A_B_1").size(), 1);
    ASSERT_EQ(LinesOn(dxf, "HOLE-02").size(), 1);
    EXPECT_EQ(LinesOn(dxf, "HOLE-01-A_B_1").at(0)["points"].toArray().size(), 5);
    EXPECT_EQ(LinesOn(dxf, "HOLE-02").at(0)["points"].toArray().size(), 4);
    QStringList texts;
    for (const QJsonValue& t : dxf["texts"].toArray()) texts << t["text"].toString();
    EXPECT_EQ(texts, (QStringList{"A/B:1", "钻孔"}));
    EXPECT_EQ(DxfEncodedText("孔1"),
              "\xBF\xD7"
              "1");                                                  // GBK
    EXPECT_EQ(DxfEncodedText("孔\U0001F600"), "\xBF\xD7\\U+1F600");  // not in GBK: escaped
    EXPECT_EQ(DxfLayerName("孔<1>"), "_1_");
}

// A drawing replaces an old one only whole: a read-only target is refused and left as
// it was, and no file of the user's beside the target is touched.
TEST(SiteDxf, ReplacesTheOldDrawingSafely) {
    QTemporaryDir dir;
    const QString path = dir.filePath("site.dxf");
    const DxfDrawing drawing = SiteDxf(Fan(2, 5), SiteViewKind::Plan, 0);
    QFile beside(path + ".part");
    ASSERT_TRUE(beside.open(QIODevice::WriteOnly));
    beside.write("the user's own");
    beside.close();

    ASSERT_EQ(WriteDxf(drawing, path.toStdString(), DxfVersion::R2000), "");
    EXPECT_EQ(ReadDxfBack(path)["version"].toString(), "AC1015");
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner));
    const QFileInfo before(path);
    EXPECT_NE(WriteDxf(drawing, path.toStdString(), DxfVersion::R12), "");
    EXPECT_EQ(ReadDxfBack(path)["version"].toString(), "AC1015");
    EXPECT_EQ(QFileInfo(path).size(), before.size());
    ASSERT_TRUE(beside.open(QIODevice::ReadOnly));
    EXPECT_EQ(beside.readAll(), "the user's own");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);  // no temporary file left
}

// The window and the command line read a picture size alike.
TEST(SiteExport, SizeIsReadAsWidthByHeight) {
    EXPECT_EQ(ParseExportSize("1600x1200"), QSize(1600, 1200));
    EXPECT_EQ(ParseExportSize(" 800 × 600 "), QSize(800, 600));
    EXPECT_EQ(ParseExportSize("640X480"), QSize(640, 480));
    for (const char* bad : {"", "12", "x480", "1600x", "1.5x2", "1234567x10", "-5x10"})
        EXPECT_FALSE(ParseExportSize(QString::fromUtf8(bad))) << bad;
}

// ---- the program without a window ------------------------------------------------

struct GpvRun {
    int code = -1;
    QString errors;
};

GpvRun RunGpv(const QStringList& args, const QString& cacheHome) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CACHE_HOME", cacheHome);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(GPV_PROGRAM, args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QByteArray kExchange =
    "2\r\nA 2\r\nB b 2\r\n\r\n"
    "    1.000000     0.100000    -0.100000    10.000000    20.000000    -3.000000      1 \r\n"
    "    2.000000     0.200000    -0.200000    11.000000    21.000000    -3.100000      0 \r\n\r\n"
    "    1.000000     0.100000    -0.100000     9.000000    20.000000    -3.000000      0 \r\n"
    "    2.000000     0.200000    -0.200000     8.000000    21.000000    -3.100000      2 \r\n\r\n";

TEST(GpvExport, WritesEachFormatAtTheAskedSizeAndReadsTheExchangeFileByDefault) {
    QTemporaryDir dir;
    WriteFile(dir.filePath("sondara/gpv.txt"), kExchange);
    for (const char* view : {"plan", "section", "3d", "deviation"}) {
        const QString png = dir.filePath(QString(view) + ".png");
        const GpvRun r = RunGpv({"--export", view, "--size", "640x480", "-o", png}, dir.path());
        ASSERT_EQ(r.code, 0) << view << r.errors.toStdString();
        EXPECT_EQ(QImage(png).size(), QSize(640, 480)) << view;
    }
    const GpvRun svg = RunGpv({"--export", "section", "--azimuth", "90", "-o", dir.filePath("s.svg")}, dir.path());
    ASSERT_EQ(svg.code, 0) << svg.errors.toStdString();
    QFile svgFile(dir.filePath("s.svg"));
    ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svgFile.readAll().contains("<svg"));
    const GpvRun pdf =
        RunGpv({"--export", "3d", "-o", dir.filePath("t.pdf"), dir.filePath("sondara/gpv.txt")}, dir.path());
    ASSERT_EQ(pdf.code, 0) << pdf.errors.toStdString();
    QFile pdfFile(dir.filePath("t.pdf"));
    ASSERT_TRUE(pdfFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdfFile.read(5) == "%PDF-");
    const GpvRun dxf = RunGpv({"--export", "plan", "-o", dir.filePath("p.dxf")}, dir.path());
    ASSERT_EQ(dxf.code, 0) << dxf.errors.toStdString();
    EXPECT_EQ(LinesOn(ReadDxfBack(dir.filePath("p.dxf")), "HOLE-02-B b").size(), 1);  // a name with a space
}

TEST(GpvExport, BadInputEndsWithCodeOneAndTheReason) {
    QTemporaryDir dir;
    WriteFile(dir.filePath("bad.txt"), "1\r\nA 1\r\n\r\n 1 2 3 x 5 6 0\r\n\r\n");
    const QString out = dir.filePath("out.png");
    struct Case {
        QStringList args;
        const char* reason;
    };
    const Case cases[] = {
        {{QString("--export"), "plan"}, "缺少 -o"},
        {{"--export", "side", "-o", out}, "未知的视图"},
        {{"--export"}, "缺少视图名"},
        {{"--export", "3d", "-o", dir.filePath("x.dxf")}, "DXF 只能导出"},
        {{"--export", "plan", "-o", dir.filePath("x.bmp")}, ".png"},
        {{"--export", "plan", "--size", "12", "-o", out}, "宽x高"},
        {{"--export", "plan", "--size", "50x50", "-o", out}, "超出范围"},
        {{"--export", "plan", "--azimuth", "north", "-o", out}, "方位角"},
        {{"--export", "plan", "--colour", "-o", out}, "未知的选项"},
        {{"--export", "plan", "-o", out, "a.txt", "b.txt"}, "只能读取一个文件"},
        {{"--export", "plan", "-o", out, dir.filePath("bad.txt")}, "第4行"},
        {{"--export", "plan", "-o", out, dir.filePath("absent.bhx")}, "absent.bhx"},
        {{"--export", "plan", "-o", out}, "gpv.txt"},  // no exchange file written yet
        {{"--export", "plan", "-o", dir.filePath("no/such/folder/x.png"), dir.filePath("bad.txt")}, "第4行"},
    };
    for (const Case& c : cases) {
        const GpvRun r = RunGpv(c.args, dir.path());
        EXPECT_EQ(r.code, 1) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.errors.contains(c.reason)) << c.args.join(' ').toStdString() << ": " << r.errors.toStdString();
    }
    EXPECT_FALSE(QFile::exists(out));
    WriteFile(dir.filePath("good.txt"), kExchange);
    const GpvRun unwritable =
        RunGpv({"--export", "plan", "-o", dir.filePath("no/such/folder/x.png"), dir.filePath("good.txt")}, dir.path());
    EXPECT_EQ(unwritable.code, 1);
    EXPECT_TRUE(unwritable.errors.contains("无法写入")) << unwritable.errors.toStdString();
}

}  // namespace
}  // namespace sondara::test
