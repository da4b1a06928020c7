// Opening a survey of a million probe records in the main window and painting the
// first screen of the table, against loading the same file without a window.
#include <benchmark/benchmark.h>

#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <clocale>
#include <cstdlib>

#include "io/survey_file.h"
#include "tests/support/recorded_messages.h"
#include "ui/common/document.h"
#include "ui/mainwindow/main_frame.h"
#include "ui/table/survey_table_view.h"

namespace {

constexpr int kRecords = 1'000'000;
constexpr int kHoles = 10;

// A million probe records, and the same records assembled into ten computed holes.
sondara::SurveyStore MillionRecordSurvey() {
    sondara::SurveyStore store;
    store.m_probeRecords.reserve(kRecords);
    for (int i = 0; i < kRecords; ++i) {
        sondara::ProbeRecord r;
        r.idx = i;
        r.flag = (i % 4 == 0) ? 3 : 0;
        r.inc = -5.0f + 0.25f * float(i % 40);
        r.azi = 120.0f + 0.5f * float(i % 60);
        r.tmp = 21.5f;
        r.GT = 1.0f;
        r.MT = 0.5f;
        r.volt = 3.6f;
        r.depth = 1.5f * float(i % (kRecords / kHoles) / 4);
        r.time = {45352.0 + i / 86400.0, sondara::kTimeValid};
        store.m_probeRecords.push_back(r);
    }
    for (int h = 0; h < kHoles; ++h) {
        sondara::HoleSurvey hole;
        hole.name = u"K" + std::u16string(1, char16_t(u'0' + h));
        hole.pbLen = 1.5f;
        const auto first = store.m_probeRecords.begin() + h * (kRecords / kHoles);
        hole.records.assign(first, first + kRecords / kHoles);
        store.m_holes.push_back(std::move(hole));
    }
    return store;
}

const std::string& SurveyPath() {
    static QTemporaryDir dir;
    static const std::string path = [] {
        const std::string p = (dir.path() + "/million.bhx").toStdString();
        if (!sondara::SaveSurveyFile(MillionRecordSurvey(), p)) std::fprintf(stderr, "cannot save %s\n", p.c_str());
        return p;
    }();
    return path;
}

void BM_LoadFileWithoutWindow(benchmark::State& state) {
    const std::string& path = SurveyPath();
    sondara::SurveyStore store;  // one store, emptied by every open, as the window's is
    for (auto _ : state) {
        if (!sondara::OpenSurveyFiles(store, {path})) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(store.m_holes.data());
    }
}
BENCHMARK(BM_LoadFileWithoutWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_OpenFileAndShowFirstScreen(benchmark::State& state) {
    const QString path = QString::fromStdString(SurveyPath());
    SurveyDocument document;
    CMainFrame frame(document, {false, false, QDir::tempPath() + "/sondara-bench-settings.ini"});
    frame.resize(1200, 800);
    frame.show();
    QApplication::processEvents();
    for (auto _ : state) {
        frame.OpenPaths({path});
        frame.view().viewport()->repaint();  // the first screen, painted now
    }
    state.counters["rows"] = frame.view().model().rowCount();
}
BENCHMARK(BM_OpenFileAndShowFirstScreen)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    sondara::RecordedMessages quiet;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
