#include "catalogue/consistvehicles.h"

#include "core/stringlist.h"
#include "stocktestkit.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

std::vector<bool> Flips(const SviewModelList& entries) {
    std::vector<bool> flips;
    for (const auto& entry : entries)
        flips.push_back(entry->Flipped);
    return flips;
}

} // namespace

class ConsistVehiclesTest : public StockTest {
protected:
    bool Read(const QString& file, StringList* files, SviewModelList* entries) {
        return ReadConsistVehicles(QStringLiteral("C:\\MSTS\\TRAINS\\CONSISTS\\") + file, files,
                                   entries);
    }
};

TEST_F(ConsistVehiclesTest, FlipsTheVehicleWhoseBlockHasAFlipLineWhereverItStands) {
    WriteConsist("F.con", {"Train (", "TrainCfg ( F",
                           // Flip before the data line, flip after it, no flip, a repeat.
                           "Engine (", "Flip ( )", "EngineData ( Loco Loco )", ")", "Wagon (",
                           "WagonData ( Box Cars )", "Flip ( )", ")", "Wagon (",
                           "WagonData ( Box Cars )", ")", "Engine (", "EngineData ( \"Big\"+",
                           "\"Loco\" \"Loco Set\"", ")", ")", ")"});
    StringList files;
    SviewModelList entries;
    ASSERT_TRUE(Read("F.con", &files, &entries));
    EXPECT_EQ(files.Strings(), QStringList({"Loco\\Loco.ENG", "Cars\\Box.WAG", "Cars\\Box.WAG",
                                            "Loco Set\\BigLoco.ENG"}));
    EXPECT_EQ(Flips(entries), std::vector<bool>({true, true, false, false}));

    // Lists are added to, not replaced; without lists the result still tells.
    ASSERT_TRUE(Read("F.con", &files, nullptr));
    EXPECT_EQ(files.Count(), 8);
    EXPECT_TRUE(Read("F.con", nullptr, nullptr));
}

TEST_F(ConsistVehiclesTest, IsFalseForAConsistWithoutVehiclesOrAMissingFile) {
    WriteConsist("Empty.con", {"Train (", "TrainCfg ( Empty", "Name ( Empty )", ")", ")"});
    StringList files;
    EXPECT_FALSE(Read("Empty.con", &files, nullptr));
    EXPECT_FALSE(Read("Missing.con", &files, nullptr));
    EXPECT_TRUE(files.IsEmpty());
}
