#include "ui/dialogs/real_time_dialog.h"

#include <QFormLayout>
#include <QLineEdit>

#include "ui/common/now_text.h"
#include "ui/common/number_text.h"

using ui_text::Format;

CRealTimeDlg::CRealTimeDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("探管实时数据");
    auto* form = new QFormLayout(this);
    const std::pair<int, const char*> rows[] = {{1004, "方位角"},   {1005, "倾角"}, {1006, "地磁倾角"},
                                                {1007, "总加速度"}, {1008, "温度"}, {1010, "总磁场"},
                                                {1011, "电压"},     {1009, "时间"}};
    for (auto [id, label] : rows) {
        auto* edit = new QLineEdit;
        edit->setReadOnly(true);
        edit->setMinimumWidth(id == 1009 ? 180 : 100);
        form->addRow(label, edit);
        fields_.push_back({id, edit});
    }
}

void CRealTimeDlg::ShowLiveValues(const sondara::LiveValues& live) {
    const auto set = [this](int id, const QString& text) {
        for (auto& f : fields_)
            if (f.id == id) f.edit->setText(text);
    };
    set(1004, Format("%0.1f", live.azi));
    set(1005, Format("%0.2f", live.inc));
    set(1006, Format("%0.1f", live.DIP));
    set(1007, Format("%0.4f", live.GT));
    set(1008, Format("%0.1f", live.tmp));
    set(1010, Format("%0.4f", live.MT));
    set(1011, Format("%0.1f", live.volt));
    set(1009, LocalNowText());
}

QString CRealTimeDlg::fieldText(int id) const {
    for (const auto& f : fields_)
        if (f.id == id) return f.edit->text();
    return {};
}

void CRealTimeDlg::reject() {
    if (!isVisible()) return;
    hide();
    emit closedByUser();
}
