// The consist list editor ("Select Consists"): all consists, or one named Explore or
// Maintenance Mode consist list of a route or of the global settings, with the filter panel
// "Consist Filter" over its Available list.
#pragma once

#include "editors/consistfilter.h"
#include "editors/forms/listeditordlg.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace qv {

class TEditConsistListsDlg : public TListEditorDlg {
    Q_OBJECT

public:
    TEditConsistListsDlg(QWidget* owner, int mode);

    QObject* EditConsistListsDlg() const override {
        return const_cast<TEditConsistListsDlg*>(this);
    }

    QGroupBox* ConsistFilterPnl = nullptr;
    QCheckBox* EngineCbx = nullptr;
    QCheckBox* CarriageCbx = nullptr;
    QCheckBox* FreightCbx = nullptr;
    QCheckBox* SteamCbx = nullptr;
    QCheckBox* DieselCbx = nullptr;
    QCheckBox* ElectricCbx = nullptr;
    QComboBox* EngineNameFilterCmbx = nullptr;
    QComboBox* ConsistNameFilterCmbx = nullptr;
    QComboBox* LotNumberFilterCmbx = nullptr;
    QComboBox* UsedInRouteFilterCmbx = nullptr;

    void RefreshAvailable(bool force) override;

protected:
    QString AvailableCaption() const override;
    QString SelectedCaption() const override;
    QString DetailsCaption() const override;
    std::uint32_t ViewAllKind() const override { return PT_CONSIST; }
    int ViewerAction() const override;
    void ShowFilters() override;
    void ShowFilterTexts() override;
    void ReadFilterMemory() override;

private:
    void BuildFilterPanel();
    ConsistFilterControls ReadControls() const;
    void ShowControls(const ConsistFilterControls& controls);
    QList<QCheckBox*> CheckBoxes() const;
};

} // namespace qv
