#include "viewer/texturelookup.h"

#include "core/contentpath.h"
#include "platform/drivemap.h"
#include "platform/winfs.h"

#include <QStringList>

namespace qv {

namespace {

// A texture is named by its file alone: no folder, and nothing the rule for content names refuses.
bool IsPlainName(const QString& name) {
    if (name.trimmed().isEmpty() || name.contains(u'\\') || name.contains(u'/'))
        return false;
    return !NameInside(QString(), name).isEmpty();
}

QString FolderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'\\');
    return slash < 0 ? QString() : path.left(slash + 1);
}

} // namespace

bool FindTextureFile(const QString& shapePath, const QString& textureFolder,
                     const QString& imageName, QString* found, QString* reason) {
    if (!IsPlainName(imageName)) {
        *reason = QStringLiteral("the texture name \"%1\" is not a plain file name").arg(imageName);
        return false;
    }
    const QString folder = FolderOf(shapePath);
    const QString beside = folder + imageName;
    if (FileExists(beside)) {
        *found = beside;
        return true;
    }
    if (!textureFolder.isEmpty()) {
        QString other = folder + textureFolder;
        if (!other.endsWith(u'\\'))
            other += u'\\';
        other += imageName;
        // The file is cached under one name however its folder was reached.
        QChar drive;
        QStringList components;
        if (SplitWindowsPath(other, &drive, &components))
            other = JoinWindowsPath(drive, components);
        if (FileExists(other)) {
            *found = other;
            return true;
        }
    }
    *reason = QStringLiteral("the texture \"%1\" was found neither beside the shape nor in \"%2\"")
                  .arg(imageName, textureFolder);
    return false;
}

} // namespace qv
