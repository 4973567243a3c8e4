// Shapes made to cost the reader work with the square of a count, or a model far larger than
// their bytes: reading them grows in step with their size, and what no real shape needs is
// refused with a reason.
#include "allocationcount.h"
#include "fixtures/growth.h"
#include "graphics/shapebuild.h"
#include "graphics/shapereader.h"
#include "testshapes.h"

#include <gtest/gtest.h>
#include <memory>

namespace qv {
namespace {

using namespace qv::test;

TEST(ShapeGrowth, ReadingAndCheckingGrowInStepWithTheShape) {
    struct Case {
        const char* what;
        int size;
        SizedJob make;
    } cases[] = {
        {"a chain of matrices, each the parent of the next", 4000,
         [](int n) {
             auto model = std::make_shared<ShapeModel>();
             model->matrices.resize(std::size_t(n));
             model->distanceLevels.resize(1);
             for (int i = 0; i < n; ++i)
                 model->distanceLevels[0].hierarchy.push_back(i - 1);
             return [model] { EXPECT_NO_THROW(CheckShapeModel(*model)); };
         }},
        {"long lists left for later among many short lists, read on threads", 500,
         [](int n) {
             // Each long list is left for later; each short one is read where it stands, and
             // forgets what was left for later within the list it replaces.
             QString points = QStringLiteral("points ( 64");
             for (int i = 0; i < 64; ++i)
                 points += QStringLiteral(" point ( 0 0 0 )");
             points += QStringLiteral(" )\n") + QStringLiteral("shader_names ( 0 ) ").repeated(200);
             auto file = std::make_shared<QByteArray>(
                 TextShapeFile(QStringLiteral("shape (\n%1)\n").arg(points.repeated(n))));
             return [file] {
                 ShapeModel model;
                 QString error;
                 EXPECT_TRUE(ReadShapeBytes(*file, &model, &error)) << error.toStdString();
             };
         }},
    };
    for (const Case& c : cases)
        EXPECT_LT(SixteenfoldGrowth(c.make, c.size), kMostSixteenfoldGrowth) << c.what;
}

// A list left for later and then replaced by another, as often as a file can say it: each
// replaced list is read (its faults count) and let go of at once, so that the memory held grows
// by far less than each list's items for each list the file adds.
TEST(ShapeGrowth, ListsLeftForLaterAndReplacedLetGoOfTheirItems) {
    if (!CanCountHeldBytes())
        GTEST_SKIP() << "the heap cannot be counted under a sanitizer";
    constexpr int kPoints = 64;
    QString list = QStringLiteral("points ( %1").arg(kPoints);
    for (int i = 0; i < kPoints; ++i)
        list += QStringLiteral(" point ( %1 0 0 )").arg(i);
    list += QStringLiteral(" )\n");
    const auto mostHeld = [&list](int lists) {
        const QByteArray file =
            TextShapeFile(QStringLiteral("shape (\n%1)\n").arg(list.repeated(lists)));
        ShapeModel model;
        QString error;
        MarkHeldBytes();
        EXPECT_TRUE(ReadShapeBytes(file, &model, &error)) << error.toStdString();
        EXPECT_EQ(model.points.size(), std::size_t(kPoints));
        return MostHeldSinceMark();
    };
    constexpr int kFew = 250;
    const long long few = mostHeld(kFew);
    const long long many = mostHeld(16 * kFew);
    const double perList = double(many - few) / (15 * kFew);
    EXPECT_LT(perList, double(kPoints * sizeof(ShapeVector)) / 2) << perList << " bytes a list";
}

TEST(ShapeGrowth, AHierarchyLoopIsNamedAtTheFirstMatrixThatReachesIt) {
    ShapeModel model;
    model.matrices.resize(5);
    model.distanceLevels.resize(1);
    model.distanceLevels[0].hierarchy = {-1, 0, 4, 2, 3};
    try {
        CheckShapeModel(model);
        ADD_FAILURE() << "the loop went through";
    } catch (const ShapeError& error) {
        EXPECT_TRUE(error.reason.endsWith(QLatin1String("loops back on itself at matrix 2")))
            << error.reason.toStdString();
    }
}

// A list may claim no more entries than a real shape needs, nor hold more than it claims: the
// file is refused before the model grows with them.
TEST(ShapeGrowth, ListsBeyondWhatAShapeNeedsAreRefusedWithTheirReason) {
    const auto levels = [](int claimed, int held) {
        return QStringLiteral("shape ( lod_controls ( 1 lod_control ( distance_levels ( %1 %2 ) ) "
                              ") )")
            .arg(claimed)
            .arg(QStringLiteral("distance_level ( ) ").repeated(held));
    };
    const auto subObjects = [](int claimed, int held) {
        return QStringLiteral("shape ( lod_controls ( 1 lod_control ( distance_levels ( 1 "
                              "distance_level ( sub_objects ( %1 %2 ) ) ) ) ) )")
            .arg(claimed)
            .arg(QStringLiteral("sub_object ( ) ").repeated(held));
    };
    struct Case {
        QString text;
        const char* reason;
    } cases[] = {
        {levels(256, 256), ""},
        {levels(257, 257), "the distance_levels list at line 2 claims 257 entries, more than a "
                           "shape needs (256 at most)"},
        {levels(1, 100000), "the distance_levels list holds more entries than the 1 it claims"},
        {subObjects(4096, 4096), ""},
        {subObjects(4097, 4097), "claims 4097 entries, more than a shape needs (4096 at most)"},
        {subObjects(2, 100000), "the sub_objects list holds more entries than the 2 it claims"},
        {QStringLiteral("shape ( points ( 1 point ( 0 0 0 ) point ( 1 1 1 ) ) )"),
         "the points list holds more entries than the 1 it claims"},
    };
    for (const Case& c : cases) {
        ShapeModel model;
        QString error;
        EXPECT_EQ(ReadShapeBytes(TextShapeFile(c.text), &model, &error), *c.reason == 0)
            << c.reason;
        EXPECT_TRUE(error.contains(QLatin1String(c.reason))) << error.toStdString();
    }
}

} // namespace
} // namespace qv
