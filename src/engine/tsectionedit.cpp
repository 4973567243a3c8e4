#include "engine/tsectionedit.h"

#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "platform/drivemap.h"
#include "platform/ui.h"
#include "platform/winfind.h"
#include "platform/winfs.h"

#include <QCoreApplication>
#include <QLocale>

namespace qv {

namespace {

// The parameters dialog's own caption, in the language in use.
QString FormCaption() {
    return QCoreApplication::translate("qv::TTSECTIONParamsBoxDlg", "TSECTION.DAT Parameters ");
}

bool Refuse(const QString& text) {
    TheUi().MessageBox(text, App().ProgramTitle, MB_ICONSTOP);
    return false;
}

} // namespace

QStringList TsectionActionStrings() {
    QString text = Caption(Msg::TSECTION_ACTION_STRINGS);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString TsectionActionText(int action) {
    return TsectionActionStrings().value(action);
}

QString TsectionFileDateText(const QString& file) {
    const QDateTime date = UnpackDosDateTime(FileAge(file));
    if (!date.isValid())
        return QString();
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    return english.toString(date, QStringLiteral("dd MMM yyyy ' ' hh:mm AP"));
}

QString TsectionBuildOrDate(const QString& build, const QString& file) {
    return build.isEmpty() ? TsectionFileDateText(file) : build;
}

TsectionParamsTexts TsectionParamsTextsFor(const RouteInfo& record) {
    TsectionParamsTexts texts;
    const QString blank = QStringLiteral(" ");
    QString caption;
    if (record.PType & PT_GLOBAL) {
        caption = Caption(Msg::TREE_HEADING_TSECTION_DEFAULT) + blank + FormCaption();
        texts.Explanation1 =
            Caption(Msg::TSECTION_SET_LEG1_START) + blank + Caption(Msg::TSECTION_SET_LEG1_DEFAULT);
        texts.Explanation2 =
            Caption(Msg::TSECTION_SET_LEG2_START) + blank + Caption(Msg::TSECTION_SET_LEG2_DEFAULT);
    } else {
        caption = FormCaption() + QStringLiteral(" (") + record.Name + QLatin1Char(')');
        texts.Explanation1 =
            Caption(Msg::TSECTION_SET_LEG1_START) + blank + Caption(Msg::TSECTION_SET_LEG1_ROUTE);
        texts.Explanation2 = Caption(Msg::TSECTION_SET_LEG2_START) + QStringLiteral(" '") +
                             record.Name + QStringLiteral("' ") +
                             Caption(Msg::TSECTION_SET_LEG2_ROUTE);
    }
    texts.Caption = App().ProgramTitle + QStringLiteral(" - ") + caption;
    return texts;
}

QStringList RoutesWithOwnTsectionSettings() {
    QStringList names;
    const ItemTree* tree = TheMainServices().QuarvelObjects();
    for (const ItemNode* node = tree ? tree->First() : nullptr; node; node = node->GetNext()) {
        const ItemSet* item = node->Data();
        if (!item || !(item->PType & PT_ROUTE) || (item->PType & PT_HEADING))
            continue;
        RouteInfo route;
        route.PType = item->PType;
        route.Name = item->Description;
        route.Folder = item->Folder;
        if (ReadTsectionSettings(route))
            names << item->Description;
    }
    return names;
}

bool AcceptTsectionSettings(RouteInfo& record, const QString& path, const QString& description,
                            int simulation, int maintenance) {
    const bool systemDefault = record.PType & PT_GLOBAL;
    const QString file = path.isEmpty() ? QString() : ToWindowsForm(path);
    if (!file.isEmpty()) {
        if (!FileExists(file))
            return Refuse(Caption(Msg::INVALID_FILENAME));
        const QString msts = App().MstsRootFolder;
        if (CompareText(file, msts + QStringLiteral("\\GLOBAL\\TSECTION.DAT")) == 0)
            return Refuse(Caption(Msg::TSECTION_TARGET_ERROR1) +
                          Caption(Msg::TSECTION_TARGET_ERROR2));
        if (CompareText(LastPathComponent(file), QStringLiteral("TSECTION.DAT")) == 0 &&
            CompareText(ParentPath(ParentPath(file)), msts + QStringLiteral("\\ROUTES")) == 0)
            return Refuse(Caption(Msg::TSECTION_TARGET_ERROR1) +
                          Caption(Msg::TSECTION_TARGET_ERROR3));
        if (maintenance == TSA_ANY_FILE)
            return Refuse(Caption(Msg::TSECTION_MAINTENANCE_ERROR));
        // The file tested is the one about to be recorded: a typed path is as likely to be wrong
        // as a chosen one.
        RouteInfo probe = record;
        probe.TSectionFileName = file;
        switch (ReadTsectionBuildState(probe)) {
        case TsectionFileState::Missing:
            return false; // the reader has told the user
        case TsectionFileState::Invalid:
            return Refuse(Caption(Msg::TSECTION_INVALID_FILE));
        case TsectionFileState::Valid:
            break;
        }
        if (systemDefault && RoutesWithOwnTsectionSettings().isEmpty())
            TheUi().MessageBox(Caption(Msg::TSECTION_REMINDER_LEG), App().ProgramTitle,
                               MB_ICONINFORMATION);
    } else if (systemDefault &&
               FileExists(App().StoreRootFolder + QStringLiteral("\\QVDATA\\ROUTE.QVC"))) {
        // A route's own specification may only be made while a system default exists, so the
        // default cannot go before them.
        const QStringList names = RoutesWithOwnTsectionSettings();
        if (!names.isEmpty()) {
            QString text = Caption(Msg::TSECTION_NO_DEFAULT_ERROR2);
            for (const QString& name : names)
                text += QLatin1Char('\n') + name;
            return Refuse(text);
        }
    }
    RouteInfo accepted = record;
    accepted.TSectionFileName = file;
    accepted.TSectionDescription = description;
    accepted.TSectionSimulation = simulation;
    accepted.TSectionMaintenance = maintenance;
    // A specification that could not be recorded is not taken: the dialog stays open.
    if (!WriteTsectionSettings(accepted))
        return false;
    record = accepted;
    return true;
}

QStringList TsectionChoiceRow(const ConflictInfo& entry) {
    const bool marked = entry.Selected && entry.ConflictCount >= 1;
    return {marked ? QStringLiteral("*") : QString(), entry.RouteName,
            TsectionBuildOrDate(entry.TSectionBuild, entry.TSectionFileName),
            TsectionActionText(entry.Action), entry.TSectionFileName};
}

QString TsectionRecommendedText(const ConflictList& list, int index) {
    if (index < 0 || index >= int(list.size()))
        return QString();
    return Caption(Msg::TSECTION_CHOSEN_LEG) + list[std::size_t(index)]->TSectionFileName;
}

QString TsectionConflictText(int index) {
    return Caption(index < 0 ? Msg::TSECTION_CONFLICT_LEG : Msg::TSECTION_NO_CONFLICT_LEG);
}

int EditDefaultTsectionSettings() {
    const ItemTree* tree = TheMainServices().QuarvelObjects();
    if (!tree || !tree->First())
        return 0;
    RouteInfo record;
    record.PType = PT_GLOBAL;
    return TheUi().EditTsectionSettings(record);
}

int EditRouteTsectionSettings() {
    const ItemTree* tree = TheMainServices().QuarvelObjects();
    const ItemNode* node = tree ? tree->Selected() : nullptr;
    const ItemSet* item = node ? node->Data() : nullptr;
    // The routes heading carries the route bit as well, but it names no route and has no data
    // folder: its "specification" would land in the store's own ROUTE.QVC, the default's.
    if (!item || !(item->PType & PT_ROUTE) || (item->PType & PT_HEADING))
        return 0;
    if (!ReadDefaultTsectionSettings(nullptr)) {
        TheUi().MessageBox(Caption(Msg::TSECTION_NO_DEFAULT_ERROR1), App().ProgramTitle,
                           MB_ICONSTOP);
        return 0;
    }
    RouteInfo record;
    record.PType = item->PType;
    record.Folder = item->Folder;
    record.Name = item->Description;
    return TheUi().EditTsectionSettings(record);
}

} // namespace qv
