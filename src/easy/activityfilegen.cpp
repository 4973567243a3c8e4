#include "easy/activityfilegen.h"

#include "catalogue/mststext.h"
#include "core/appstate.h"
#include "core/contentpath.h"
#include "core/easyservices.h"
#include "core/filemove.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/storeini.h"
#include "easy/exploresaves.h"
#include "easy/explorestate.h"
#include "easy/savedactivity.h"
#include "platform/mstsfile.h"
#include "platform/ui.h"
#include "platform/winfs.h"

#include <QRegularExpression>
#include <optional>

namespace qv {

namespace {

const QChar kByteOrderMark(0xFEFF);
// MSTS reads at most this many units of a line at a time; the source is copied in such runs.
constexpr qsizetype kRunUnits = 255;

const char* const kServiceTemplate[] = {
    "SIMISA@@@@@@@@@@JINX0v0t______",
    "",
    "Service_Definition (",
    "\tSerial ( 1 )",
    "\tName ( TOK_SERVICE_NAME )",
    "\tTrain_Config ( TOK_CONSIST )",
    "\tPathID ( TOK_PATHID )",
    "\tMaxWheelAcceleration ( 0 )",
    "\tEfficiency ( 0.75 )",
    "\tTimeTable (",
    "\t\tStartingSpeed ( 0 )",
    "\t\tEndingSpeed ( 0 )",
    "\t\tStartInWorld ( 0 )",
    "\t\tEndInWorld ( 0 )",
    "\t)",
    ")",
};

const char* const kActivityTemplate[] = {
    "SIMISA@@@@@@@@@@JINX0a0t______",
    "",
    "Tr_Activity (",
    "\tSerial ( 999 )",
    "\tTr_Activity_Header (",
    "\t\tRouteID ( TOK_ACTIVITY_ROUTE_ID )",
    "\t\tName ( TOK_ACTIVITY_NAME )",
    "\t\tDescription ( TOK_ACTIVITY_DESCRIPTION )",
    "\t\tBriefing ( TOK_ACTIVITY_BRIEFING )",
    "\t\tCompleteActivity ( 1 )",
    "\t\tType ( 0 )",
    "\t\tMode ( TOK_ACTIVITY_MODE )",
    "\t\tStartTime ( TOK_ACTIVITY_START_TIME )",
    "\t\tSeason ( TOK_ACTIVITY_SEASON )",
    "\t\tWeather ( TOK_ACTIVITY_WEATHER )",
    "\t\tPathID ( TOK_PATHID )",
    "\t\tStartingSpeed ( 0 )",
    "\t\tDuration ( 0 0 )",
    "\t\tDifficulty ( 0 )",
    "\t\tFuelWater ( 100 )",
    "\t\tFuelCoal ( 100 )",
    "\t\tFuelDiesel ( 100 )",
    "\t)",
    "\tTr_Activity_File (",
    "\t\tPlayer_Service_Definition ( QV_~TEMP ",
    "\t\t\tPlayer_Traffic_Definition ( 36000 )",
    "\t\t\tUiD ( 0 )",
    "\t\t)",
    "\t\tNextServiceUID ( 999 )",
    "\t\tNextActivityObjectUID ( 999 )",
};

template <std::size_t N> QString TemplateText(const char* const (&lines)[N]) {
    QStringList text;
    for (const char* line : lines)
        text << QString::fromLatin1(line);
    return text.join(u'\n');
}

QString Quoted(const QString& text) {
    return u'"' + text + u'"';
}

// The source activity's route identifier as one value: what stands before any quote or bracket.
// A source line that runs on after its value ("X" ) Tr_Activity_File ( ...) brings nothing of
// the rest into the generated header. A whole value is taken exactly as the readers took it
// (blanks inside its quotes, a no-break space, are part of the route's name); a piece cut off
// loses what the readers trim.
QString OneValue(const QString& text) {
    qsizetype end = 0;
    while (end < text.size() && text[end] != u'"' && text[end] != u'(' && text[end] != u')')
        ++end;
    if (end == text.size())
        return text;
    return TrimView(QStringView(text).left(end)).toString();
}

// The file name less its 4-character extension; a name of 4 characters or fewer gives nothing.
QString WithoutLastFour(const QString& name) {
    return name.left(qMax<qsizetype>(0, name.size() - 4));
}

// The text split at line breaks (CR LF, CR or LF); a final break makes no extra empty line. The
// first line's first character becomes the byte-order mark.
QStringList LinesOf(const QString& text) {
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(breaks);
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    if (!lines.isEmpty())
        lines.first().prepend(kByteOrderMark);
    return lines;
}

QString PlayerPathName(const ExploreActivitySaveInfo& session) {
    return Quoted(WithoutLastFour(LastPathComponent(session.PlayerPathFileName)));
}

QString BriefingText(const ExploreActivitySaveInfo& session) {
    QString text = Caption(Msg::EXPLORE_ACTIVITY_BRIEFING1) + u'\'' +
                   ExploreSessionName(session.SaveNumber) + QStringLiteral("'.\n") +
                   Caption(Msg::EXPLORE_ACTIVITY_BRIEFING2);
    text.replace(u'\r', QStringLiteral("\\n\"+\n\""));
    return Quoted(text);
}

QStringView TrimmedLeft(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i).unicode() <= 0x20)
        ++i;
    return text.sliced(i);
}

bool StartsWith(QStringView text, const char* keyword) {
    return text.startsWith(QLatin1String(keyword), Qt::CaseInsensitive);
}

// Whether a run of the source, trimmed at its left, starts a section that is copied (true), ends
// one (false) or does neither. Most runs start with none of the keywords: their first letter
// settles it without a comparison.
std::optional<bool> SectionMark(QStringView trimmed, bool aiTraffic, bool looseStock) {
    if (trimmed.isEmpty())
        return std::nullopt;
    switch (trimmed.front().toCaseFolded().unicode()) {
    case u't':
        if (aiTraffic && StartsWith(trimmed, "Traffic_Definition"))
            return true;
        break;
    case u'a':
        if ((looseStock && StartsWith(trimmed, "ActivityObjects")) ||
            StartsWith(trimmed, "ActivityRestrictedSpeedZones") ||
            StartsWith(trimmed, "ActivityFailedSignals"))
            return true;
        break;
    case u'p':
        if (StartsWith(trimmed, "PlatformNumPassengersWaiting") ||
            StartsWith(trimmed, "PlatformMinWaitingTime"))
            return true;
        break;
    case u'e':
        if (StartsWith(trimmed, "Events"))
            return false;
        break;
    }
    return std::nullopt;
}

QString LocationText(int line) {
    return ModuleLineText("ActivityFileGen", line);
}

} // namespace

QStringList ExploreServiceLines(const ExploreActivitySaveInfo& session) {
    QString text = TemplateText(kServiceTemplate);
    text.replace(QStringLiteral("TOK_SERVICE_NAME"), Quoted(Caption(Msg::EXPLORE_ACTIVITY_NAME)));
    text.replace(QStringLiteral("TOK_CONSIST"), Quoted(WithoutLastFour(session.ConsistFileName)));
    text.replace(QStringLiteral("TOK_PATHID"), PlayerPathName(session));
    return LinesOf(text);
}

QStringList ExploreActivityLines(const ActivityInfo& source,
                                 const ExploreActivitySaveInfo& session) {
    QString text = TemplateText(kActivityTemplate);
    const auto replace = [&text](const char* token, const QString& value) {
        text.replace(QLatin1String(token), value);
    };
    replace("TOK_ACTIVITY_ROUTE_ID", Quoted(OneValue(source.RouteID)));
    replace("TOK_ACTIVITY_NAME",
            QStringLiteral("\" ") + ExploreSessionName(session.SaveNumber) + u'"');
    replace("TOK_ACTIVITY_DESCRIPTION", Quoted(Caption(Msg::EXPLORE_ACTIVITY_DESCRIPTION)));
    replace("TOK_ACTIVITY_BRIEFING", BriefingText(session));
    replace("TOK_ACTIVITY_MODE", QStringLiteral("2"));
    replace(
        "TOK_ACTIVITY_START_TIME",
        QStringLiteral("%1 %2 0").arg(session.StartTime.hour()).arg(session.StartTime.minute()));
    replace("TOK_ACTIVITY_SEASON", QString::number(session.Season));
    replace("TOK_ACTIVITY_WEATHER", QString::number(session.Weather));
    replace("TOK_PATHID", PlayerPathName(session));
    return LinesOf(text);
}

QString CopiedActivityText(const QString& sourceText, bool aiTraffic, bool looseStock) {
    QString copied;
    bool copying = false;
    // The next line feed is looked for once and remembered while a long line is cut into runs:
    // looking for it again at every run would read a line of millions of units thousands of times.
    qsizetype lineFeed = -1;
    for (qsizetype pos = 0; pos < sourceText.size();) {
        if (lineFeed < pos) {
            lineFeed = sourceText.indexOf(u'\n', pos);
            if (lineFeed < 0)
                lineFeed = sourceText.size();
        }
        const qsizetype end = qMin(qMin(lineFeed + 1, sourceText.size()), pos + kRunUnits);
        const QStringView run = QStringView(sourceText).sliced(pos, end - pos);
        pos = end;
        if (const std::optional<bool> mark = SectionMark(TrimmedLeft(run), aiTraffic, looseStock))
            copying = *mark;
        if (copying)
            copied += run;
    }
    return copied;
}

ModeLine FindModeLine(const QStringList& lines) {
    ModeLine mode;
    qint64 offset = 0;
    for (const QString& line : lines) {
        if (TrimmedLeft(line).startsWith(QLatin1String("Mode"))) {
            mode.Position = std::int32_t(offset);
            mode.Text = QString(line).replace(u'2', u'1');
        }
        offset += 2 * (line.size() + 1);
    }
    return mode;
}

QByteArray Utf16LeLines(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += line + u'\n';
    return EncodeUtf16Le(text);
}

bool GenerateExploreActivity(const ActivityInfo& source, ExploreActivitySaveInfo& session) {
    const QString& msts = App().MstsRootFolder;
    const QString& store = App().StoreRootFolder;
    // The activity may be named by a scenario file from anywhere: one whose name leads out of
    // both folders is neither read, nor moved, nor written beside.
    const QString inside = NameInside(source.Folder, source.FileName);
    if (inside.isEmpty()) {
        TheUi().MessageBox(Caption(Msg::EXPLORE_ACTIVITY_DESCRIPTION) + u' ' +
                               Caption(Msg::EXPLORE_ACTIVITY_CREATE_ERR) + u'\n' +
                               RefusedNameText(source.Folder + u'\\' + source.FileName, QString()),
                           App().ProgramTitle, MB_ICONSTOP);
        return false;
    }
    const QString rel = u'\\' + inside;
    const QString routeFolder = ParentPath(ParentPath(inside));
    const QString activities = msts + u'\\' + ParentPath(inside) + u'\\';

    QString error;
    bool failed = false;
    // Each step runs only while nothing has failed; the first failure names its step.
    const auto fail = [&](int line) {
        failed = true;
        error += LocationText(line);
    };

    QString sourceRoot;
    if (FileExists(store + rel))
        sourceRoot = store;
    else if (FileExists(msts + rel))
        sourceRoot = msts;
    else {
        fail(44);
        error += u'\n';
    }

    // The source may be UTF-16 of either order, 8-bit or compressed: it is decoded first, so that
    // what is copied is its text, never its raw bytes.
    QString sourceText;
    if (!failed && !ReadMstsTextFile(sourceRoot + rel, &sourceText))
        fail(56);

    // A write refused since a link leads out of the two folders names the link too.
    const auto write = [&](const QString& path, const QByteArray& bytes, int line) {
        int code = 0;
        if (WriteFileAtomic(path, bytes, &code))
            return;
        fail(line);
        error += LinkOutText(path, code);
    };

    if (!failed)
        write(msts + u'\\' + routeFolder + QStringLiteral("\\SERVICES\\") + kExploreTempPrefix +
                  QStringLiteral(".srv"),
              Utf16LeLines(ExploreServiceLines(session)), 70);

    if (!failed && session.SaveNumber < 0)
        AllocateExploreSaveNumber(session);

    if (!failed) {
        const QStringList lines = ExploreActivityLines(source, session);
        const ModeLine mode = FindModeLine(lines);
        ExploreState& state = Explore();
        state.ExploreModeLinePosition = mode.Position;
        state.ExploreModeLineText = mode.Text;
        const QByteArray bytes =
            Utf16LeLines(lines) +
            EncodeUtf16Le(CopiedActivityText(sourceText, session.AITraffic, session.LooseStock)) +
            EncodeUtf16Le(QStringLiteral("\t)\n)\n"));
        write(activities + kExploreTempPrefix + QString::number(session.SaveNumber) +
                  QStringLiteral(".act"),
              bytes, 117);
    }

    if (!failed)
        write(activities + kExplorerMarker, QByteArray(), 215);

    // The move reports its own failure.
    if (!failed && !MoveEntry(msts + rel, store + rel, MOVE_RENAME))
        failed = true;

    if (!failed)
        return true;
    CleanExploreTemp(routeFolder, nullptr);
    TheUi().MessageBox(Caption(Msg::EXPLORE_ACTIVITY_DESCRIPTION) + u' ' +
                           Caption(Msg::EXPLORE_ACTIVITY_CREATE_ERR) + error,
                       App().ProgramTitle, MB_ICONSTOP);
    return false;
}

} // namespace qv
