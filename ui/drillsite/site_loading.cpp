#include "ui/drillsite/site_loading.h"

#include <QStringList>

#include "core/survey_pipeline.h"
#include "io/file_kind.h"
#include "io/open_any.h"
#include "ui/common/file_messages.h"
#include "ui/common/local_path.h"

namespace {

QString FaultText(sondara::GroupPlotFault fault) {
    using F = sondara::GroupPlotFault;
    switch (fault) {
        case F::None:
        case F::CannotRead:
        case F::TooLarge:
            return {};
        case F::BadEntryCount:
            return "首行应为参数条数";
        case F::BadNameLine:
            return "孔名行应为“孔名 测点数”";
        case F::BadEncoding:
            return "孔名不是本机字符集的文字";
        case F::MissingLine:
            return "文件在此处提前结束";
        case F::BadStationLine:
            return "测点行应为六个数和一个标记";
        case F::MissingBlankLine:
            return "测点块后应为空行";
        case F::TrailingText:
            return "最后一个测点块后有多余内容";
    }
    return {};
}

}  // namespace

QString GroupPlotReadProblem(const sondara::GroupPlotRead& read, const QString& path) {
    if (read.ok()) return {};
    if (read.fault == sondara::GroupPlotFault::CannotRead)
        return "无法读取群组图数据文件 " + path + "：" + QString::fromStdString(read.detail);
    if (read.fault == sondara::GroupPlotFault::TooLarge)
        return "无法读取群组图数据文件 " + path + "：文件超过 1 GB，不是群组图数据文件";
    return QString("群组图数据文件 %1 第%2行格式错误：%3").arg(path).arg(read.line).arg(FaultText(read.fault));
}

QString LoadDrillSite(const QString& path, DrillSite& site) {
    const sondara::FileKind kind = sondara::FileKindOf(LocalPath(path));
    if (kind == sondara::FileKind::SurveyFile || kind == sondara::FileKind::Json) {
        sondara::SurveyStore store;
        const sondara::FileResult result = sondara::OpenAnySurvey(store, {LocalPath(path)});
        if (!result) {
            QStringList problems;
            for (const sondara::FileProblem& p : result.problems)
                problems << QString::fromStdString(sondara::FileProblemMessage(p).text);
            return problems.isEmpty() ? "无法打开 " + path : problems.join('\n');
        }
        sondara::Recompute(store, sondara::SurveyChange::TrajectoryCommand);
        site = SiteFromSurvey(store);
        site.source = path;
        return {};
    }
    const sondara::GroupPlotRead read = sondara::ReadGroupPlotFile(LocalPath(path));
    if (!read.ok()) return GroupPlotReadProblem(read, path);
    site = SiteFromExchange(read.holes);
    site.source = path;
    return {};
}
