// Qt's own dialogs speak the UI's language once the program has installed Qt's
// translation: message-box buttons, the file dialog and the print preview.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTranslator>
#include <memory>

#include "ui/common/qt_translations.h"

namespace {

TEST(QtTranslations, StandardDialogsSpeakChinese) {
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_zh_CN.qm"))
        GTEST_SKIP() << "qt6-translations-l10n missing";
    QTranslator* translator = InstallQtTranslations(*QApplication::instance());
    ASSERT_TRUE(translator);
    // The rest of the test program keeps Qt's texts as it found them.
    const std::unique_ptr<QTranslator, void (*)(QTranslator*)> removal(translator, [](QTranslator* t) {
        QCoreApplication::removeTranslator(t);
        delete t;
    });

    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Ok);
    EXPECT_TRUE(box.button(QMessageBox::Yes)->text().contains("是"))
        << box.button(QMessageBox::Yes)->text().toStdString();
    EXPECT_TRUE(box.button(QMessageBox::No)->text().contains("否"));
    EXPECT_TRUE(box.button(QMessageBox::Cancel)->text().contains("取消"));
    EXPECT_TRUE(box.button(QMessageBox::Ok)->text().contains("确定"));

    QFileDialog files(nullptr, QString(), QString(), "*.bhx");
    files.setOption(QFileDialog::DontUseNativeDialog);
    EXPECT_NE(files.labelText(QFileDialog::Accept), "&Open");
    EXPECT_NE(files.labelText(QFileDialog::FileName), "File &name:");

    QPrintPreviewDialog preview;
    EXPECT_NE(preview.windowTitle(), "Print Preview");
}

}  // namespace
