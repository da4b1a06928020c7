#include "ui/common/fonts.h"

#include <QFont>
#include <QStringList>

void InstallFontSubstitutions() {
    const QString song = "AR PL UMing CN";
    const QString kai = "AR PL UKai CN";
    const QString hei = "WenQuanYi Micro Hei";
    for (const char* name : {"宋体", "SimSun", "新宋体", "NSimSun"}) QFont::insertSubstitutions(name, {song, hei});
    for (const char* name : {"楷体_GB2312", "KaiTi_GB2312", "楷体", "KaiTi"})
        QFont::insertSubstitutions(name, {kai, song, hei});
    for (const char* name : {"黑体", "SimHei", "微软雅黑", "Microsoft YaHei"}) QFont::insertSubstitutions(name, {hei});
    // Latin faces first, with a CJK face behind them for any Chinese text they carry.
    QFont::insertSubstitutions("Arial", {"Liberation Sans", hei});
    QFont::insertSubstitutions("Tahoma", {"DejaVu Sans", hei});
    QFont::insertSubstitutions("MS Shell Dlg", {hei, "DejaVu Sans"});
    QFont::insertSubstitutions("MS Shell Dlg 2", {hei, "DejaVu Sans"});
}
