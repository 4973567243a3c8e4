#include "core/mainservices.h"

#include <QCoreApplication>

namespace qv {

namespace {
MainServices* currentServices = nullptr;

HeadlessMainServices& DefaultServices() {
    static HeadlessMainServices services;
    return services;
}
} // namespace

QString HeadlessMainServices::StatusText(int panel) const {
    return panel >= 0 && panel < panels_.size() ? panels_[panel] : QString();
}

void HeadlessMainServices::SetStatusText(int panel, const QString& text) {
    if (panel < 0)
        return;
    while (panels_.size() <= panel)
        panels_.append(QString());
    panels_[panel] = text;
}

void HeadlessMainServices::ProcessEvents() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

MainServices& TheMainServices() {
    return currentServices ? *currentServices : DefaultServices();
}

void SetMainServices(MainServices* services) {
    currentServices = services;
}

} // namespace qv
