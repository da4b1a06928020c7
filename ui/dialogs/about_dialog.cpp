#include "ui/dialogs/about_dialog.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("软件声明");
    auto* icon = new QLabel;
    icon->setPixmap(QIcon(":/icons/sondara.svg").pixmap(48, 48));
    auto* texts = new QVBoxLayout;
    texts->addWidget(new QLabel("Sondara，2.4 版"));
    texts->addWidget(new QLabel("Sondara 开发组 · 煤矿钻孔测斜数据处理"));
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(icon);
    layout->addLayout(texts);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
