#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>

#include "plot_fixtures.h"
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

}  // namespace
}  // namespace sondara::test
