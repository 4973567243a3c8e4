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

QString ExpandEnvironmentVars(const QString& text, bool* complete) {
    // The names are looked up in one state of the registry, each once.
    WindowsVariables prefix;
    return ExpandPercentNames(
        text,
        [&prefix](const QString& name, QString* value) {
            // The programs named so run in the Wine prefix: its variables come first.
            const NameValue found = prefix.Get(name, value);
            if (found != NameValue::Missing)
                return found;
            const QByteArray key = AsciiUpper(name).toLocal8Bit();
            if (key.isEmpty() || !qEnvironmentVariableIsSet(key.constData()))
                return NameValue::Missing;
            const QString host = qEnvironmentVariable(key.constData());
            if (host.size() > kMaxExpandedLength)
                return NameValue::TooLong;
            *value = host;
            return NameValue::Found;
        },
        complete);
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
