// gpv, the group-plot viewer: every hole of a drill site in plan, section, 3D and
// deviation curves. "gpv -L-S" shows the exchange file Sondara writes at its
// trajectory command; "gpv FILE" shows an exchange file or a survey; "gpv --export"
// paints a view into a file without a window (see gpv_export.h).
#include <QApplication>
#include <QTextStream>

#include "gpv_export.h"
#include "gpv_window.h"
#include "io/group_plot_file.h"
#include "ui/common/file_dialogs.h"
#include "ui/common/fonts.h"
#include "ui/common/local_path.h"
#include "ui/common/message_box_sink.h"
#include "ui/common/qt_translations.h"

int main(int argc, char** argv) {
    bool headless = false;
    for (int i = 1; i < argc; ++i) headless = headless || QByteArray(argv[i]) == "--export";
    if (headless) {
        // No window: a display is not needed.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        InstallFontSubstitutions();
        QTextStream errors(stderr);
        return RunHeadlessExport(app.arguments().mid(1), errors);
    }

    QApplication app(argc, argv);
    app.setApplicationName("gpv");
    InstallFontSubstitutions();
    InstallQtTranslations(app);
    GpvWindow window;
    InstallMessageBoxSink(&window);
    CurrentFileDialogSink() = QtFileDialogSink(&window);
    window.show();
    const QStringList args = app.arguments().mid(1);
    for (const QString& a : args) {
        if (a == "-L-S")
            window.Open(QtPath(sondara::GroupPlotFilePath()));
        else
            window.Open(a);
    }
    return app.exec();
}
