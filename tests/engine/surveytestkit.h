// The common ground of the survey tests and of whole store and unstore jobs: an MSTS folder
// (C:\MSTS) and a store (C:\STORE) on drive C of a temporary Wine prefix, a sandboxed registry, a
// scripted Ui, the fixed objects every installation has, and the main tree built as the main
// window builds it and installed in headless main-window services, with Easy services that mark
// its nodes as the user's clicks do.
#pragma once

#include "catalogue/cacherebuild.h"
#include "catalogue/itemtreelist.h"
#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/easyservices.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "core/status.h"
#include "core/stringlist.h"
#include "engine/fixedobjects.h"
#include "engine/survey.h"
#include "engine/worklists.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"

#include <functional>
#include <gtest/gtest.h>

namespace qv {

// Marks nodes of the main tree as the Easy page's services do: a route with every activity below
// it, an activity with its route; the MSTS default routes by their folders. The page choice is
// plain data a test sets (the Classic page by default).
class TreeEasyServices : public EasyServices {
public:
    void MarkSelectedNode(int state, bool routesHeading) override {
        ItemTree* tree = TheMainServices().QuarvelObjects();
        if (!tree)
            return;
        if (routesHeading) {
            for (ItemNode* node = tree->First(); node; node = node->GetNext()) {
                const std::uint32_t kind = node->Data()->PType;
                if ((kind & PT_ROUTE) && (kind & PT_HEADING)) {
                    SetRouteNodeState(node, SI_IN_STORE);
                    break;
                }
            }
        }
        ItemNode* node = tree->Selected();
        if (!node)
            return;
        if (node->Data()->PType & PT_ROUTE)
            SetRouteNodeState(node, state);
        else if (node->Data()->PType & PT_ACTIVITY)
            SetActivityNodeState(node, state);
    }
    bool MarkDefaultRoutes(ItemTree& tree) override {
        bool all = true;
        for (const QString& name : MstsDefaultRoutes()) {
            ItemNode* found = FindDefaultRoute(tree, name);
            if (found) {
                tree.SetSelected(found);
                MarkSelectedNode(SI_IN_USE, false);
                continue;
            }
            Report(RL_ERROR, nullptr,
                   Caption(Msg::DEFAULT_ROUTE_NOT_FOUND1) + Caption(Msg::GENERAL_NOT_FOUND2) +
                       name + u'\'',
                   TheMainServices().InformationMemo());
            all = false;
        }
        return all;
    }
    bool CheckDefaultRoutes(ItemTree& tree) override {
        bool all = true;
        for (const QString& name : MstsDefaultRoutes())
            all = FindDefaultRoute(tree, name) && all;
        return all;
    }
    bool GoAndLaunch(QObject*, bool) override { return false; }
    std::int32_t LaunchProgram(const QString&, const QString&, const QString&, bool, bool,
                               bool) override {
        return -1;
    }
    void CleanExploreTemp(const QString&, QStringList*) override {}
    int MainPageIndex() const override { return mainPage; }
    int ExploreTabIndex() const override { return exploreTab; }
    const ItemSet* ChosenExploreActivity() const override { return chosenExplore; }
    const ExploreActivitySaveInfo* CurrentExploreRecord() const override { return nullptr; }

    int mainPage = 1; // 0 the Easy page
    int exploreTab = 0;
    const ItemSet* chosenExplore = nullptr;

private:
    static ItemNode* FindDefaultRoute(ItemTree& tree, const QString& name) {
        const QString folder = QStringLiteral("Routes\\") + name;
        for (ItemNode* node = tree.First(); node; node = node->GetNext()) {
            const ItemSet& item = *node->Data();
            if ((item.PType & PT_ROUTE) && !(item.PType & PT_HEADING) &&
                CompareText(item.Folder, folder) == 0)
                return node;
        }
        return nullptr;
    }
};

// Headless main-window services that let a test watch the status detail (what is being read).
class WatchedMainServices : public HeadlessMainServices {
public:
    void SetStatusText(int panel, const QString& text) override {
        if (onStatus)
            onStatus(panel, text);
        HeadlessMainServices::SetStatusText(panel, text);
    }
    // The hourglass: how deep it is now and how often it was shown.
    void ShowHourglass(bool show) override {
        hourglassDepth += show ? 1 : -1;
        hourglassShown += show ? 1 : 0;
    }
    std::function<void(int, const QString&)> onStatus;
    int hourglassDepth = 0;
    int hourglassShown = 0;
};

class SurveyTestKit : public ::testing::Test {
protected:
    SurveyTestKit() {
        ResetAppState();
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        SetUi(&ui);
        main.SetQuarvelObjects(&tree);
        SetMainServices(&main);
        SetEasyServices(&easy);
        ClearReport(main.InformationMemo());
    }
    ~SurveyTestKit() override {
        SetEasyServices(nullptr);
        SetMainServices(nullptr);
        SetUi(nullptr);
        ResetAppState();
    }

    // MSTS's DEFAULT.WAG and the fixed-object lists with their defaults, as after start-up.
    void AddFixedObjects() {
        builder.AddDefaultWagon();
        ASSERT_TRUE(EnsureDefaultExclusions());
    }

    // The stock and consist caches as the start-up leaves them, then the main tree of the page
    // as the main window builds it (every node's mark as the content stands: 1 MSTS, 2 store).
    void LoadTree(int page = TREE_PAGE_SIMULATION) {
        RecordList<ItemSet> stock;
        RecordList<ItemSet> consists;
        RebuildStockCache(stock, false, nullptr);
        RebuildConsistCache(consists, false, nullptr);
        tree.Clear();
        RecordList<ItemSet> list;
        BuildItemTree(list, page, true, true);
        FillTreeFromItemList(tree, list);
    }

    // The route node of a route folder, the activity node of an activity file, or null.
    ItemNode* RouteNode(const QString& routeFolder) const {
        return FindNode([&](const ItemSet& item) {
            return (item.PType & PT_ROUTE) && !(item.PType & PT_HEADING) &&
                   CompareText(LastPathComponent(item.Folder), routeFolder) == 0;
        });
    }
    ItemNode* ActivityNode(const QString& file) const {
        return FindNode([&](const ItemSet& item) {
            return item.PType == PT_ACTIVITY && CompareText(item.FileName, file) == 0;
        });
    }
    ItemNode* FindNode(const std::function<bool(const ItemSet&)>& match) const {
        for (ItemNode* node = tree.First(); node; node = node->GetNext())
            if (match(*node->Data()))
                return node;
        return nullptr;
    }

    // Selects the node and marks it as a click on its state icon does (2 store, 1 unstore).
    void Mark(ItemNode* node, int state) {
        ASSERT_NE(node, nullptr);
        tree.SetSelected(node);
        easy.MarkSelectedNode(state, false);
    }

    // A survey into fresh work lists.
    bool RunSurvey(bool unstore, bool partialRoute = false, bool defaultRoutes = false,
                   bool allStock = false, bool allConsists = false) {
        lists = WorkLists();
        return Survey(unstore, partialRoute, defaultRoutes, lists, allStock, allConsists);
    }

    // The entries of a list in small letters, in list order.
    static QStringList Lower(const StringList& list) {
        QStringList out;
        for (const QString& entry : list.Strings())
            out << entry.toLower();
        return out;
    }
    QString PaneText() { return main.InformationMemo()->Lines().join(u'\n'); }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host(QStringLiteral("MSTS")), drive.Host(QStringLiteral("STORE"))};
    FakeUi ui;
    ItemTree tree;
    WatchedMainServices main;
    TreeEasyServices easy;
    WorkLists lists;
};

} // namespace qv
