#include <gtest/gtest.h>

#include <QApplication>
#include <QDoubleSpinBox>
#include <QDropEvent>
#include <QMimeData>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "core/survey_pipeline.h"
#include "gpv_window.h"
#include "io/survey_file.h"
#include "site_fixtures.h"
#include "tests/support/recorded_messages.h"

namespace sondara::test {
namespace {

// A point on hole `hole`'s trace in `view`, away from the shared collar.
QPoint PointOnHole(SiteViewWidget* view, const DrillSite& site, int hole, int station = 30) {
    const auto traces = SiteTracesOnScreen(view->kind(), QRectF(view->rect()), site, view->options());
    return traces[std::size_t(hole)].front()[station].toPoint();
}

TEST(GpvWindow, SelectionIsSharedByEveryViewAndTheTables) {
    GpvWindow window;
    EXPECT_EQ(window.windowTitle(), "Vistrel");
    window.SetSite(Fan(3, 40));
    window.resize(1200, 900);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.holeTable()->rowCount(), 3);
    EXPECT_EQ(window.holeTable()->item(1, 0)->text(), "2号孔");
    EXPECT_NEAR(window.azimuthBox()->value(), 65, 0.05);  // the mean design azimuth

    // A click on hole 3 in the plan.
    SiteViewWidget* plan = window.view(SiteViewKind::Plan);
    window.tabs()->setCurrentWidget(plan);
    QTest::mouseClick(plan, Qt::LeftButton, {}, PointOnHole(plan, window.site(), 2));
    EXPECT_EQ(window.selection().current(), 2);
    for (SiteViewKind kind : {SiteViewKind::Plan, SiteViewKind::Section, SiteViewKind::ThreeD, SiteViewKind::Deviation})
        EXPECT_EQ(window.view(kind)->options().selected, 2);
    ASSERT_EQ(window.holeTable()->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(window.holeTable()->selectionModel()->selectedRows().front().row(), 2);
    EXPECT_EQ(window.stationTable()->rowCount(), 40);
    EXPECT_EQ(window.stationTable()->item(9, 6)->text(), "遇煤");

    // A click in the table selects in the views.
    window.holeTable()->setCurrentCell(0, 0);
    EXPECT_EQ(window.selection().current(), 0);
    EXPECT_EQ(window.view(SiteViewKind::ThreeD)->options().selected, 0);

    // The 3D view after a turn, and the deviation view, pick the hole under the click too.
    SiteViewWidget* threeD = window.view(SiteViewKind::ThreeD);
    window.tabs()->setCurrentWidget(threeD);
    QTest::mousePress(threeD, Qt::LeftButton, {}, QPoint(300, 300));
    QTest::mouseMove(threeD, QPoint(360, 320));
    QTest::mouseRelease(threeD, Qt::LeftButton, {}, QPoint(360, 320));
    EXPECT_NE(threeD->camera().yaw, Camera3D{}.yaw);  // a drag turns and selects nothing
    EXPECT_EQ(window.selection().current(), 0);
    QTest::mouseClick(threeD, Qt::LeftButton, {}, PointOnHole(threeD, window.site(), 1));
    EXPECT_EQ(window.selection().current(), 1);
    SiteViewWidget* deviation = window.view(SiteViewKind::Deviation);
    window.tabs()->setCurrentWidget(deviation);
    QTest::mouseClick(deviation, Qt::LeftButton, {}, PointOnHole(deviation, window.site(), 2, 35));
    EXPECT_EQ(window.selection().current(), 2);
    EXPECT_EQ(window.holeTable()->selectionModel()->selectedRows().front().row(), 2);

    // A click on empty paper keeps the selection.
    QTest::mouseClick(plan, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window.selection().current(), 2);

    // The section follows the azimuth box.
    window.azimuthBox()->setValue(120);
    EXPECT_DOUBLE_EQ(window.view(SiteViewKind::Section)->options().sectionAzimuth, 120);
}

// A survey file dropped on the window opens with its design lines and start points,
// which the exchange file does not carry.
TEST(GpvWindow, ADroppedSurveyFileOpensWithItsDesignLines) {
    QTemporaryDir dir;
    SurveyStore store;
    for (const char16_t* name : {u"K1", u"K2"}) {
        HoleSurvey h;
        h.name = std::u16string(name);
        h.pbLen = 1.5f;
        h.e0 = 100;
        h.n0 = 200;
        h.dDip = 3;
        h.dPos = 60;
        for (int i = 0; i < 8; ++i) {
            ProbeRecord r;
            r.flag = kSampled | kStation;
            r.inc = 3;
            r.azi = 60;
            h.records.push_back(r);
        }
        store.m_holes.push_back(h);
        store.m_holeParams.push_back(h.params());
    }
    Recompute(store, SurveyChange::TrajectoryCommand);
    const QString path = dir.filePath("site.bhx");
    ASSERT_TRUE(SaveSurveyFile(store, path.toStdString()).ok());

    GpvWindow window;
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    ASSERT_EQ(window.site().holes.size(), 2u);
    EXPECT_EQ(window.site().holes[1].name, "K2");
    EXPECT_EQ(window.site().holes[0].stations.size(), 8u);
    ASSERT_TRUE(window.site().holes[0].design);
    EXPECT_DOUBLE_EQ(window.site().holes[0].Collar()->x, 100);
    EXPECT_EQ(window.holeTable()->rowCount(), 2);
    EXPECT_EQ(window.site().source, path);

    // A file that does not load is told through the message seam; the site stays.
    RecordedMessages messages;
    EXPECT_FALSE(window.Open(dir.filePath("missing.txt")));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_NE(messages.messages()[0].text.find("missing.txt"), std::string::npos);
    EXPECT_EQ(window.site().holes.size(), 2u);
}

}  // namespace
}  // namespace sondara::test
