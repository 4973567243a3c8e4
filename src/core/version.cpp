#include "core/version.h"

#include "core/appstate.h"
#include "core/languagemodulecheck.h"

#include <QByteArray>
#include <QTranslator>

#include <algorithm>

namespace qv {

namespace {

// The program's own version information. Its one translation is English (United Kingdom) with
// code page 1252, so every value below is the text of that translation.
struct OwnEntry {
    const char* name;
    const char* value;
};

constexpr OwnEntry kOwnValues[] = {
    {"ProductName", "Quarvel"},
    {"ProductVersion", QUARVEL_PRODUCT_VERSION},
    {"FileVersion", QUARVEL_FILE_VERSION},
    {"LegalCopyright", "Copyright (C) 2026 The Quarvel developers"},
};

QString OwnValue(const QString& valueName) {
    for (const auto& v : kOwnValues) {
        if (valueName == QLatin1String(v.name))
            return QString::fromUtf8(v.value);
    }
    return QString();
}

const QStringList kStandardNames = {QStringLiteral("ProductName"), QStringLiteral("ProductVersion"),
                                    QStringLiteral("FileVersion"),
                                    QStringLiteral("LegalCopyright")};

} // namespace

CVersionInfo::CVersionInfo(const QString& fileName) : fileName_(fileName) {
    if (fileName_.isEmpty()) {
        loaded_ = true;
        return;
    }
    named_ = true;
    const QStringList values = ReadModuleValues(kStandardNames);
    loaded_ =
        std::any_of(values.cbegin(), values.cend(), [](const QString& v) { return !v.isNull(); });
}

QStringList CVersionInfo::ReadModuleValues(const QStringList& valueNames) const {
    QStringList values(valueNames.size());
    // The file is read by this exact name: QTranslator's own file loading would also try other
    // names (with ".qm" appended, or cut at "_" and "."), and so could judge the wrong module.
    QByteArray data;
    if (!ReadCheckedModule(fileName_, &data))
        return values;
    QTranslator translator;
    if (!translator.load(reinterpret_cast<const uchar*>(data.constData()), int(data.size())))
        return values;
    for (qsizetype i = 0; i < valueNames.size(); ++i) {
        const QString value =
            translator.translate(kVersionInfoContext, valueNames[i].toUtf8().constData());
        if (!value.isEmpty())
            values[i] = value;
    }
    return values;
}

QString CVersionInfo::GetValue(const QString& valueName) const {
    if (!named_)
        return OwnValue(valueName);
    if (!loaded_)
        return QString();
    return ReadModuleValues({valueName}).constFirst();
}

QString CVersionInfo::FileVersion() const {
    return GetValue(QStringLiteral("FileVersion"));
}

QString CVersionInfo::LegalCopyright() const {
    return GetValue(QStringLiteral("LegalCopyright"));
}

QString CVersionInfo::ProductName() const {
    return GetValue(QStringLiteral("ProductName"));
}

QString CVersionInfo::ProductVersion() const {
    return GetValue(QStringLiteral("ProductVersion"));
}

void LoadProgramVersion() {
    const CVersionInfo info;
    App().ProgramTitle = info.ProductName();
    App().ProgramVersion = info.ProductVersion();
    App().ProgramFileVersion = info.FileVersion();
    App().ProgramCopyright = info.LegalCopyright();
}

} // namespace qv
