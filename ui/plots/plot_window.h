#pragma once
// The plot window "孔眼轨迹示意图": one hole of the document at a time, as its two
// deviation charts or as the isometric 3D drawing, with the hole selector bar on top.
// Several can be open at once, each with its own hole and mode.

#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QToolBar>
#include <QWidget>

#include "ui/plots/plot_outcome.h"

class QIODevice;
class QPrinter;
class SurveyDocument;

// The hole selector bar: "孔号", the name of the hole shown, "上一孔", "下一孔" and the
// mode button, whose caption names the mode a click switches to.
class CWellShowSelectDlg : public QWidget {
    Q_OBJECT

public:
    explicit CWellShowSelectDlg(const SurveyDocument& document, QWidget* parent = nullptr);

    QString holeName() const { return m_holeName; }
    void setHoleName(const QString& name);

signals:
    void holeNameChanged();

public:
    QPushButton* previousButton() const { return previous_; }
    QPushButton* nextButton() const { return next_; }
    QPushButton* modeButton() const { return mode_; }

public slots:
    // The view's new mode: "2D" on the button while 3D is shown, "3D" otherwise.
    void OnPlotMode(int show3D);

private:
    QString m_holeName;
    QLineEdit* nameBox_;
    QPushButton* previous_;
    QPushButton* next_;
    QPushButton* mode_;
};

// The client area: holds the hole shown and the mode, and paints from the store.
class CPlottingView : public QWidget {
    Q_OBJECT

public:
    explicit CPlottingView(SurveyDocument& document, QWidget* parent = nullptr);

    int holeIndex() const { return m_holeIndex; }
    void setHoleIndex(int index);
    bool show3D() const { return m_show3D != 0; }

    // Draws what the view shows (hole and mode) into `client` of any painter: the
    // window, an image, an SVG or PDF file, a printer.
    PlotOutcome Paint(QPainter& painter, const QRect& client) const;

    // What the last paint found (for a hole without stations the window tells the
    // user once per hole, mode and document update, not on every repaint).
    PlotOutcome lastOutcome() const { return lastOutcome_; }

public slots:
    void OnPlotModeButton();

signals:
    void plotModeChanged(int show3D);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void ReportMissingStationsOnce();

    SurveyDocument& document_;
    int m_holeIndex = 0;
    int m_show3D = 0;
    PlotOutcome lastOutcome_ = PlotOutcome::Drawn;
    int generation_ = 0;  // counts document updates
    struct Reported {
        int hole = -1, mode = -1, generation = -1;
        bool operator==(const Reported&) const = default;
    } reported_;
};

class CPlottingFrame : public QMainWindow {
    Q_OBJECT

public:
    // A top-level window owned by `owner` (may be null), 800 × 800, deleted on close.
    CPlottingFrame(SurveyDocument& document, QWidget* owner);

    CPlottingView* view() const { return view_; }
    CWellShowSelectDlg* selector() const { return selector_; }

    // The last hole whose name equals the selector's name, or -1.
    int FindCurrentHole() const;

    // Writes the picture shown, at the view's size, as PNG, SVG or PDF (by the
    // name's extension; PNG when it has none of these). False when it could not; an
    // old file of that name then stays as it was.
    bool SavePicture(const QString& path) const;
    // Prints the picture shown, scaled to fit the page.
    void PrintPicture(QPrinter& printer) const;

public slots:
    void OnNextHole();
    void OnPreviousHole();
    void OnSavePicture();
    void OnPrint();

private:
    void StepTo(int index);
    // "上一孔" and "下一孔" are disabled where a click could not step.
    void UpdateStepButtons();
    // The picture in the format of `suffix` ("svg", "pdf", else PNG) into `file`.
    bool WritePicture(QIODevice& file, const QString& suffix) const;
    // Paints the view's picture scaled into the page of a PDF writer or printer.
    bool PaintFitted(QPaintDevice& device, const QRect& page) const;

    SurveyDocument& document_;
    QToolBar* bar_;
    CWellShowSelectDlg* selector_;
    CPlottingView* view_;
};

// Opens a new plot window on hole 0 in deviation mode, sized to fit the owner's
// screen, and shows it in front.
CPlottingFrame* OpenPlotWindow(SurveyDocument& document, QWidget* owner);

// The window size: `wanted`, made smaller where the screen's `available` area less
// the window `frame` has no room for it.
QSize FittedPlotWindowSize(const QSize& wanted, const QRect& available, const QMargins& frame);
