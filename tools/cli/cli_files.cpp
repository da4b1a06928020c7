// File commands of sondara-cli: the same open, import, save, export and exchange-file
// code the desktop program runs, for batch work. Messages the desktop program shows
// in a box go to stderr with the same text.

#include <clocale>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "commands.h"
#include "core/survey_pipeline.h"
#include "core/text.h"
#include "io/group_plot_file.h"
#include "io/json_import.h"
#include "io/open_any.h"
#include "io/save_as.h"
#include "ui/common/file_messages.h"

namespace sondara::cli {
namespace {

struct Arguments {
    std::vector<std::string> inputs;
    std::string output;  // after -o
    bool help = false;
    bool ok = true;
};

Arguments Parse(const std::vector<std::string>& args) {
    Arguments a;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-h" || args[i] == "--help") {
            a.help = true;
        } else if (args[i] == "-o") {
            if (i + 1 == args.size() || !a.output.empty())
                a.ok = false;
            else
                a.output = args[++i];
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            std::fprintf(stderr, "sondara-cli: unknown option '%s'\n", args[i].c_str());
            a.ok = false;
        } else {
            a.inputs.push_back(args[i]);
        }
    }
    return a;
}

enum class Output { Required, Optional, None };

// Checks the argument counts; prints the usage on --help or a mistake.
bool Usable(const Arguments& a, const char* usage, Output output, bool manyInputs, int& status) {
    if (a.help) {
        std::printf("usage: sondara-cli %s\n", usage);
        status = 0;
        return false;
    }
    const bool countOk = manyInputs ? !a.inputs.empty() : a.inputs.size() == 1;
    const bool outputOk = output == Output::Optional || (output == Output::Required) == !a.output.empty();
    if (!a.ok || !countOk || !outputOk) {
        std::fprintf(stderr, "usage: sondara-cli %s\n", usage);
        status = 1;
        return false;
    }
    return true;
}

// Saves as the window does, except that nobody is asked: names the survey data file
// cannot keep whole are shortened and listed on stderr; names that would collide
// once shortened fail the command, as does a read-only target.
int Save(const SurveyStore& store, const std::string& path) {
    return ShowFileResult(SaveAs(store, path, LongNames::Shorten)) ? 0 : 1;
}

int ImportJson(const std::vector<std::string>& args) {
    const Arguments a = Parse(args);
    int status = 0;
    if (!Usable(a, "import-json SURVEY.json -o OUT.bhx", Output::Required, false, status)) return status;
    SurveyStore store;
    if (!ShowFileResult(ImportJsonFile(store, a.inputs[0]))) return 1;
    return Save(store, a.output);
}

int Open(const std::vector<std::string>& args) {
    const Arguments a = Parse(args);
    int status = 0;
    if (!Usable(a, "open A.bhx [B.bhx ...] -o OUT.bhx", Output::Required, true, status)) return status;
    SurveyStore store;
    if (!ShowFileResult(OpenAnySurvey(store, a.inputs))) return 1;
    return Save(store, a.output);
}

int Export(const std::vector<std::string>& args) {
    const Arguments a = Parse(args);
    int status = 0;
    if (!Usable(a, "export IN.bhx -o OUT.xlsx", Output::Required, false, status)) return status;
    SurveyStore store;
    if (!ShowFileResult(OpenAnySurvey(store, a.inputs))) return 1;
    return Save(store, a.output);
}

int GroupPlot(const std::vector<std::string>& args) {
    const Arguments a = Parse(args);
    int status = 0;
    if (!Usable(a, "gpv IN.bhx [-o OUT.txt]", Output::Optional, false, status)) return status;
    std::setlocale(LC_CTYPE, "");  // the exchange file is in the user's code set
    SurveyStore store;
    if (!ShowFileResult(OpenAnySurvey(store, a.inputs))) return 1;
    Recompute(store, SurveyChange::TrajectoryCommand);
    const bool written =
        ShowFileResult(a.output.empty() ? WriteGroupPlotFile(store) : WriteGroupPlotFile(store, a.output));
    if (written && a.output.empty()) std::fprintf(stderr, "%s\n", GroupPlotFilePath().c_str());
    return written ? 0 : 1;
}

// ---- dump -----------------------------------------------------------------------

// Appends JSON text for the store. Floats read back to the same float ("%.9g"),
// doubles to the same double ("%.17g"); non-finite values are the strings "nan",
// "inf" and "-inf".
class JsonOut {
public:
    std::string text;

    void Raw(const char* s) { text += s; }
    void Key(const char* key) {
        Comma();
        String(key);
        text += ':';
        first_ = true;  // the value that follows takes no comma
        afterKey_ = true;
    }
    void Number(double v, const char* format) {
        Comma();
        if (std::isnan(v))
            text += "\"nan\"";
        else if (std::isinf(v))
            text += v > 0 ? "\"inf\"" : "\"-inf\"";
        else
            Append(format, v);
    }
    void Float(float v) { Number(v, "%.9g"); }
    void Double(double v) { Number(v, "%.17g"); }
    void Int(long long v) {
        Comma();
        text += std::to_string(v);
    }
    void Text(const std::string& utf8) {
        Comma();
        String(utf8.c_str());
    }
    void Open(char bracket) {
        Comma();
        text += bracket;
        first_ = true;
    }
    // Starts the next element of an array on a line of its own.
    void NextLine() {
        if (!first_) text += ',';
        text += '\n';
        first_ = true;
    }
    void Close(char bracket) {
        text += bracket;
        first_ = false;
    }

private:
    void Comma() {
        if (!first_ && !afterKey_) text += ',';
        first_ = false;
        afterKey_ = false;
    }
    void Append(const char* format, double v) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, format, v);
        text += buffer;
    }
    void String(const char* s) {
        text += '"';
        for (; *s != '\0'; ++s) {
            const auto c = static_cast<unsigned char>(*s);
            if (c == '"' || c == '\\') {
                text += '\\';
                text += static_cast<char>(c);
            } else if (c < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                text += escape;
            } else {
                text += static_cast<char>(c);
            }
        }
        text += '"';
    }
    bool first_ = true;
    bool afterKey_ = false;
};

void IntField(JsonOut& out, const char* key, long long value) {
    out.Key(key);
    out.Int(value);
}

void FloatFields(JsonOut& out, std::initializer_list<std::pair<const char*, float>> fields) {
    for (const auto& [key, value] : fields) {
        out.Key(key);
        out.Float(value);
    }
}

void DumpTime(JsonOut& out, const OleTime& t) {
    out.Open('{');
    out.Key("dt");
    out.Double(t.dt);
    out.Key("status");
    out.Int(t.status);
    out.Close('}');
}

void DumpProbe(JsonOut& out, const ProbeRecord& r) {
    out.Open('{');
    IntField(out, "idx", r.idx);
    IntField(out, "flag", r.flag);
    FloatFields(out, {{"inc", r.inc},
                      {"azi", r.azi},
                      {"tmp", r.tmp},
                      {"GTF", r.GTF},
                      {"MTF", r.MTF},
                      {"DIP", r.DIP},
                      {"GT", r.GT},
                      {"MT", r.MT},
                      {"volt", r.volt},
                      {"depth", r.depth}});
    out.Key("time");
    DumpTime(out, r.time);
    FloatFields(out, {{"x", r.x}, {"y", r.y}, {"z", r.z}, {"dx", r.dx}, {"dy", r.dy}, {"dz", r.dz}});
    IntField(out, "mark", r.mark);
    out.Close('}');
}

void DumpSync(JsonOut& out, const SyncRecord& r) {
    out.Open('{');
    IntField(out, "idx", r.idx);
    IntField(out, "flag", r.flag);
    IntField(out, "hole", r.hole);
    out.Key("time");
    DumpTime(out, r.time);
    IntField(out, "mark", r.mark);
    out.Close('}');
}

void DumpParamsFields(JsonOut& out, const HoleParams& p) {
    out.Key("name");
    out.Text(Utf16ToUtf8(p.name));
    FloatFields(out, {{"pbLen", p.pbLen},
                      {"e0", p.e0},
                      {"n0", p.n0},
                      {"d0", p.d0},
                      {"x0", p.x0},
                      {"y0", p.y0},
                      {"z0", p.z0},
                      {"gi", p.gi},
                      {"dPos", p.dPos},
                      {"dDip", p.dDip}});
}

template <class T, class F>
void DumpList(JsonOut& out, const char* key, const std::vector<T>& items, F dumpOne) {
    out.Key(key);
    out.Open('[');
    for (const T& item : items) {
        out.NextLine();
        dumpOne(out, item);
    }
    out.Close(']');
}

// The survey, after how the open that read it went (its mode and file count).
std::string StoreJson(const SurveyStore& s, const LastOpen& opened) {
    JsonOut out;
    out.Open('{');
    IntField(out, "fileMode", opened.mode);
    IntField(out, "openCount", opened.openCount);
    DumpList(out, "probeRecords", s.m_probeRecords, DumpProbe);
    DumpList(out, "syncRecords", s.m_syncRecords, DumpSync);
    DumpList(out, "holeParams", s.m_holeParams, [](JsonOut& o, const HoleParams& p) {
        o.Open('{');
        DumpParamsFields(o, p);
        o.Close('}');
    });
    DumpList(out, "holes", s.m_holes, [](JsonOut& o, const HoleSurvey& h) {
        o.Open('{');
        DumpParamsFields(o, h.params());
        o.Key("error");
        o.Text(h.error);
        DumpList(o, "records", h.records, DumpProbe);
        o.Close('}');
    });
    out.Close('}');
    out.Raw("\n");
    return out.text;
}

int Dump(const std::vector<std::string>& args) {
    const Arguments a = Parse(args);
    int status = 0;
    if (!Usable(a, "dump IN.bhx|IN.json", Output::None, false, status)) return status;
    SurveyStore store;
    const OpenAnyResult opened = OpenAnySurvey(store, a.inputs);
    if (!ShowFileResult(opened)) return 1;
    const std::string text = StoreJson(store, opened.opened);
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

std::vector<Command> FileCommands() {
    return {
        {"import-json", "import-json SURVEY.json -o OUT.bhx",
         "imports a JSON survey as \"打开Json文件\" does (holes assembled and computed), then saves it;\n"
         "      OUT.xlsx or OUT.xls exports to Excel instead",
         ImportJson},
        {"open", "open A.bhx [B.bhx ...] -o OUT.bhx",
         "opens survey data files as \"打开\" does, merging several in order, then saves the result\n"
         "      (a damaged or unreadable input fails the command and nothing is written)",
         Open},
        {"export", "export IN.bhx -o OUT.xlsx",
         "saves under an Excel name as Save does: one worksheet per named hole, then \"初始参数\"\n"
         "      (an .xls name also gets an .xlsx workbook)",
         Export},
        {"gpv", "gpv IN.bhx [-o OUT.txt]",
         "as \"轨迹计算\": runs the depth and trajectory passes, then writes the group-plot exchange file\n"
         "      (in the locale's code set; without -o to the fixed path, $XDG_CACHE_HOME/sondara/gpv.txt)",
         GroupPlot},
        {"dump", "dump IN.bhx|IN.json",
         "prints the whole store as JSON on stdout: every record, parameters, holes and their error texts\n"
         "      (every command that reads a survey also takes one .json survey in place of .bhx files)",
         Dump},
    };
}

}  // namespace sondara::cli
