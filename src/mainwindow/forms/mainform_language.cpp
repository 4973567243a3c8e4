// The Language menu: one item per language that has a module of this program's version, and the
// switch to the chosen language (or, from the checked item, back to the default one), after which
// every open form shows its texts again in that language.

#include "mainwindow/forms/mainform.h"

#include "ui_mainform.h"

#include "core/appstate.h"
#include "core/languages.h"
#include "core/regsettings.h"
#include "mainwindow/forms/mainform_settings.h"
#include "platform/localetable.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QTimer>

namespace qv {

namespace {

const QString kLastLanguage = QStringLiteral("Last Language");

// Brings the running program into a newly loaded language: the forms' texts are read again,
// then the texts the code sets are set again, on the pages that were shown.
void ApplyLanguage(TMainForm& form, std::uint32_t lcid) {
    App().CurrentLanguageId = lcid;
    const int mainPage = form.MainPageIndex();
    const int simulationMaintPage = form.SimulationMaintPageIndex();
    const int easyPage = form.ActivityExplorePageIndex();
    SetRuntimeLocale(lcid);
    form.SaveMainFormPosition();
    form.ReinitializeForms();
    form.ApplyViewSettings();
    LoadSettings(form);
    RestoreMainFormGeometry(form);
    form.RefreshAfterLanguageChange(mainPage, simulationMaintPage, easyPage);
    form.Timer1->start(1000);
}

} // namespace

void TMainForm::BuildLanguageMenu() {
    QMenu* menu = ui->LanguageMnu;
    menu->clear();
    int index = 0;
    for (const auto& language : App().LanguageList) {
        if (!language->Available)
            continue;
        QString caption = language->Name;
        if (language->NativeName != language->Name)
            caption += QLatin1Char('/') + language->NativeName;
        QAction* item = menu->addAction(caption);
        item->setObjectName(QStringLiteral("LangMnu%1").arg(index++));
        item->setCheckable(true);
        item->setChecked(false);
        item->setEnabled(true);
        item->setProperty(kTagProperty, qint64(language->Lcid));
        connect(item, &QAction::triggered, this, [this, item] { LanguageItemMnuClick(item); });
    }
}

// The checked item is the language "Last Language" names; whether the click has already moved
// the check mark does not matter.
void TMainForm::LanguageItemMnuClick(QAction* item) {
    const std::uint32_t tag = std::uint32_t(item->property(kTagProperty).toLongLong());
    bool named = false;
    const qint64 last = RegReadString(kProductKey, kLastLanguage).trimmed().toLongLong(&named);
    if (named && last == qint64(tag)) {
        RegWriteString(kProductKey, kLastLanguage, QString());
        item->setChecked(false);
        for (const std::uint32_t fallback : {kUserDefaultLcid, kEnglishUkLcid}) {
            if (LoadNewResourceModule(fallback)) {
                ApplyLanguage(*this, fallback);
                break;
            }
        }
        return;
    }
    if (!LoadNewResourceModule(tag)) {
        item->setChecked(false);
        return;
    }
    RegWriteString(kProductKey, kLastLanguage, QString::number(tag));
    ApplyLanguage(*this, tag);
    item->setChecked(true);
}

// The main window reads its texts again from the language in use; every other open form is told
// of the change and does the same in its own change handler.
void TMainForm::ReinitializeForms() {
    ui->retranslateUi(this);
    ShowMenuKeys();
    for (QWidget* form : QApplication::topLevelWidgets()) {
        if (form == this || !form->isVisible())
            continue;
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(form, &change);
    }
}

} // namespace qv
