// The common ground of the list refresh and item tree list tests: an MSTS folder and a store on
// drive C of a temporary Wine prefix, a sandboxed registry, a scripted Ui, and a helper that
// registers named lists in a scope's ROUTE.QVC and writes their list files.
#pragma once

#include "catalogue/itemfiles.h"
#include "catalogue/listrefresh.h"
#include "catalogue/namedlists.h"
#include "core/appstate.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "core/storeini.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"

#include <gtest/gtest.h>
#include <vector>

namespace qv {

struct ListMember {
    QString file;
    std::uint32_t ptype;
    QString description;
};

class TreeTest : public ::testing::Test {
protected:
    TreeTest() {
        ResetAppState();
        App().MstsRootFolder = "C:\\MSTS";
        App().StoreRootFolder = "C:\\STORE";
        ClearReport(TheMainServices().InformationMemo());
        SetUi(&ui);
    }
    ~TreeTest() override {
        SetUi(nullptr);
        ResetAppState();
    }

    // Routes ALPHA (in use; Morning Run in use, Evening Run stored) and BETA (stored), the
    // consists FREIGHT (in use) and PAX (stored) of engine DASH9, and ALPHA's path "up.pat".
    void AddTwoRoutes() {
        builder.AddEngine("DASH9", "DASH9.ENG", "Dash 9", EngineType::Diesel);
        builder.AddConsist("FREIGHT.CON", "Freight One", {{"DASH9", "DASH9", true, false}});
        builder.AddConsist("PAX.CON", "Passenger Two", {{"DASH9", "DASH9", true, false}},
                           Into::Store);
        builder.AddRoute("ALPHA", "Alpha Line", "A");
        builder.AddRoute("BETA", "Beta Line", "B", {}, Into::Store);
        builder.AddPath("ALPHA", "up.pat", "Up Path", "Here", "There");
        builder.AddService("ALPHA", "s1.srv", "Service One", "FREIGHT", "up");
        builder.AddActivity("ALPHA", "a1.act", "Morning Run", "s1.srv", QString());
        builder.AddActivity("ALPHA", "a2.act", "Evening Run", "s1.srv", QString(), {}, Into::Store);
    }

    // Registers lists ("<id>" = "<state>,<name>") of one kind in the scope's ROUTE.QVC and writes
    // the members of each into its list file "<id>.QVC".
    void AddLists(const QString& folder, std::uint32_t kind, const QStringList& entries,
                  const std::vector<std::vector<ListMember>>& members) {
        const QString scope = folder.mid(folder.lastIndexOf(u'\\') + 1) + "\\";
        auto reg = OpenStoreIni((IsGlobalListScope(folder) ? QString() : scope) + "ROUTE.QVC");
        for (int i = 0; i < entries.size(); ++i) {
            const QString id = entries[i].section(u'=', 0, 0);
            reg->Ini.WriteString(RouteListSection(kind), id, entries[i].section(u'=', 1));
            WriteMembers(folder, id + ".QVC", members.at(std::size_t(i)));
        }
        reg->Modified = true;
        ASSERT_TRUE(CloseStoreIni(std::move(reg)));
    }
    void WriteMembers(const QString& folder, const QString& listId,
                      const std::vector<ListMember>& members) {
        RecordList<ItemSet> items;
        for (const ListMember& m : members)
            items.push_back(std::make_unique<ItemSet>(
                ItemSet{0, m.ptype, 0, m.description, folder, m.file, {}, {}}));
        ASSERT_TRUE(WriteItemListFile(folder, listId, items));
    }

    // One line per record: level, kind in hex, store state and description.
    static QStringList Rows(const RecordList<ItemSet>& list) {
        QStringList rows;
        for (const auto& item : list)
            rows << QStringLiteral("%1 %2 %3 %4")
                        .arg(item->PLevel)
                        .arg(item->PType, 0, 16)
                        .arg(item->StoreInd)
                        .arg(item->Description);
        return rows;
    }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host("MSTS"), drive.Host("STORE")};
    FakeUi ui;
};

} // namespace qv
