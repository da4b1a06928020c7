#include <QApplication>
#include <QMainWindow>

#include "fonts.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    QMainWindow window;
    window.setWindowTitle("Sondara");
    window.resize(1024, 700);
    window.show();
    return app.exec();
}
