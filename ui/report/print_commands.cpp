#include "ui/report/print_commands.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <algorithm>

#include "ui/common/document.h"
#include "ui/common/messages.h"
#include "ui/report/report.h"

QPrinter& ReportPrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

void OnFilePrint(SurveyDocument& document, QWidget* parent) {
    QPrinter& printer = ReportPrinter();
    printer.setFromTo(0, 0);
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, std::max(ReportPageCount(document.store()), 1));
    if (dialog.exec() != QDialog::Accepted) return;
    // The printer (or the file it prints to) could not be opened: nothing was printed.
    if (!PrintSurveyReport(printer, document.store()))
        sondara::ShowMessage("打印失败：无法打开打印机。", "警告", sondara::MessageIcon::Warning);
}

void OnFilePrintPreview(SurveyDocument& document, QWidget* parent) {
    QPrintPreviewDialog preview(&ReportPrinter(), parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&document](QPrinter* printer) { PrintSurveyReport(*printer, document.store()); });
    preview.exec();
}

void OnFilePrintSetup(QWidget* parent) {
    QPageSetupDialog dialog(&ReportPrinter(), parent);
    dialog.exec();
}
