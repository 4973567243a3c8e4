#include "viewer/viewerheader.h"

#include "core/appstate.h"
#include "core/regsettings.h"
#include "viewer/canvas.h"

#include <cmath>

namespace qv {

std::unique_ptr<SVIEWHeaderInfo> NewSviewHeaderInfo() {
    auto header = std::make_unique<SVIEWHeaderInfo>();
    header->MstsFolder = App().MstsRootFolder;
    header->StoreFolder = App().StoreRootFolder;
    header->FullWidth = ReadFlag(QStringLiteral("Viewer F12"));
    bool ok = false;
    const float offset =
        RegReadString(kProductKey, QStringLiteral("Viewer InOut")).trimmed().toFloat(&ok);
    header->InOutOffset = ok && std::isfinite(offset) ? offset : 0.0f;
    return header;
}

bool UsableLength(double length) {
    return std::isfinite(length) && length > 0;
}

void LayoutConsist(SVIEWHeaderInfo& header) {
    header.TotalLength = 0;
    double running = 0;
    for (const auto& model : header.Models) {
        const double length = UsableLength(model->Length) ? model->Length : 0.0;
        header.TotalLength += length > 0 ? length : 5.0;
        model->Centre = length * 0.5 + running;
        running += length;
    }
    double cumulative = 0;
    for (size_t i = 0; i < header.Models.size(); ++i) {
        const double length = header.Models[i]->Length;
        cumulative += UsableLength(length) ? length : 0.0;
        if (cumulative > header.TotalLength * 0.5) {
            header.MiddleIndex = std::int32_t(i);
            break;
        }
    }
}

CanvasModel* ModelOf(const SVIEWModelInfo& model) {
    return static_cast<CanvasModel*>(model.Model.get());
}

CanvasModel* SecondModelOf(const SVIEWModelInfo& model) {
    return static_cast<CanvasModel*>(model.SecondModel.get());
}

void FreeViewerModels(SVIEWHeaderInfo& header) {
    for (auto& model : header.Models) {
        model->Model.reset();
        model->SecondModel.reset();
    }
    header.Models.clear();
}

} // namespace qv
