#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "plot_fixtures.h"
#include "tests/support/recorded_file_dialogs.h"
#include "tests/support/recorded_messages.h"
#include "ui/common/document.h"
#include "ui/plots/plot_window.h"

namespace sondara::test {
namespace {

void Fill(SurveyDocument& doc, const std::vector<std::string>& names) {
    doc.store().m_holes.clear();
    for (const std::string& n : names) doc.store().m_holes.push_back(RampHole(n, 5));
}

struct Window {
    explicit Window(SurveyDocument& doc) : frame(new CPlottingFrame(doc, nullptr)) {
        frame->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(frame));
    }
    ~Window() { delete frame; }
    CPlottingFrame* frame;
};

TEST(PlotWindow, OpensOnHoleZeroInDeviationModeAt800By800) {
    SurveyDocument doc;
    Fill(doc, {"A", "B"});
    Window w(doc);
    EXPECT_EQ(w.frame->windowTitle(), "孔眼轨迹示意图");
    EXPECT_EQ(w.frame->size(), QSize(800, 800));
    EXPECT_EQ(w.frame->view()->holeIndex(), 0);
    EXPECT_FALSE(w.frame->view()->show3D());
    EXPECT_EQ(w.frame->selector()->holeName(), "A");
    EXPECT_EQ(w.frame->selector()->modeButton()->text(), "3D");
}

TEST(PlotWindow, StepsByNameAndStopsSilentlyAtEitherEnd) {
    RecordedMessages messages;
    SurveyDocument doc;
    Fill(doc, {"A", "B", "A"});
    Window w(doc);
    auto* next = w.frame->selector()->nextButton();
    auto* previous = w.frame->selector()->previousButton();
    // The name A is found last at index 2: "下一孔" does nothing.
    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_EQ(w.frame->view()->holeIndex(), 0);
    // "上一孔" goes from that 2 to B.
    QTest::mouseClick(previous, Qt::LeftButton);
    EXPECT_EQ(w.frame->view()->holeIndex(), 1);
    EXPECT_EQ(w.frame->selector()->holeName(), "B");
    QTest::mouseClick(previous, Qt::LeftButton);
    EXPECT_EQ(w.frame->view()->holeIndex(), 0);
    QTest::mouseClick(previous, Qt::LeftButton);  // index 2 again, by name
    EXPECT_EQ(w.frame->view()->holeIndex(), 1);

    Fill(doc, {"A", "B", "C"});
    w.frame->selector()->setHoleName("A");
    QTest::mouseClick(previous, Qt::LeftButton);  // first hole: nothing
    EXPECT_EQ(w.frame->selector()->holeName(), "A");
    QTest::mouseClick(next, Qt::LeftButton);
    QTest::mouseClick(next, Qt::LeftButton);
    QTest::mouseClick(next, Qt::LeftButton);  // last hole: nothing
    EXPECT_EQ(w.frame->view()->holeIndex(), 2);
    EXPECT_TRUE(messages.messages().empty());
}

TEST(PlotWindow, RenamedHole_ReportsNoParametersAndStaysPut) {
    RecordedMessages messages;
    SurveyDocument doc;
    Fill(doc, {"A", "B"});
    Window w(doc);
    doc.store().m_holes[0].name = u"A2";
    doc.UpdateAllViews();
    QTest::mouseClick(w.frame->selector()->nextButton(), Qt::LeftButton);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "无该孔初始参数！");
    EXPECT_EQ(messages.messages()[0].caption, "错误");
    EXPECT_EQ(messages.messages()[0].icon, MessageIcon::Error);
    EXPECT_EQ(w.frame->view()->holeIndex(), 0);
}

TEST(PlotWindow, ModeButtonTogglesAndEachWindowKeepsItsOwnHoleAndMode) {
    SurveyDocument doc;
    Fill(doc, {"A", "B"});
    Window first(doc), second(doc);
    QPushButton* mode = first.frame->selector()->modeButton();
    QTest::mouseClick(mode, Qt::LeftButton);
    EXPECT_TRUE(first.frame->view()->show3D());
    EXPECT_EQ(mode->text(), "2D");
    QTest::mouseClick(second.frame->selector()->nextButton(), Qt::LeftButton);
    EXPECT_EQ(second.frame->view()->holeIndex(), 1);
    EXPECT_FALSE(second.frame->view()->show3D());
    EXPECT_EQ(first.frame->view()->holeIndex(), 0);
    QTest::mouseClick(mode, Qt::LeftButton);
    EXPECT_FALSE(first.frame->view()->show3D());
    EXPECT_EQ(mode->text(), "3D");
    EXPECT_EQ(first.frame->view()->holeIndex(), 0);
}

TEST(PlotWindow, HoleWithoutStations_ToldOncePerHoleAndUpdateNotOnEveryRepaint) {
    RecordedMessages messages;
    SurveyDocument doc;
    Fill(doc, {"A"});
    doc.store().m_holes[0].records.clear();
    doc.store().m_holes[0].error = "无有效孔身数据！";
    Window w(doc);
    for (int i = 0; i < 3; ++i) {
        w.frame->view()->repaint();
        QCoreApplication::processEvents();
    }
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "无有效孔身数据！");
    EXPECT_EQ(messages.messages()[0].caption, "错误");
    // A document update is a new state worth telling.
    doc.UpdateAllViews();
    w.frame->view()->repaint();
    QCoreApplication::processEvents();
    EXPECT_EQ(messages.messages().size(), 2u);
}

TEST(PlotWindow, HoleWithoutStationsOrRefusalText_IsToldItHasNoSurveyData) {
    RecordedMessages messages;
    SurveyDocument doc;
    Fill(doc, {"A"});
    doc.store().m_holes[0].records.clear();
    Window w(doc);
    w.frame->view()->repaint();
    QCoreApplication::processEvents();
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "无该孔测斜数据！");
}

TEST(PlotWindow, DocumentUpdateRepaintsAndAReloadWithFewerHolesShowsTheMissingState) {
    RecordedMessages messages;
    SurveyDocument doc;
    Fill(doc, {"A", "B"});
    Window w(doc);
    QTest::mouseClick(w.frame->selector()->nextButton(), Qt::LeftButton);
    Fill(doc, {"X"});
    doc.UpdateAllViews();
    w.frame->view()->repaint();
    EXPECT_EQ(w.frame->view()->lastOutcome(), PlotOutcome::NoSuchHole);
    EXPECT_EQ(w.frame->view()->holeIndex(), 1);  // not adjusted by the update
    EXPECT_TRUE(messages.messages().empty());
}

TEST(PlotWindow, StepButtons_DisabledWhereAClickCannotStep) {
    SurveyDocument doc;
    Fill(doc, {"A", "B", "C"});
    Window w(doc);
    auto* next = w.frame->selector()->nextButton();
    auto* previous = w.frame->selector()->previousButton();
    EXPECT_FALSE(previous->isEnabled());
    EXPECT_TRUE(next->isEnabled());
    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_TRUE(previous->isEnabled());
    EXPECT_TRUE(next->isEnabled());
    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_EQ(w.frame->view()->holeIndex(), 2);
    EXPECT_TRUE(previous->isEnabled());
    EXPECT_FALSE(next->isEnabled());
    // A reload with more holes enables the step again; a name no hole has keeps both
    // enabled so that a click can say so.
    Fill(doc, {"A", "B", "C", "D"});
    doc.UpdateAllViews();
    EXPECT_TRUE(next->isEnabled());
    Fill(doc, {"X"});
    doc.UpdateAllViews();
    EXPECT_TRUE(previous->isEnabled());
    EXPECT_TRUE(next->isEnabled());
    // Duplicate names: the current hole is the last one named alike.
    Fill(doc, {"A", "B", "A"});
    w.frame->selector()->setHoleName("A");
    EXPECT_FALSE(next->isEnabled());
    EXPECT_TRUE(previous->isEnabled());
}

// The picture written is the one shown: same size, same pixels as the window paints.
TEST(PlotWindow, FileMenu_SavesThePictureAsPngSvgAndPdfAndPrints) {
    SurveyDocument doc;
    Fill(doc, {"A", "B"});
    Window w(doc);
    QTemporaryDir dir;
    QStringList menu;
    for (QAction* a : w.frame->menuBar()->actions().front()->menu()->actions())
        if (!a->isSeparator()) menu << a->text();
    EXPECT_EQ(menu, QStringList({"保存图片(&S)...", "打印(&P)...", "关闭(&C)"}));

    RecordedFileDialogs files;
    files.Answer({dir.path() + "/plot.png"});
    w.frame->menuBar()->actions().front()->menu()->actions().front()->trigger();
    ASSERT_EQ(files.requests().size(), 1u);
    EXPECT_EQ(files.requests()[0].kind, FileDialogKind::SaveFile);
    QImage saved(dir.path() + "/plot.png");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), w.frame->view()->size());
    QImage shown(w.frame->view()->size(), QImage::Format_RGB32);
    shown.fill(Qt::white);
    {
        QPainter painter(&shown);
        w.frame->view()->Paint(painter, shown.rect());
    }
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), shown);

    const std::pair<const char*, QByteArray> vectors[] = {{"plot.svg", "<?xml"}, {"plot.pdf", "%PDF"}};
    for (const auto& [name, magic] : vectors) {
        const QString path = dir.path() + "/" + name;
        ASSERT_TRUE(w.frame->SavePicture(path)) << name;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(bytes.startsWith(magic)) << name;
        EXPECT_GT(bytes.size(), 1000) << name << ": the drawing is in it";
    }
    EXPECT_FALSE(w.frame->SavePicture(dir.path() + "/missing-folder/plot.png"));

    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.path() + "/printed.pdf");
    w.frame->PrintPicture(printer);
    EXPECT_GT(QFileInfo(dir.path() + "/printed.pdf").size(), 1000);
}

TEST(PlotWindow, OpensInFrontAndFitsTheScreen) {
    EXPECT_EQ(FittedPlotWindowSize({800, 800}, {0, 0, 1920, 1080}, {8, 32, 8, 8}), QSize(800, 800));
    EXPECT_EQ(FittedPlotWindowSize({800, 800}, {0, 0, 1366, 728}, {8, 32, 8, 8}), QSize(800, 688));
    EXPECT_EQ(FittedPlotWindowSize({800, 800}, {0, 0, 640, 480}, {8, 32, 8, 8}), QSize(624, 440));

    SurveyDocument doc;
    Fill(doc, {"A"});
    CPlottingFrame* frame = OpenPlotWindow(doc, nullptr);
    EXPECT_TRUE(frame->isVisible());
    const QRect available = frame->screen()->availableGeometry();
    EXPECT_TRUE(available.contains(frame->geometry())) << "the window lies inside the screen";
    delete frame;
}

}  // namespace
}  // namespace sondara::test
