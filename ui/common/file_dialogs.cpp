#include "ui/common/file_dialogs.h"

#include <QFileDialog>
#include <QPointer>
#include <QRegularExpression>

FileDialogSink QtFileDialogSink(QWidget* parent) {
    QPointer<QWidget> owner(parent);
    return [owner](const FileDialogRequest& r) -> QStringList {
        QFileDialog dialog(owner.data());
        dialog.setNameFilter(r.filter);
        dialog.setDefaultSuffix(r.defaultSuffix);
        switch (r.kind) {
            case FileDialogKind::OpenFiles:
                dialog.setFileMode(QFileDialog::ExistingFiles);
                break;
            case FileDialogKind::OpenFile:
                dialog.setFileMode(QFileDialog::ExistingFile);
                break;
            case FileDialogKind::SaveFile:
                dialog.setAcceptMode(QFileDialog::AcceptSave);
                dialog.setFileMode(QFileDialog::AnyFile);
                break;
        }
        if (r.suffixFollowsFilter) {
            QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
                const QRegularExpressionMatch m = QRegularExpression(R"(\*\.(\w+))").match(filter);
                if (m.hasMatch()) dialog.setDefaultSuffix(m.captured(1));
            });
        }
        if (!r.title.isEmpty()) dialog.setWindowTitle(r.title);
        if (!r.selectedPath.isEmpty()) dialog.selectFile(r.selectedPath);
        if (dialog.exec() != QDialog::Accepted) return {};
        return dialog.selectedFiles();
    };
}

FileDialogSink& CurrentFileDialogSink() {
    static FileDialogSink sink = QtFileDialogSink(nullptr);
    return sink;
}

QStringList AskForFiles(const FileDialogRequest& request) { return CurrentFileDialogSink()(request); }

// The file systems here tell case apart, so each pattern names both spellings.
FileDialogRequest SurveyOpenDialog() {
    return {FileDialogKind::OpenFiles, "BHXD文件 (*.BHX *.bhx);;所有文件 (*)", "BHX", {}};
}

FileDialogRequest SurveySaveDialog(const QString& currentFile) {
    return {FileDialogKind::SaveFile,
            "BHX文件 (*.BHX *.bhx);;Microsoft Office Excel 工作表 (*.xls *.xlsx *.XLS *.XLSX);;所有文件 (*)", "BHX",
            currentFile};
}

FileDialogRequest JsonOpenDialog() {
    return {FileDialogKind::OpenFile, "json文件 (*.json *.JSON);;所有文件 (*)", "json", {}};
}
