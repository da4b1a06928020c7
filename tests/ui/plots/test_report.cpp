#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <map>

#include "core/time_seam.h"
#include "plot_fixtures.h"
#include "ui/report/report.h"

namespace sondara::test {
namespace {

// Hole A: 150 stations with a sampled non-station record after every tenth; hole U:
// sampled records that were all unticked; hole B: 30 stations.
SurveyStore ReportStore() {
    SurveyStore store;
    HoleSurvey a = MakeHole("A", {});
    for (int i = 0; i < 150; ++i) {
        a.records.push_back(MakeStation({float(i)}));
        if (i % 10 == 0) a.records.push_back(MakeStation({-1}, kSampled));
    }
    HoleSurvey u = MakeHole("U", {});
    for (int i = 0; i < 40; ++i) u.records.push_back(MakeStation({float(i)}, kSampled));
    store.m_holes = {a, u, RampHole("B", 30)};
    return store;
}

TEST(ReportLayout, FrameOnA4At600Dpi) {
    const ReportFrame f = ReportFrameFor(4960, 7016);
    EXPECT_EQ(f.L, 275);
    EXPECT_EQ(f.R, 4559);
    EXPECT_EQ(f.T, 468);
    EXPECT_EQ(f.B, 6408);
    EXPECT_LT(f.T + 200 + 200 * 28, f.B);  // the 29th row, 6268, above the bottom rule
}

TEST(ReportLayout, PagesComeFromPrintedStations) {
    const SurveyStore store = ReportStore();
    EXPECT_EQ(ReportPageCount(store), 6 + 0 + 2);
    struct Case {
        int page, hole, pageInHole;
    };
    const Case cases[] = {{1, 0, 0}, {6, 0, 5}, {7, 2, 0}, {8, 2, 1}, {9, -1, 0}, {0, -1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        const ReportPageRef r = LocateReportPage(store, c.page);
        EXPECT_EQ(r.hole, c.hole);
        if (c.hole >= 0) {
            EXPECT_EQ(r.pageInHole, c.pageInHole);
        }
    }
    SurveyStore exact;
    exact.m_holes = {RampHole("E", 29)};
    EXPECT_EQ(ReportPageCount(exact), 1);
    EXPECT_EQ(ReportPageCount(SurveyStore{}), 0);
}

struct Word {
    int page;
    double x, y;  // top-left in report units (1/600 inch)
    QString text;
    double right = 0, bottom = 0;
};

std::vector<Word> ReadWords(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-bbox", pdf, "-"});
    EXPECT_TRUE(p.waitForFinished(30000));
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    std::vector<Word> words;
    int page = 0;
    static const QRegularExpression token(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (auto it = token.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith("<page")) {
            ++page;
            continue;
        }
        const auto units = [&](int i) { return m.captured(i).toDouble() / 72 * 600; };
        words.push_back({page, units(1), units(2), m.captured(5), units(3), units(4)});
    }
    return words;
}

const Word* Find(const std::vector<Word>& words, int page, const QString& text) {
    for (const Word& w : words)
        if (w.page == page && w.text == text) return &w;
    return nullptr;
}

TEST(ReportPdf, PrintsEveryStationOnceAtItsRowUnderTheFixedFrame) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext (poppler-utils) missing";
    ScopedTimeSeam seam(FixedTimeSeam(8 * 3600, 1709251200));  // 2024-03-01 08:00 local
    QTemporaryDir dir;
    const QString pdf = dir.filePath("report.pdf");
    ASSERT_TRUE(WriteReportPdf(pdf, ReportStore()));
    const std::vector<Word> words = ReadWords(pdf);

    // A4 at 600 dpi in PDF: 4958 × 7017.
    const ReportFrame f = ReportFrameFor(4958, 7017);
    const double tolerance = 40;  // font ascent against glyph box, in device pixels
    const Word* title = Find(words, 1, "序号");
    ASSERT_TRUE(title);
    EXPECT_NEAR(title->x, f.L, tolerance);
    EXPECT_NEAR(title->y, f.T + 50, tolerance);
    const Word* depthTitle = Find(words, 1, "孔深");
    ASSERT_TRUE(depthTitle);
    EXPECT_NEAR(depthTitle->x, f.L + 350, tolerance);
    const Word* pageNo = Find(words, 8, "第8页/共8页");
    ASSERT_TRUE(pageNo);
    EXPECT_NEAR(pageNo->x, f.R - 700, tolerance);
    EXPECT_NEAR(pageNo->y, f.B + 30, tolerance);
    const Word* printed = Find(words, 3, "打印时间");
    ASSERT_TRUE(printed);
    EXPECT_NEAR(printed->x, f.R - 2000, tolerance);
    EXPECT_TRUE(Find(words, 3, "2024-03-01"));
    const Word* name = Find(words, 7, "B");
    ASSERT_TRUE(name);
    EXPECT_NEAR(name->x, f.L + 400, tolerance);
    EXPECT_NEAR(name->y, f.T - 140, tolerance);

    // The ordinal column: page → ordinals in row order.
    std::map<int, std::vector<int>> ordinals;
    for (const Word& w : words) {
        if (w.x < f.L + 200 && w.y > f.T + 150 && w.y < f.B) {
            const int row = int((w.y - (f.T + 200) + 100) / 200);
            EXPECT_EQ(int(ordinals[w.page].size()), row) << "page " << w.page;
            ordinals[w.page].push_back(w.text.toInt());
        }
    }
    ASSERT_EQ(ordinals.size(), 8u);
    EXPECT_EQ(ordinals[1].front(), 0);
    EXPECT_EQ(ordinals[1].back(), 28);
    EXPECT_EQ(ordinals[6], (std::vector<int>{145, 146, 147, 148, 149}));
    EXPECT_EQ(ordinals[7].front(), 0);
    EXPECT_EQ(ordinals[7].size(), 29u);
    EXPECT_EQ(ordinals[8], (std::vector<int>{29}));
    // Non-station records (depth −1) are never printed.
    for (const Word& w : words) EXPECT_NE(w.text, "-1.0");
}

TEST(ReportPdf, PageRangeOfThePrintDialog_PrintsOnlyThosePages) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext (poppler-utils) missing";
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("range.pdf"));
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(6, 7);
    ASSERT_TRUE(PrintSurveyReport(printer, ReportStore()));
    const std::vector<Word> words = ReadWords(dir.filePath("range.pdf"));
    EXPECT_TRUE(Find(words, 1, "第6页/共8页"));
    EXPECT_TRUE(Find(words, 2, "第7页/共8页"));
    EXPECT_TRUE(Find(words, 2, "B"));
    for (const Word& w : words) EXPECT_LE(w.page, 2);
}

// Every word of `words` at the place, and with the extent, of the same word in `reference`.
void ExpectSamePage(const std::vector<Word>& reference, const std::vector<Word>& words) {
    ASSERT_EQ(words.size(), reference.size());
    const double tolerance = 0.05 / 72 * 600;  // a twentieth of a point
    for (std::size_t i = 0; i < words.size(); ++i) {
        const Word &a = reference[i], &b = words[i];
        SCOPED_TRACE(testing::Message() << "page " << a.page << " word " << a.text.toStdString());
        ASSERT_EQ(b.page, a.page);
        ASSERT_EQ(b.text, a.text);
        EXPECT_NEAR(b.x, a.x, tolerance);
        EXPECT_NEAR(b.y, a.y, tolerance);
        EXPECT_NEAR(b.right, a.right, tolerance);
        EXPECT_NEAR(b.bottom, a.bottom, tolerance);
    }
}

TEST(ReportPdf, AnyResolution_PrintsTheSamePageAndTheWindowsPrinterToo) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext (poppler-utils) missing";
    ScopedTimeSeam seam(FixedTimeSeam(8 * 3600, 1709251200));
    QTemporaryDir dir;
    SurveyStore store = ReportStore();
    store.m_holes[2].name = u"孔B-12";
    ASSERT_TRUE(WriteReportPdf(dir.filePath("600.pdf"), store, 600));
    const std::vector<Word> reference = ReadWords(dir.filePath("600.pdf"));
    ASSERT_GT(reference.size(), 500u);
    for (int dpi : {72, 300, 1200}) {
        SCOPED_TRACE(dpi);
        const QString pdf = dir.filePath(QString::number(dpi) + ".pdf");
        ASSERT_TRUE(WriteReportPdf(pdf, store, dpi));
        ExpectSamePage(reference, ReadWords(pdf));
    }
    // The printer of the window's print and preview commands: its own high resolution,
    // with the margins a real printer keeps.
    QPrinter window(QPrinter::HighResolution);
    window.setOutputFormat(QPrinter::PdfFormat);
    window.setOutputFileName(dir.filePath("window.pdf"));
    window.setPageSize(QPageSize(QPageSize::A4));
    window.setPageMargins(QMarginsF(12, 15, 9, 11), QPageLayout::Millimeter);
    ASSERT_NE(window.resolution(), 600);
    ASSERT_TRUE(PrintSurveyReport(window, store));
    ExpectSamePage(reference, ReadWords(dir.filePath("window.pdf")));
}

// The page number and the print time end by the end of the rules, however many pages.
TEST(ReportPdf, RightHandTextsEndWithinTheRules) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext (poppler-utils) missing";
    ScopedTimeSeam seam(FixedTimeSeam(8 * 3600, 1709251200));
    QTemporaryDir dir;
    SurveyStore store;
    store.m_holes = {RampHole("A", 29 * 1234)};
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("long.pdf"));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(1233, 1234);
    ASSERT_TRUE(PrintSurveyReport(printer, store));
    const std::vector<Word> words = ReadWords(dir.filePath("long.pdf"));
    const ReportFrame f = ReportFrameFor(4958, 7017);
    const Word* pageNo = Find(words, 2, "第1234页/共1234页");
    ASSERT_TRUE(pageNo);
    const double tolerance = 20;  // the glyph box against the advance, in report units
    EXPECT_LE(pageNo->right, f.R + tolerance);
    EXPECT_GT(pageNo->right, f.R - 100);
    EXPECT_NEAR(pageNo->y, f.B + 30, 40);
    for (const Word& w : words) EXPECT_LE(w.right, f.R + tolerance) << w.text.toStdString();
}

TEST(ReportPdf, SurveyWithoutStations_IsOneFramePage) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext (poppler-utils) missing";
    QTemporaryDir dir;
    const QString pdf = dir.filePath("empty.pdf");
    ASSERT_TRUE(WriteReportPdf(pdf, SurveyStore{}));
    const std::vector<Word> words = ReadWords(pdf);
    EXPECT_TRUE(Find(words, 1, "第1页/共1页"));
    EXPECT_TRUE(Find(words, 1, "矿孔测斜数据"));
    for (const Word& w : words) EXPECT_EQ(w.page, 1);
}

// Paper and screen agree: a value half-way between two printed ones is rounded the
// way the table rounds it (the exact binary value, ties to the even digit), and a
// negative value that rounds to zero keeps its sign there too.
TEST(ReportPdf, ValuesReadAsInTheTable) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext (poppler-utils) missing";
    ProbeRecord r = MakeStation({2.25f});
    r.inc = 0.125f;
    r.DIP = -0.04f;
    HoleSurvey hole = MakeHole("T", {});
    hole.records = {r};
    SurveyStore store;
    store.m_holes = {hole};
    QTemporaryDir dir;
    ASSERT_TRUE(WriteReportPdf(dir.filePath("ties.pdf"), store));
    const std::vector<Word> words = ReadWords(dir.filePath("ties.pdf"));
    EXPECT_TRUE(Find(words, 1, "2.2"));
    EXPECT_TRUE(Find(words, 1, "0.12"));
    EXPECT_TRUE(Find(words, 1, "-0.0"));
    EXPECT_FALSE(Find(words, 1, "2.3"));
}

}  // namespace
}  // namespace sondara::test
