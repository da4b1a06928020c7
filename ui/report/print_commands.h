#pragma once
// The file menu's "打印(&P)...\tCtrl+P", "打印预览(&V)" and "打印设置(&R)..." for the
// survey report. One printer setting is kept for the run, so the page set up once
// is the one printed and previewed.

class QPrinter;
class QWidget;
class SurveyDocument;

// The printer the three commands share (created on first use).
QPrinter& ReportPrinter();

// Print dialog with the report's page range, then prints.
void OnFilePrint(SurveyDocument& document, QWidget* parent);
// The report in a preview window; it can be printed from there.
void OnFilePrintPreview(SurveyDocument& document, QWidget* parent);
// Paper, orientation and printer choice.
void OnFilePrintSetup(QWidget* parent);
