// The common ground of the scenario-file and close tests: route ALPHA in use with one activity
// and route BETA in the store on drive C of a temporary Wine prefix, a sandboxed registry, a
// scripted Ui, and window services whose tree is loaded as the main window loads it.
#pragma once

#include "core/appstate.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "mainwindow/closeform.h"
#include "mainwindow/objecttree.h"
#include "mainwindow/scenariofiles.h"
#include "platform/fakeui.h"

#include <QObject>
#include <gtest/gtest.h>

namespace qv {

class TreeWindowServices : public HeadlessMainServices {
public:
    TreeWindowServices() { SetQuarvelObjects(&tree); }
    void LoadTree(const QString& file, RecordList<ItemSet>* items, int state) override {
        ++loads;
        qv::LoadTree(tree, file, items, state);
    }
    void ShowSelectedNodeInfo() override { ++infos; }
    // The caption follows the current scenario at each refresh of the controls.
    void UpdateControls() override { refreshedWith << CurrentScenarioFile(); }
    ItemNode* Find(const QString& description) const {
        for (ItemNode* node = tree.First(); node; node = node->GetNext())
            if (node->Data()->Description == description)
                return node;
        return nullptr;
    }

    ItemTree tree;
    int loads = 0;
    int infos = 0;
    QStringList refreshedWith;
};

class ScenarioTest : public ::testing::Test {
protected:
    ScenarioTest() {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        builder.AddRoute("ALPHA", "Alpha Line", "A");
        builder.AddRoute("BETA", "Beta Line", "B", {}, Into::Store);
        builder.AddActivity("ALPHA", "a1.act", "Morning Run", "s1.srv", QString());
        drive.MakeFolder("Scen");
        SetMainServices(&window);
        window.LoadTree(QString(), nullptr, -1);
    }
    ~ScenarioTest() override {
        SetMainServices(nullptr);
        ResetAppState();
    }

    // Saves the tree as C:\Scen\<name> through Save As and gives that path.
    QString SaveTreeAs(const QString& name) {
        const QString file = QStringLiteral("C:\\Scen\\") + name;
        ui.ExpectSaveScenarioDialog(ID_OK, file);
        EXPECT_TRUE(SaveAs1Click(&sender)) << name.toStdString();
        return file;
    }
    // Marks a node as the user does, so that the scenario counts as changed.
    void Mark(const QString& description, int state) {
        ItemNode* node = window.Find(description);
        ASSERT_NE(node, nullptr) << description.toStdString();
        node->Data()->StoreInd = state;
        App().ScenarioChanged = true;
    }
    static QString Setting(const QString& name) { return RegReadString(kProductKey, name); }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host("MSTS"), drive.Host("STORE")};
    FakeUi ui;
    TreeWindowServices window;
    QObject sender;
};

} // namespace qv
