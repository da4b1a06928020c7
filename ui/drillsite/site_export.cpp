#include "ui/drillsite/site_export.h"

#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

#include "ui/common/local_path.h"

std::optional<ExportFormat> ExportFormatFor(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "png") return ExportFormat::Png;
    if (suffix == "svg") return ExportFormat::Svg;
    if (suffix == "pdf") return ExportFormat::Pdf;
    if (suffix == "dxf") return ExportFormat::Dxf;
    return std::nullopt;
}

namespace {

// AutoCAD colour indexes near the window's hole colours, in the same order.
int AciColour(int index) {
    static const int aci[] = {5, 1, 3, 6, 30, 4, 34, 221, 52, 170, 14, 94};
    constexpr int n = sizeof aci / sizeof aci[0];
    return aci[((index % n) + n) % n];
}

QString FormatFailure(const QString& path, const QString& reason) { return "无法写入文件 " + path + "：" + reason; }

}  // namespace

QString SiteDxfLayer(int index, const QString& name) {
    const QString base = QString("HOLE-%1").arg(index + 1, 2, 10, QChar('0'));
    const std::string ascii = sondara::DxfLayerName(name.toStdString());
    return ascii == "0" ? base : base + "-" + QString::fromStdString(ascii);
}

sondara::DxfDrawing SiteDxf(const DrillSite& site, SiteViewKind kind, double sectionAzimuth) {
    const SectionFrame frame = SectionFor(site, sectionAzimuth);
    const auto toDxf = [&](const SitePoint& p) -> sondara::DxfPoint {
        if (kind == SiteViewKind::Section) return {frame.Along(p), p.z};
        return {p.x, p.y};
    };
    const Extent extent = kind == SiteViewKind::Section ? SectionExtent(site, frame) : PlanExtent(site);
    const double span = extent.empty ? 1 : std::max({extent.maxX - extent.minX, extent.maxY - extent.minY, 1.0});
    const double marker = std::max(0.05, span * 0.004);
    const double textHeight = std::max(0.1, span * 0.012);

    sondara::DxfDrawing d;
    std::vector<std::string> layers;
    for (std::size_t h = 0; h < site.holes.size(); ++h)
        layers.push_back(SiteDxfLayer(int(h), site.holes[h].name).toStdString());
    for (std::size_t h = 0; h < site.holes.size(); ++h) d.layers.push_back({layers[h], AciColour(int(h))});
    d.layers.push_back({"DESIGN", 8});
    d.layers.push_back({"COLLAR", 7});
    d.layers.push_back({"END", 7});
    d.layers.push_back({"NAME", 7});
    for (std::size_t h = 0; h < site.holes.size(); ++h) {
        const SiteHole& hole = site.holes[h];
        sondara::DxfPolyline trace{layers[h], {}};
        for (const SiteStation& s : hole.stations) {
            // A damaged station would write "nan" where a reader expects a number.
            const sondara::DxfPoint q = toDxf(s.at);
            if (std::isfinite(q.x) && std::isfinite(q.y)) trace.points.push_back(q);
        }
        d.polylines.push_back(std::move(trace));
        const auto finite = [](const sondara::DxfPoint& q) { return std::isfinite(q.x) && std::isfinite(q.y); };
        if (hole.design && finite(toDxf(hole.design->from)) && finite(toDxf(hole.design->to)))
            d.polylines.push_back({"DESIGN", {toDxf(hole.design->from), toDxf(hole.design->to)}});
        if (const auto collar = hole.Collar(); collar && finite(toDxf(*collar))) {
            const sondara::DxfPoint c = toDxf(*collar);
            d.circles.push_back({"COLLAR", c, marker});
            d.texts.push_back({"NAME", {c.x + marker * 1.5, c.y + marker * 1.5}, textHeight, hole.name.toStdString()});
        }
        if (const SiteStation* end = hole.End(); end && finite(toDxf(end->at)))
            d.circles.push_back({"END", toDxf(end->at), marker});
    }
    return d;
}

bool ExportSizeAllowed(const QSize& size) {
    return size.width() >= 100 && size.height() >= 100 && size.width() <= 20000 && size.height() <= 20000;
}

std::optional<QSize> ParseExportSize(const QString& text) {
    static const QRegularExpression pattern(R"(^\s*(\d{1,6})\s*[xX×]\s*(\d{1,6})\s*$)");
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch()) return std::nullopt;
    return QSize(m.captured(1).toInt(), m.captured(2).toInt());
}

QString ExportSiteView(const DrillSite& site, SiteViewKind kind, const SiteViewOptions& options, const QSize& size,
                       const QString& path) {
    const std::optional<ExportFormat> format = ExportFormatFor(path);
    if (!format) return "不支持的文件类型：" + path + "（可用 .png、.svg、.pdf、.dxf）";
    if (*format == ExportFormat::Dxf) {
        if (kind != SiteViewKind::Plan && kind != SiteViewKind::Section) return "DXF 只能导出平面图和剖面图";
        const std::string problem =
            sondara::WriteDxf(SiteDxf(site, kind, options.sectionAzimuth), LocalPath(path), sondara::DxfVersion::R2000);
        return problem.empty() ? QString() : FormatFailure(path, QString::fromStdString(problem));
    }
    if (!ExportSizeAllowed(size))
        return QString("图片尺寸 %1x%2 超出范围（100 至 20000 像素）").arg(size.width()).arg(size.height());

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return FormatFailure(path, file.errorString());
    const QRectF area(QPointF(0, 0), QSizeF(size));
    bool painted = false;
    if (*format == ExportFormat::Png) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        PaintSiteView(painter, kind, area, site, options);
        painter.end();
        painted = image.save(&file, "PNG");
    } else if (*format == ExportFormat::Svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(size);
        svg.setViewBox(area);
        svg.setTitle(SiteViewTitle(kind));
        QPainter painter;
        painted = painter.begin(&svg);
        if (painted) PaintSiteView(painter, kind, area, site, options);
        painter.end();
    } else {
        QPdfWriter pdf(&file);
        pdf.setTitle(SiteViewTitle(kind));
        pdf.setResolution(72);  // one point a pixel: the page is the size asked for
        pdf.setPageSize(QPageSize(QSizeF(size), QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        painted = painter.begin(&pdf);
        if (painted) PaintSiteView(painter, kind, area, site, options);
        painter.end();
    }
    if (!painted) {
        file.cancelWriting();
        return FormatFailure(path, "绘制失败");
    }
    if (!file.commit()) return FormatFailure(path, file.errorString());
    return {};
}
