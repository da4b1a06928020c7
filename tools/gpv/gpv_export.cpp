#include "gpv_export.h"

#include "io/group_plot_file.h"
#include "ui/common/local_path.h"
#include "ui/drillsite/site_export.h"
#include "ui/drillsite/site_loading.h"

namespace {

struct ExportRequest {
    SiteViewKind kind = SiteViewKind::Plan;
    QSize size{1600, 1200};
    std::optional<double> azimuth;
    QString out, in;
};

// The request, or the reason it cannot be carried out.
QString ParseRequest(const QStringList& args, ExportRequest& r) {
    bool haveKind = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const auto value = [&](QString& v) {
            if (i + 1 >= args.size()) return false;
            v = args[++i];
            return true;
        };
        QString v;
        if (a == "--export") {
            if (!value(v)) return "--export 后缺少视图名（plan、section、3d 或 deviation）";
            if (v == "plan")
                r.kind = SiteViewKind::Plan;
            else if (v == "section")
                r.kind = SiteViewKind::Section;
            else if (v == "3d")
                r.kind = SiteViewKind::ThreeD;
            else if (v == "deviation")
                r.kind = SiteViewKind::Deviation;
            else
                return "未知的视图：" + v + "（可用 plan、section、3d、deviation）";
            haveKind = true;
        } else if (a == "--size") {
            if (!value(v)) return "--size 后缺少尺寸（宽x高）";
            const std::optional<QSize> size = ParseExportSize(v);
            if (!size) return "尺寸应写作 宽x高，例如 1600x1200：" + v;
            r.size = *size;
            if (!ExportSizeAllowed(r.size)) return "尺寸超出范围（100 至 20000 像素）：" + v;
        } else if (a == "--azimuth") {
            bool ok = false;
            if (!value(v)) return "--azimuth 后缺少方位角";
            const double deg = v.toDouble(&ok);
            if (!ok || !std::isfinite(deg)) return "方位角应为数字：" + v;
            r.azimuth = deg;
        } else if (a == "-o") {
            if (!value(r.out)) return "-o 后缺少输出文件名";
        } else if (a.startsWith('-') && a != "-") {
            return "未知的选项：" + a;
        } else if (r.in.isEmpty()) {
            r.in = a;
        } else {
            return "只能读取一个文件：" + a;
        }
    }
    if (!haveKind) return "缺少 --export";
    if (r.out.isEmpty()) return "缺少 -o 输出文件";
    if (!ExportFormatFor(r.out)) return "输出文件应以 .png、.svg、.pdf 或 .dxf 结尾：" + r.out;
    if (ExportFormatFor(r.out) == ExportFormat::Dxf && r.kind != SiteViewKind::Plan && r.kind != SiteViewKind::Section)
        return "DXF 只能导出平面图（plan）和剖面图（section）";
    return {};
}

}  // namespace

int RunHeadlessExport(const QStringList& args, QTextStream& errors) {
    ExportRequest r;
    QString problem = ParseRequest(args, r);
    DrillSite site;
    if (problem.isEmpty()) {
        const QString in = r.in.isEmpty() ? QtPath(sondara::GroupPlotFilePath()) : r.in;
        problem = LoadDrillSite(in, site);
    }
    if (problem.isEmpty()) {
        SiteViewOptions options;
        options.sectionAzimuth = r.azimuth.value_or(MeanDesignAzimuth(site));
        problem = ExportSiteView(site, r.kind, options, r.size, r.out);
    }
    if (problem.isEmpty()) return 0;
    errors << "gpv: " << problem << Qt::endl;
    return 1;
}
