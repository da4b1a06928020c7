// The entry point of the benchmarks that paint: a Qt application (offscreen unless told
// otherwise) with the program's font substitutions, so they draw what the window draws.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "ui/common/fonts.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
