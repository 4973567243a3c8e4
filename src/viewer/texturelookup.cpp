#include "viewer/texturelookup.h"

#include "platform/winfs.h"

#include <QStringList>

namespace qv {

namespace {

bool IsPlainName(const QString& name) {
    if (name.trimmed().isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    return !name.contains(u'\\') && !name.contains(u'/') && !name.contains(u':');
}

QString FolderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'\\');
    return slash < 0 ? QString() : path.left(slash + 1);
}

} // namespace

QString CollapseWindowsPath(const QString& path) {
    const QStringList parts = path.split(u'\\');
    QStringList kept;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        if (i > 0 && (part.isEmpty() || part == QLatin1String(".")))
            continue;
        if (part == QLatin1String("..")) {
            if (kept.size() > 1) // the drive stays
                kept.removeLast();
            continue;
        }
        kept.append(part);
    }
    return kept.join(u'\\');
}

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
        other = CollapseWindowsPath(other + imageName);
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
