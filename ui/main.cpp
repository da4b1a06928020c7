#include <QApplication>
#include <QCommandLineParser>

#include <clocale>

#include "device/termination_watch.h"
#include "ui/common/document.h"
#include "ui/common/file_dialogs.h"
#include "ui/common/fonts.h"
#include "ui/common/message_box_sink.h"
#include "ui/common/qt_translations.h"
#include "ui/mainwindow/main_frame.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Qt takes the user's locale for the C library too; numbers are always written
    // and read with a '.'.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Sondara");
    QApplication::setOrganizationName("Sondara");
    InstallFontSubstitutions();
    InstallQtTranslations(app);

    QCommandLineParser parser;
    parser.setApplicationDescription("煤矿钻孔测斜数据处理");
    parser.addHelpOption();
    parser.addPositionalArgument("file", "要打开的测量数据文件 (.bhx) 或 JSON 文件");
    parser.process(app);

    SurveyDocument document;
    CMainFrame frame(document, {});
    InstallMessageBoxSink(&frame);
    CurrentFileDialogSink() = QtFileDialogSink(&frame);
    frame.resize(1100, 720);
    frame.show();
    if (!parser.positionalArguments().isEmpty()) frame.OpenPaths(parser.positionalArguments());
    // Asked to stop from outside: leave the event loop, so that the window and its
    // serial link close normally and the port's lock is released.
    sondara::TerminationWatch termination;
    QObject::connect(&termination, &sondara::TerminationWatch::terminationRequested, &app,
                     [] { QApplication::exit(0); });
    return app.exec();
}
