// The common ground of the where-used tests: an MSTS folder and a store on drive C of a temporary
// Wine prefix, a sandboxed registry, a scripted Ui, named lists written into the store, the
// caches the analysis reads, and the hits of one item as short lines.
#pragma once

#include "catalogue/cacherebuild.h"
#include "catalogue/itemfiles.h"
#include "catalogue/namedlists.h"
#include "core/appstate.h"
#include "core/itemkinds.h"
#include "core/storeini.h"
#include "engine/usedinindex.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"

#include <gtest/gtest.h>

namespace qv {

class WhereUsedTest : public ::testing::Test {
protected:
    WhereUsedTest() {
        ResetAppState();
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        SetUi(&ui);
    }
    ~WhereUsedTest() override {
        SetUi(nullptr);
        ResetAppState();
    }

    // Registers one active list of the kind in the scope's ROUTE.QVC and writes its members.
    void AddList(const QString& folder, std::uint32_t kind, const QStringList& members) {
        const bool global = folder.startsWith(QStringLiteral("TRAINS"), Qt::CaseInsensitive);
        auto reg = OpenStoreIni(global ? QStringLiteral("ROUTE.QVC")
                                       : LastPathComponent(folder) + QStringLiteral("\\ROUTE.QVC"));
        const QString section = RouteListSection(kind);
        reg->Ini.WriteString(section, section, QStringLiteral("12,Original List"));
        reg->Modified = true;
        ASSERT_TRUE(CloseStoreIni(std::move(reg)));
        RecordList<ItemSet> items;
        for (const QString& member : members)
            items.push_back(
                std::make_unique<ItemSet>(ItemSet{3, kind, 1, member, folder, member, {}, {}}));
        ASSERT_TRUE(WriteItemListFile(folder, section + QStringLiteral(".QVC"), items));
    }

    // The stock and consist caches, whose sections name the engines, wagons and consists.
    static void RebuildCaches() {
        RecordList<ItemSet> stock;
        RecordList<ItemSet> consists;
        RebuildStockCache(stock, false, nullptr);
        RebuildConsistCache(consists, false, nullptr);
    }

    // The hits of one item in result order, each "<weight> <item name> > <user>" in small
    // letters; the user is the list's route for list hits, else its folder and file.
    static QStringList Hits(const UsedInList& results, const QString& item) {
        QStringList lines;
        for (const auto& r : results) {
            if (r->Kind == 0 || r->ItemText.compare(item, Qt::CaseInsensitive) != 0)
                continue;
            const QString user = r->Weight <= UW_EXPLORE_CONSIST_LIST
                                     ? r->Text1
                                     : r->Text2 + QLatin1Char('\\') + r->Text3;
            lines << QStringLiteral("%1 %2 > %3").arg(r->Weight).arg(r->ItemName, user).toLower();
        }
        return lines;
    }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host(QStringLiteral("MSTS")), drive.Host(QStringLiteral("STORE"))};
    FakeUi ui;
};

} // namespace qv
