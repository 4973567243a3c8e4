// The path list editor ("Select Paths"): all paths of one route, or one Explore or Maintenance
// Mode path list of a route, with the filter panel "Path Filter" over its Available list.
#pragma once

#include "editors/forms/listeditordlg.h"
#include "editors/pathfilter.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace qv {

class TEditPathListsDlg : public TListEditorDlg {
    Q_OBJECT

public:
    TEditPathListsDlg(QWidget* owner, int mode);

    QGroupBox* PathFilterPnl = nullptr;
    QComboBox* PathFromFilterCmbx = nullptr;
    QComboBox* PathToFilterCmbx = nullptr;
    QComboBox* PathNameFilterCmbx = nullptr;

    void RefreshAvailable(bool force) override;

protected:
    QString AvailableCaption() const override;
    QString SelectedCaption() const override;
    QString DetailsCaption() const override;
    std::uint32_t ViewAllKind() const override { return PT_PATH; }
    int ViewerAction() const override { return -1; }
    int AvailableTotal() const override;
    void ShowFilters() override;
    void ShowFilterTexts() override;
    void ReadFilterMemory() override;
    std::uint32_t ListKindMask() const override { return PT_EXPLORE_PATH | PT_MAINT_PATH; }
    ItemNode* ViewAllNode(ItemNode* selected) override;
    bool CollectsRouteNodes() const override { return false; }
    bool ShowsWithForce() const override { return true; }
    void AdjustPopupItems(int selected) override;

private:
    void BuildFilterPanel();
    PathFilterControls ReadControls() const;
    void ShowControls(const PathFilterControls& controls);
};

} // namespace qv
