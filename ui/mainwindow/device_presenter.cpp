#include "ui/mainwindow/device_presenter.h"

#include <cstdio>

#include "ui/common/messages.h"

namespace sondara {

namespace {

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

std::string NumberList(const DownloadFinished& done) {
    std::string list;
    for (std::uint32_t n : done.missing) {
        if (!list.empty()) list += ", ";
        list += std::to_string(n);
    }
    if (done.missingCount > done.missing.size()) list += " …";
    return list;
}

const char* EndCause(DownloadEnd end) {
    switch (end) {
        case DownloadEnd::LastNumber:
            return "";
        case DownloadEnd::QuietLine:
            return "线路上已无数据。";
        case DownloadEnd::LinkLost:
            return "串口连接已断开。";
        case DownloadEnd::Cancelled:
            return "读取已取消。";
    }
    return "";
}

}  // namespace

std::string InstrumentName(Instrument instrument) { return instrument == Instrument::Probe ? "探管" : "同步器"; }

std::string VersionLine(const TestAnswered& a) {
    char text[128];
    std::snprintf(text, sizeof text, "硬件版本：%d.%d.%d; 软件版本：%d.%d.%d", a.hardware[0], a.hardware[1],
                  a.hardware[2], a.software[0], a.software[1], a.software[2]);
    return text;
}

std::string IncompleteDownloadText(const DownloadFinished& d) {
    char text[256];
    std::snprintf(text, sizeof text, "%s数据读取不完整：应有%u条，已收到%u条，缺少%u条（编号 ",
                  InstrumentName(d.instrument).c_str(), d.announced, d.stored + d.skipped, d.missingCount);
    return EndCause(d.end) + std::string(text) + NumberList(d) +
           "）。\n已收到的记录已保留；再次“读取历史数据”可只补读缺少的记录。";
}

std::string OpenFailureText(const OpenFailure& f) {
    switch (f.kind) {
        case OpenFailure::None:
            return "";
        case OpenFailure::AlreadyOpen:
            return "串口已打开：" + f.device;
        case OpenFailure::NoDevice:
            return "设备不存在：" + f.device;
        case OpenFailure::Permission:
            return "没有使用权限：" + f.device + "（需要加入 dialout 组，重新登录后生效）";
        case OpenFailure::Busy: {
            std::string owner;
            if (f.lockOwnerPid != 0)
                owner = "（" + (f.lockOwner.empty() ? std::string("进程") : f.lockOwner) + " " +
                        std::to_string(f.lockOwnerPid) + "）";
            return "串口被其他程序占用" + owner + "：" + f.device;
        }
        case OpenFailure::Other:
            return f.device + "：" + f.detail;
    }
    return "";
}

bool ConfirmClearMemory(Instrument instrument) {
    const char* text =
        instrument == Instrument::Probe ? "将会清空探管中所有数据，是否继续?" : "将会清空同步器中所有数据，是否继续?";
    return ShowMessage(text, "警告", MessageIcon::Question, MessageButtons::OkCancel) == MessageAnswer::Ok;
}

void DevicePresenter::Present(const DownloadStarted& e, DeviceView& view) {
    impossible_ = conflicting_ = strayHeaders_ = 0;
    view.FillRecordRows(e.instrument, e.kept);
    view.SetProgress(0);
    view.SetStatusText("数据读取中....");
    view.SetRecordCount(static_cast<std::uint32_t>(e.kept), e.announced);
    if (e.announced == 0) {
        ShowMessage(e.instrument == Instrument::Probe ? "探管中没有存储数据" : "同步器中没有存储数据", "设备回复信息",
                    MessageIcon::Information);
    }
}

void DevicePresenter::Present(const DownloadFinished& e, DeviceView& view) {
    view.SetStatusText(e.complete() ? "数据读取完成" : kIncompleteStatus);
    view.SetProgress(100);
    if (e.holesAssembled) {
        view.ClearRows();
        view.FillHoleRows();
    }
    view.MarkModified();  // a download is unsaved data
    std::string text;
    if (!e.complete())
        text = IncompleteDownloadText(e);
    else if (e.end != DownloadEnd::LastNumber)
        text = EndCause(e.end);
    if (conflicting_ > 0 || strayHeaders_ > 0 || (!e.complete() && impossible_ > 0)) {
        char extra[200];
        std::snprintf(extra, sizeof extra,
                      "\n线路干扰：拒收内容不可能的数据帧%d个，同一编号内容不同的记录%d条，多余的数据头%d个。",
                      impossible_, conflicting_, strayHeaders_);
        text += extra;
    }
    lossTold_ = e.end == DownloadEnd::LinkLost;
    impossible_ = conflicting_ = strayHeaders_ = 0;
    if (!text.empty()) ShowMessage(text, "警告", MessageIcon::Warning);
}

void DevicePresenter::Present(const Failed& e, DeviceView& view) {
    switch (e.reason) {
        case FailReason::TimedOut:
            ShowMessage("超时，无返回数据", "警告", MessageIcon::Warning);
            view.SetStatusText("任务失败");
            view.SetProgress(0);
            break;
        case FailReason::LinkClosed:
            ShowMessage("串口没有打开", "警告！", MessageIcon::Warning);
            break;
        case FailReason::LinkLost:
            // A download it cut short has already said so, with what is missing.
            view.LinkClosed();
            if (!lossTold_) {
                view.SetStatusText("任务失败");
                ShowMessage(kLinkLostText, "错误", MessageIcon::Error);
            }
            lossTold_ = false;
            break;
    }
}

void DevicePresenter::Present(const DeviceEvent& event, DeviceView& view) {
    std::visit(Overloaded{
                   [&](const DownloadStarted& e) { Present(e, view); },
                   [&](const DownloadProgress& e) {
                       view.SetProgress(e.percent);
                       view.SetRecordCount(e.done, e.total);
                   },
                   [&](const RecordStored& e) {
                       view.MarkModified();
                       if (e.index + 1 == e.count) {
                           if (e.instrument == Instrument::Probe)
                               view.AppendProbeRow(e.index);
                           else
                               view.AppendSyncRow(e.index);
                       } else {
                           // A record filled in before others moves the rows behind it.
                           view.FillRecordRows(e.instrument, e.count);
                       }
                   },
                   [&](const DownloadFinished& e) { Present(e, view); },
                   [&](const FrameRefused& e) {
                       if (e.reason == RefusedBecause::Impossible)
                           ++impossible_;
                       else if (e.reason == RefusedBecause::ConflictingRepeat)
                           ++conflicting_;
                       else
                           ++strayHeaders_;
                   },
                   [&](const TestAnswered& e) {
                       ShowMessage("设备连接正常!\n" + VersionLine(e), "设备回复信息", MessageIcon::Information);
                   },
                   [&](const ClockAnswered& e) { view.ShowInstrumentClock(e.clock); },
                   [&](const MemoryCleared&) {
                       view.ClearRows();
                       view.SetStatusText("任务完成");
                       view.SetProgress(100);
                       ShowMessage("数据已清空", "设备回复信息", MessageIcon::Information);
                   },
                   [&](const ClearStarted&) {
                       view.SetStatusText("清空中，稍候....");
                       view.SetProgress(0);
                   },
                   [&](const ClearProgress& e) { view.SetProgress(e.percent); },
                   [&](const ClockCommandSent&) { view.SetStatusText("程序准备就绪"); },
                   [&](const CalibrationComplete&) {},
                   [&](const RealTimeStarted&) { view.OpenLiveValuesDisplay(); },
                   [&](const LiveSample& e) { view.ShowLiveValues(e.values); },
                   [&](const Failed& e) { Present(e, view); },
               },
               event);
}

}  // namespace sondara
