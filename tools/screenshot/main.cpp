// sondara-screenshot: the main window with a survey loaded, painted offscreen into a
// PNG file, for the README.
//
//   sondara-screenshot OUT.png [SURVEY.bhx|SURVEY.json]
//
// Without a survey file it shows the survey sondara-sim serves by default: three
// holes, assembled, with parameters and computed stations.

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>

#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "core/derived.h"
#include "core/survey_pipeline.h"
#include "sim_survey.h"
#include "ui/common/document.h"
#include "ui/common/fonts.h"
#include "ui/common/messages.h"
#include "ui/common/qt_translations.h"
#include "ui/mainwindow/command_ids.h"
#include "ui/mainwindow/main_frame.h"

namespace {

void LoadSimulatorSurvey(sondara::SurveyStore& store) {
    sondara::sim::SimSurvey survey = sondara::sim::GenerateSurvey(120, 120, 3);
    store.m_probeRecords = std::move(survey.probe);
    store.m_syncRecords = std::move(survey.sync);
    for (int h = 0; h < 3; ++h) {
        sondara::HoleParams p;
        p.name = u"K" + std::u16string(1, char16_t(u'1' + h));
        p.pbLen = 1.5f;
        p.dDip = -3.0f;
        p.gi = 5.0f;
        p.dPos = sondara::StoredDesignAzimuth(125.0f, p.gi);
        store.m_holeParams.push_back(p);
    }
    sondara::Recompute(store, sondara::SurveyChange::Loaded);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: sondara-screenshot OUT.png [SURVEY.bhx|SURVEY.json]\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    InstallFontSubstitutions();
    InstallQtTranslations(app);

    QTemporaryDir settings;
    SurveyDocument document;
    CMainFrame frame(document, {false, false, settings.path() + "/settings.ini"});
    frame.resize(1280, 760);
    frame.show();
    if (argc > 2) {
        frame.OpenPaths({QString::fromLocal8Bit(argv[2])});
    } else {
        LoadSimulatorSurvey(document.store());
        frame.SetStatusText("数据读取完成");
        frame.SetProgress(100);
    }
    frame.action(command::kShowSampled)->trigger();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    if (!frame.grab().toImage().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "sondara-screenshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
