#pragma once
// The group-plot viewer's window, titled "Vistrel" (the main program finds it by
// that title): the plan, section, 3D and deviation views in tabs, the table of
// holes with their end deviations and end spacing, and the stations of the hole
// selected in any of them. Opens an exchange file or a survey named on the command
// line, chosen, or dropped on it.

#include <QMainWindow>
#include <array>

#include "ui/drillsite/drill_site.h"
#include "ui/drillsite/site_view_widget.h"

class QDoubleSpinBox;
class QTabWidget;
class QTableWidget;
class ViewerPresence;

class GpvWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit GpvWindow(QWidget* parent = nullptr);

    // Reads `path`; on failure tells the user and keeps what was shown.
    bool Open(const QString& path);
    void SetSite(DrillSite site);

    const DrillSite& site() const { return site_; }
    SiteSelection& selection() { return selection_; }
    SiteViewWidget* view(SiteViewKind kind) const { return views_[std::size_t(kind)]; }
    QTabWidget* tabs() const { return tabs_; }
    QTableWidget* holeTable() const { return holeTable_; }
    QTableWidget* stationTable() const { return stationTable_; }
    QDoubleSpinBox* azimuthBox() const { return azimuth_; }

protected:
    void showEvent(QShowEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void BuildMenus();
    void FillHoleTable();
    void ShowSelection(int hole);
    void ChooseAndOpen();
    void ExportCurrentView();

    DrillSite site_;
    SiteSelection selection_;
    std::array<SiteViewWidget*, 4> views_{};
    QTabWidget* tabs_ = nullptr;
    QTableWidget* holeTable_ = nullptr;
    QTableWidget* stationTable_ = nullptr;
    QDoubleSpinBox* azimuth_ = nullptr;
    ViewerPresence* presence_ = nullptr;
    bool announced_ = false;
};
