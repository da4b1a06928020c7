// sondara-cli plot and report: the plot window's drawings and the printed report,
// painted offscreen by the same code as the desktop program.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <cstdio>
#include <memory>
#include <optional>

#include "commands.h"
#include "core/records.h"
#include "core/stations.h"
#include "io/open_any.h"
#include "ui/common/file_messages.h"
#include "ui/common/fonts.h"
#include "ui/plots/deviation_chart.h"
#include "ui/plots/trajectory_plot.h"
#include "ui/report/report.h"

namespace sondara::cli {
namespace {

// Painting text needs an application object; the tools never show a window.
std::unique_ptr<QApplication> StartQt() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "sondara-cli";
    static char* argv[] = {name, nullptr};
    auto app = std::make_unique<QApplication>(argc, argv);
    InstallFontSubstitutions();
    return app;
}

struct PlotArgs {
    std::string input, output, mode = "deviation";
    int hole = 0;
    int width = 800, height = 800;
};

int Fail(const char* command, const std::string& why) {
    std::fprintf(stderr, "sondara-cli %s: %s\n", command, why.c_str());
    return 1;
}

std::optional<int> ParseInt(const std::string& s) {
    bool ok = false;
    const int v = QString::fromStdString(s).toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

// Reads IN and the options; the message names what is wrong.
std::optional<PlotArgs> ParsePlotArgs(const std::vector<std::string>& args, std::string& error) {
    PlotArgs a;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--hole" || arg == "--mode" || arg == "--size" || arg == "-o") {
            if (!hasValue) {
                error = arg + " needs a value";
                return std::nullopt;
            }
            const std::string value = args[++i];
            if (arg == "-o") {
                a.output = value;
            } else if (arg == "--mode") {
                a.mode = value;
            } else if (arg == "--hole") {
                const auto n = ParseInt(value);
                if (!n || *n < 0) {
                    error = "--hole takes a hole number counted from 0, not '" + value + "'";
                    return std::nullopt;
                }
                a.hole = *n;
            } else {
                static const QRegularExpression size(R"(^(\d{1,5})x(\d{1,5})$)");
                const auto m = size.match(QString::fromStdString(value));
                if (!m.hasMatch() || m.captured(1).toInt() < 1 || m.captured(2).toInt() < 1 ||
                    m.captured(1).toInt() > 10000 || m.captured(2).toInt() > 10000) {
                    error = "--size takes WIDTHxHEIGHT between 1 and 10000 pixels, not '" + value + "'";
                    return std::nullopt;
                }
                a.width = m.captured(1).toInt();
                a.height = m.captured(2).toInt();
            }
        } else if (a.input.empty() && !arg.starts_with("-")) {
            a.input = arg;
        } else {
            error = "unexpected argument '" + arg + "'";
            return std::nullopt;
        }
    }
    if (a.input.empty() || a.output.empty())
        error = "needs IN.bhx and -o OUT";
    else if (a.mode != "deviation" && a.mode != "3d")
        error = "--mode is deviation or 3d, not '" + a.mode + "'";
    if (!error.empty()) return std::nullopt;
    return a;
}

// A survey data file as the open command reads it, or a JSON survey (messages on stderr).
bool Load(SurveyStore& store, const std::string& path) { return ShowFileResult(OpenAnySurvey(store, {path})); }

int RunPlot(const std::vector<std::string>& args) {
    std::string error;
    const auto a = ParsePlotArgs(args, error);
    if (!a) return Fail("plot", error);
    const auto app = StartQt();
    SurveyStore store;
    if (!Load(store, a->input)) return Fail("plot", "cannot read " + a->input);
    const int holes = static_cast<int>(store.m_holes.size());
    if (a->hole >= holes) {
        return Fail("plot", "hole " + std::to_string(a->hole) + " does not exist (the file has " +
                                std::to_string(holes) + " holes, counted from 0)");
    }
    const HoleSurvey& hole = store.m_holes[a->hole];
    if (CountStations(hole.records) == 0) {
        return Fail("plot", "hole " + std::to_string(a->hole) + " has no stations" +
                                (hole.error.empty() ? std::string() : ": " + hole.error));
    }
    QImage image(a->width, a->height, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        const QRect client(0, 0, a->width, a->height);
        if (a->mode == "3d")
            DrawTrajectory3D(painter, QRectF(client), store, a->hole);
        else
            DrawDeviationCurves(painter, client, store, a->hole);
    }
    if (!image.save(QString::fromStdString(a->output), "PNG")) return Fail("plot", "cannot write " + a->output);
    return 0;
}

int RunReport(const std::vector<std::string>& args) {
    std::string input, output;
    int dpi = kReportUnitsPerInch;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size()) {
            output = args[++i];
        } else if (args[i] == "--resolution" && i + 1 < args.size()) {
            const auto n = ParseInt(args[++i]);
            if (!n || *n < 72 || *n > 4800) {
                return Fail("report", "--resolution takes dots per inch from 72 to 4800, not '" + args[i] + "'");
            }
            dpi = *n;
        } else if (input.empty() && !args[i].starts_with("-")) {
            input = args[i];
        } else {
            return Fail("report", "unexpected argument '" + args[i] + "'");
        }
    }
    if (input.empty() || output.empty()) return Fail("report", "needs IN.bhx and -o OUT.pdf");
    const auto app = StartQt();
    SurveyStore store;
    if (!Load(store, input)) return Fail("report", "cannot read " + input);
    if (!WriteReportPdf(QString::fromStdString(output), store, dpi)) return Fail("report", "cannot write " + output);
    return 0;
}

}  // namespace

std::vector<Command> DrawingCommands() {
    return {
        {"plot", "plot IN.bhx --hole N --mode deviation|3d [--size 800x800] -o OUT.png",
         "draws hole N (counted from 0) as the plot window does: deviation charts or the 3D drawing", RunPlot},
        {"report", "report IN.bhx [--resolution DPI] -o OUT.pdf",
         "prints the survey report to a PDF (A4, 600 dpi unless given; the same page at any resolution)", RunReport},
    };
}

}  // namespace sondara::cli
