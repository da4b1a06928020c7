#include "ui/dialogs/real_time_dialog.h"

#include <QFormLayout>
#include <QLineEdit>

#include "core/number_text.h"
#include "core/station_columns.h"
#include "ui/common/now_text.h"

namespace {

using sondara::StationQuantity;

// A live value with the decimals the table shows for the same quantity.
QString LiveText(StationQuantity quantity, float value) {
    return QString::fromStdString(sondara::FixedText(value, sondara::ColumnOf(quantity).decimals));
}

}  // namespace

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
    set(1004, LiveText(StationQuantity::MagneticAzimuth, live.azi));
    set(1005, LiveText(StationQuantity::Inclination, live.inc));
    set(1006, LiveText(StationQuantity::MagneticDip, live.DIP));
    set(1007, LiveText(StationQuantity::TotalGravity, live.GT));
    set(1008, LiveText(StationQuantity::Temperature, live.tmp));
    set(1010, LiveText(StationQuantity::TotalField, live.MT));
    set(1011, LiveText(StationQuantity::Voltage, live.volt));
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
