#include "ui/report/report.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "core/number_text.h"
#include "core/station_columns.h"
#include "core/stations.h"
#include "ui/common/now_text.h"

namespace {

int PagesOf(const sondara::HoleSurvey& hole) {
    return (sondara::CountStations(hole.records) + kReportRowsPerPage - 1) / kReportRowsPerPage;
}

// A font of `points` in report units: the painter's device turns points into its own
// pixels, which the painter's report-unit scale would then scale a second time.
QFont ReportFont(const QPainter& p, const char* face, int points) {
    QFont font(QString::fromUtf8(face));
    const int deviceDpi = p.device()->logicalDpiY();
    font.setPointSizeF(points * qreal(kReportUnitsPerInch) / (deviceDpi > 0 ? deviceDpi : kReportUnitsPerInch));
    return font;
}

// Text with its top-left corner at (x, y).
void TextAt(QPainter& p, int x, int y, const QString& text) {
    p.drawText(QRect(x, y, 1 << 20, 1 << 20), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}

// Text at (x, y), moved left where needed so it ends at `right`, the end of the rules.
void TextEndingBy(QPainter& p, int x, int y, int right, const QString& text) {
    const qreal width = QFontMetricsF(p.font(), p.device()).horizontalAdvance(text);
    TextAt(p, std::min(x, int(std::floor(right - width))), y, text);
}

// A station column of the page: where its title and its values start, and the width
// its values are padded to. The first column, "序号", is the station's ordinal.
struct StationColumnPlace {
    sondara::StationQuantity quantity;
    int titleX;
    int valueX;
    int width;
};

constexpr StationColumnPlace kStationColumns[] = {
    {sondara::StationQuantity::Depth, 350, 280, 5},          {sondara::StationQuantity::MagneticAzimuth, 680, 700, 5},
    {sondara::StationQuantity::Inclination, 1120, 1030, 6},  {sondara::StationQuantity::MagneticDip, 1400, 1450, 5},
    {sondara::StationQuantity::TotalGravity, 1880, 1900, 6}, {sondara::StationQuantity::TotalField, 2360, 2350, 6},
    {sondara::StationQuantity::Temperature, 2800, 2800, 4},  {sondara::StationQuantity::Time, 3500, 3200, 0},
};

void DrawColumnTitles(QPainter& p, const ReportFrame& f) {
    TextAt(p, f.L, f.T + 50, "序号");
    for (const StationColumnPlace& c : kStationColumns)
        TextAt(p, f.L + c.titleX, f.T + 50, QString::fromUtf8(sondara::ColumnOf(c.quantity).title));
}

// The values read as in the table: the report shows what the probe measured, none of
// which depends on the declination.
void DrawRow(QPainter& p, const ReportFrame& f, int y, int ordinal, const sondara::ProbeRecord& r) {
    TextAt(p, f.L, y, QString::fromStdString(sondara::PaddedInt(ordinal, 3)));
    for (const StationColumnPlace& c : kStationColumns)
        TextAt(p, f.L + c.valueX, y, QString::fromStdString(sondara::PaddedStationText(c.quantity, r, 0.0f, c.width)));
}

}  // namespace

ReportFrame ReportFrameFor(int W, int H) { return {W / 22 + 50, W * 20 / 22 + 50, H / 22 + 150, H * 20 / 22 + 30}; }

int ReportPageCount(const sondara::SurveyStore& store) {
    int pages = 0;
    for (const sondara::HoleSurvey& hole : store.m_holes) pages += PagesOf(hole);
    return pages;
}

ReportPageRef LocateReportPage(const sondara::SurveyStore& store, int page) {
    int remaining = page - 1;
    if (remaining < 0) return {};
    for (int h = 0; h < static_cast<int>(store.m_holes.size()); ++h) {
        const int pages = PagesOf(store.m_holes[h]);
        if (remaining < pages) return {h, remaining};
        remaining -= pages;
    }
    return {};
}

QString ReportPrintTime() { return "打印时间 " + LocalNowText(); }

void PaintReportPage(QPainter& p, int W, int H, const sondara::SurveyStore& store, int page, int pageCount,
                     const QString& printTime) {
    const ReportFrame f = ReportFrameFor(W, H);
    p.save();
    p.setPen(Qt::black);
    p.drawLine(f.L, f.T, f.R, f.T);
    p.setFont(ReportFont(p, "宋体", 16));
    TextAt(p, f.L, f.T - 160, "孔号：");
    p.drawLine(f.L, f.B, f.R, f.B);
    p.setFont(ReportFont(p, "楷体_GB2312", 16));
    TextAt(p, f.L, f.B + 30, "矿孔测斜数据");
    // Long page numbers and a wide print time end at the rules' end, not past them.
    TextEndingBy(p, f.R - 700, f.B + 30, f.R, QString::asprintf("第%d页/共%d页", page, pageCount));
    TextEndingBy(p, f.R - 2000, f.T - 160, f.R, printTime);

    p.setFont(ReportFont(p, "楷体_GB2312", 12));
    DrawColumnTitles(p, f);

    const ReportPageRef ref = LocateReportPage(store, page);
    if (ref.hole >= 0) {
        const sondara::HoleSurvey& hole = store.m_holes[ref.hole];
        TextAt(p, f.L + 400, f.T - 140, QString::fromStdU16String(hole.name));
        const int first = ref.pageInHole * kReportRowsPerPage;
        int ordinal = 0;
        for (const sondara::ProbeRecord& r : hole.records) {
            if (!sondara::IsStation(r)) continue;
            const int j = ordinal - first;
            if (j >= kReportRowsPerPage) break;
            if (j >= 0) DrawRow(p, f, f.T + 200 + 200 * j, ordinal, r);
            ++ordinal;
        }
    }
    p.restore();
}

bool PrintSurveyReport(QPrinter& printer, const sondara::SurveyStore& store) {
    const int count = std::max(ReportPageCount(store), 1);
    int from = 1, to = count;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(printer.fromPage(), 1);
        to = std::min(printer.toPage() > 0 ? printer.toPage() : count, count);
    }
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QSize paper = ReportPaperSize(printer);
    const QString printTime = ReportPrintTime();
    ReportUnitsOnDevice(painter, printer);
    for (int n = from; n <= to; ++n) {
        if (n > from) printer.newPage();
        PaintReportPage(painter, paper.width(), paper.height(), store, n, count, printTime);
    }
    return painter.end();
}

QSize ReportPaperSize(const QPrinter& printer) {
    const QSizeF points = printer.paperRect(QPrinter::Point).size();
    return (points * (kReportUnitsPerInch / 72.0)).toSize();
}

void ReportUnitsOnDevice(QPainter& painter, const QPrinter& printer) {
    // Device coordinates from the paper corner, whatever the printer's margins.
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel), page = printer.pageRect(QPrinter::DevicePixel);
    painter.resetTransform();
    painter.translate(paper.left() - page.left(), paper.top() - page.top());
    painter.scale(printer.logicalDpiX() / qreal(kReportUnitsPerInch),
                  printer.logicalDpiY() / qreal(kReportUnitsPerInch));
}

bool WriteReportPdf(const QString& path, const sondara::SurveyStore& store, int dpi) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setResolution(dpi);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setFullPage(true);
    return PrintSurveyReport(printer, store) && QFileInfo(path).exists();
}
