// The common ground of the list editor tests: an MSTS folder and a store on drive C of a
// temporary Wine prefix, a sandboxed registry, a scripted Ui, a main tree given to the headless
// main window, and helpers that register named lists and build the tree's list nodes.
#pragma once

#include "catalogue/itemfiles.h"
#include "catalogue/namedlists.h"
#include "core/appstate.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "core/storeini.h"
#include "editors/listeditormodel.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace qv {

class EditorTest : public ::testing::Test {
protected:
    EditorTest() {
        ResetAppState();
        App().ProgramTitle = "Quarvel";
        App().MstsRootFolder = "C:\\MSTS";
        App().StoreRootFolder = "C:\\STORE";
        drive.MakeFolder("STORE/QVDATA");
        main.SetQuarvelObjects(&tree);
        SetMainServices(&main);
        SetUi(&ui);
    }
    ~EditorTest() override {
        SetUi(nullptr);
        SetMainServices(nullptr);
        ResetAppState();
    }

    static std::unique_ptr<ItemSet> Record(int level, std::uint32_t ptype, int state,
                                           const QString& description, const QString& folder,
                                           const QString& file) {
        return std::make_unique<ItemSet>(
            ItemSet{level, ptype, state, description, folder, file, {}, {}});
    }

    // Registers lists ("<id>" = "<state>,<name>") of one kind in the scope's ROUTE.QVC and writes
    // each list's members (file names) into its list file.
    void RegisterLists(const QString& folder, std::uint32_t kind, const QStringList& entries,
                       const QList<QStringList>& members) {
        auto reg = OpenStoreIni(folder.section('\\', -1) + "\\ROUTE.QVC");
        for (int i = 0; i < entries.size(); ++i) {
            const QString id = entries[i].section('=', 0, 0);
            reg->Ini.WriteString(RouteListSection(kind), id, entries[i].section('=', 1));
            RecordList<ItemSet> items;
            for (const QString& file : members.value(i))
                items.push_back(Record(3, kind, 0, file, folder, file));
            ASSERT_TRUE(WriteItemListFile(folder, id + ".QVC", items));
        }
        reg->Modified = true;
        ASSERT_TRUE(CloseStoreIni(std::move(reg)));
    }

    QStringList RegisteredLists(const QString& folder, std::uint32_t kind) {
        auto reg = OpenStoreIni(folder.section('\\', -1) + "\\ROUTE.QVC");
        QStringList lines;
        for (const QString& key : reg->Ini.ReadSection(RouteListSection(kind)))
            lines << key + "=" + reg->Ini.ReadString(RouteListSection(kind), key, QString());
        return lines;
    }

    bool ListFileExists(const QString& route, const QString& id) {
        return QFileInfo::exists(drive.Host("STORE/QVDATA/" + route + "/" + id));
    }

    // A route ALPHA whose Maintenance consist heading holds the given lists: one list hangs its
    // entries under the heading itself, several get a list node each. Returns the heading.
    ItemNode* AddRouteWithLists(const QStringList& entries, const QList<QStringList>& members) {
        const QString folder = "ROUTES\\ALPHA";
        RegisterLists(folder, PT_MAINT_CONSIST, entries, members);
        ItemNode* route = tree.AddRoot(Record(0, PT_ROUTE, 1, "Alpha Line", folder, "ALPHA.trk"));
        const bool single = entries.size() == 1;
        ItemNode* heading = route->AddChild(
            Record(1, PT_MAINT_CONSIST | PT_HEADING, single ? SI_LIST_ACTIVE : SI_HEADING,
                   "Maintenance Consists", folder,
                   single ? entries[0].section('=', 0, 0) + ".QVC" : QString()));
        for (int i = 0; i < entries.size(); ++i) {
            ItemNode* list = heading;
            if (!single)
                list = heading->AddChild(Record(2, PT_MAINT_CONSIST | PT_HEADING, SI_LIST_ACTIVE,
                                                entries[i].section(',', 1), folder,
                                                entries[i].section('=', 0, 0) + ".QVC"));
            for (const QString& file : members.value(i))
                list->AddChild(
                    Record(list->Data()->PLevel + 1, PT_MAINT_CONSIST, 1, file, folder, file));
        }
        return heading;
    }

    // One line per node below `node`, indented by depth: "<text> [<file>] <state>".
    static QStringList Shape(const ItemNode* node, int depth = 0) {
        QStringList lines;
        for (int i = 0; i < node->ChildCount(); ++i) {
            const ItemNode* child = node->Child(i);
            lines << QString(depth * 2, ' ') + child->Data()->Description + " [" +
                         child->Data()->FileName + "] " + QString::number(child->Data()->StoreInd);
            lines << Shape(child, depth + 1);
        }
        return lines;
    }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host("MSTS"), drive.Host("STORE")};
    FakeUi ui;
    ItemTree tree;
    HeadlessMainServices main;
};

} // namespace qv
