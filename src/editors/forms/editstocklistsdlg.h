// The stock list editor ("Select Stock Items"): all engines and wagons, or one Maintenance Mode
// stock list of a route or of the global settings, with the filter panel "Stock Filter" over its
// Available list.
#pragma once

#include "editors/forms/listeditordlg.h"
#include "editors/stockfilter.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace qv {

class TEditStockListsDlg : public TListEditorDlg {
    Q_OBJECT

public:
    TEditStockListsDlg(QWidget* owner, int mode);

    QObject* EditStockListsDlg() const override { return const_cast<TEditStockListsDlg*>(this); }

    QGroupBox* StockFilterPnl = nullptr;
    QCheckBox* EngineCbx = nullptr;
    QCheckBox* TenderCbx = nullptr;
    QCheckBox* CarriageCbx = nullptr;
    QCheckBox* FreightCbx = nullptr;
    QCheckBox* SteamCbx = nullptr;
    QCheckBox* DieselCbx = nullptr;
    QCheckBox* ElectricCbx = nullptr;
    QComboBox* StockNameFilterCmbx = nullptr;
    QComboBox* LotNumberFilterCmbx = nullptr;
    QComboBox* UsedInRouteFilterCmbx = nullptr;

    void RefreshAvailable(bool force) override;

protected:
    QString AvailableCaption() const override;
    QString SelectedCaption() const override;
    QString DetailsCaption() const override;
    std::uint32_t ViewAllKind() const override { return PT_STOCK; }
    int ViewerAction() const override;
    void ShowFilters() override;
    void ShowFilterTexts() override;
    void ReadFilterMemory() override;

private:
    void BuildFilterPanel();
    StockFilterControls ReadControls() const;
    void ShowControls(const StockFilterControls& controls);
    QList<QCheckBox*> CheckBoxes() const;
};

} // namespace qv
