#include "easy/routepicture.h"

#include "core/appstate.h"
#include "core/contentpath.h"
#include "core/itemset.h"
#include "core/report.h"
#include "platform/winfs.h"

namespace qv {

QString RoutePictureFile(const ItemSet& route, const QString& picture, ReportPane* pane) {
    const QString relative = NameInside(route.Folder, picture);
    if (relative.isEmpty()) {
        ReportRefusedName(picture, route.Folder + u'\\' + route.FileName, pane);
        return QString();
    }
    for (const QString& root : {App().MstsRootFolder, App().StoreRootFolder}) {
        const QString file = root + u'\\' + relative;
        if (FileExists(file))
            return file;
    }
    return QString();
}

} // namespace qv
