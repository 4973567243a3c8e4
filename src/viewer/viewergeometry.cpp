#include "viewer/viewergeometry.h"

#include "viewer/viewerheader.h"

#include <algorithm>
#include <cmath>

namespace qv {

int ReadViewerHeight(const QString& text, int designHeight) {
    bool ok = false;
    const int height = text.trimmed().toInt(&ok);
    return ok && height > 0 ? height : designHeight;
}

int WindowWidth(int dpi, double totalLength, int viewerHeight, int designHeight) {
    const int twips = 1440 / std::max(dpi, 1);
    const double ratio = designHeight > 0 ? double(viewerHeight) / designHeight : 1.0;
    const double width = twips * ((totalLength + 5.0) * 20.0 / 17.0) * ratio;
    if (!std::isfinite(width) || width > 1e9)
        return 1000000000;
    return std::max(0, int(width));
}

QSize SizeViewerWindow(int idealWidth, QSize current, bool initial, bool fullWidth,
                       int viewerHeight, QSize screen) {
    int h = initial ? viewerHeight : current.height();
    int w = initial ? idealWidth : current.width();
    const int limit = screen.width() - 2;
    if (fullWidth && w < limit) {
        const float proportion = w > 0 ? float(h) / float(w) : 0.0f;
        const int scaled = int(float(limit) * proportion);
        h = scaled > screen.height() ? current.height() : scaled;
        w = limit;
    } else if (idealWidth < limit) {
        w = idealWidth;
        h = viewerHeight;
    } else {
        w = limit;
        h = viewerHeight;
    }
    return QSize(w, h);
}

QPoint CentreOverMainForm(QSize window, const QRect& mainForm, int screenWidth) {
    const int top = std::max(1, mainForm.top() + (mainForm.height() - window.height()) / 2);
    int left = mainForm.left() + (mainForm.width() - window.width()) / 2;
    if (left < 1 || left + window.width() > screenWidth - 2)
        left = (screenWidth - window.width()) / 2;
    if (left == 0)
        left = 1;
    return QPoint(left, top);
}

void FitView(SVIEWHeaderInfo& header, int windowWidth, int screenWidth, float fieldOfView,
             int designHeight, int windowHeight) {
    if (windowWidth < screenWidth - 2) {
        header.LookAtPosition = header.TotalLength * 0.5;
        return;
    }
    header.MiddleIndex = 0;
    const double v = std::tan(double(fieldOfView)) * header.LargestSize * 13.0 * designHeight /
                     std::max(windowHeight, 1) * 0.45;
    double sum = 0;
    for (size_t i = 0; i < header.Models.size(); ++i) {
        sum += header.Models[i]->Centre;
        if (sum > v) {
            header.MiddleIndex = std::int32_t(i);
            break;
        }
    }
    header.LookAtPosition = v;
}

quint32 StepAmbient(quint32 ambient, int direction) {
    quint32 result = ambient & 0xFF000000u;
    for (int shift : {0, 8, 16}) {
        const int channel = int((ambient >> shift) & 0xFF) + (direction > 0 ? 1 : -1);
        result |= quint32(std::clamp(channel, 0, 255)) << shift;
    }
    return result;
}

} // namespace qv
