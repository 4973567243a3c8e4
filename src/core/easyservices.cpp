#include "core/easyservices.h"

#include "core/generaldefs.h"
#include "core/windowsenvironment.h"

#include <QByteArray>

namespace qv {

namespace {

// Environment names were always looked up in capitals; only a-z are raised, as before.
QString AsciiUpper(const QString& text) {
    QString upper = text;
    for (QChar& c : upper) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return upper;
}

class NoEasyServices : public EasyServices {
public:
    void MarkSelectedNode(int, bool) override {}
    bool MarkDefaultRoutes(ItemTree&) override { return false; }
    bool CheckDefaultRoutes(ItemTree&) override { return false; }
    bool GoAndLaunch(QObject*, bool) override { return false; }
    std::int32_t LaunchProgram(const QString&, const QString&, const QString&, bool, bool,
                               bool) override {
        return -1;
    }
    void CleanExploreTemp(const QString&, QStringList*) override {}
    int MainPageIndex() const override { return -1; }
    int ExploreTabIndex() const override { return -1; }
    const ItemSet* ChosenExploreActivity() const override { return nullptr; }
    const ExploreActivitySaveInfo* CurrentExploreRecord() const override { return nullptr; }
};

NoEasyServices noEasyServices;
EasyServices* currentEasyServices = nullptr;

} // namespace

QString ExpandEnvironmentVars(const QString& text) {
    QString result;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype open = text.indexOf(QLatin1Char('%'), pos);
        if (open < 0)
            break;
        const qsizetype close = text.indexOf(QLatin1Char('%'), open + 1);
        if (close < 0)
            break;
        result += QStringView(text).mid(pos, open - pos);
        const QString name = text.mid(open + 1, close - open - 1);
        const QByteArray key = AsciiUpper(name).toLocal8Bit();
        QString windows;
        // The programs named so run in the Wine prefix: its variables come first.
        if (!name.isEmpty() && WindowsVariable(name, &windows))
            result += windows;
        else if (!key.isEmpty() && qEnvironmentVariableIsSet(key.constData()))
            result += qEnvironmentVariable(key.constData());
        else
            result += QLatin1Char('%') + name + QLatin1Char('%');
        pos = close + 1;
    }
    result += QStringView(text).mid(pos);
    return result;
}

QString ExploreSessionName(int saveNumber) {
    QString name = Caption(Msg::EXPLORE_ACTIVITY_NAME);
    if (saveNumber > 0)
        name += QLatin1Char(' ') + QString::number(saveNumber);
    return name;
}

EasyServices& TheEasyServices() {
    return currentEasyServices ? *currentEasyServices : noEasyServices;
}

void SetEasyServices(EasyServices* services) {
    currentEasyServices = services;
}

} // namespace qv
