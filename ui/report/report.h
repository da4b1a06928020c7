#pragma once
// The printed survey report "矿孔测斜数据": every hole's stations as rows of measured
// values, 29 to a page, under a fixed frame with the hole name, page number and print
// time. The page is laid out in report units of 1/600 inch, which the painter maps to
// the device's own resolution, so every printer, preview and PDF gets the same page.

#include <QSize>
#include <QString>

#include "core/records.h"

class QPainter;
class QPrinter;

inline constexpr int kReportRowsPerPage = 29;
inline constexpr int kReportUnitsPerInch = 600;

// The page frame for a physical page of W × H report units.
struct ReportFrame {
    int L = 0, R = 0, T = 0, B = 0;
};
ReportFrame ReportFrameFor(int W, int H);

// Pages of the report: each hole with stations takes ceil(stations / 29) pages, a hole
// without stations none. (Counting the stations that are printed, not the sampled
// records, so unticked or extra stations neither add blank pages nor lose pages.)
int ReportPageCount(const sondara::SurveyStore& store);

// The hole and the page within it (both 0-based) of report page `page` (1-based);
// hole −1 when the report has no such page.
struct ReportPageRef {
    int hole = -1;
    int pageInHole = 0;
};
ReportPageRef LocateReportPage(const sondara::SurveyStore& store, int page);

// "打印时间 " and the local time now.
QString ReportPrintTime();

// Draws page `page` of `pageCount` on a W × H page in report units; the painter maps
// report units to its device (see ReportUnitsOnDevice). A page that names no hole gets
// the frame alone (the report of a survey without stations is that one page).
void PaintReportPage(QPainter& painter, int W, int H, const sondara::SurveyStore& store, int page, int pageCount,
                     const QString& printTime);

// The paper of `printer` in report units: A4 is 4958 × 7017 at any resolution.
QSize ReportPaperSize(const QPrinter& printer);

// Sets `painter`, open on `printer`, to draw in report units from the paper corner,
// whatever the printer's resolution and margins.
void ReportUnitsOnDevice(QPainter& painter, const QPrinter& printer);

// Prints the pages the printer's range asks for (all when it names none), one page
// of frame alone when there is nothing to print.
// False when the printer cannot be opened.
bool PrintSurveyReport(QPrinter& printer, const sondara::SurveyStore& store);

// The report as a PDF on A4 at `dpi` dots per inch (the same page at any resolution).
bool WriteReportPdf(const QString& path, const sondara::SurveyStore& store, int dpi = kReportUnitsPerInch);
