// Shapes made to cost the viewer work with the square of a count: preparing and posing them
// grows in step with their size.
#include "fixtures/growth.h"
#include "viewer/canvasshape.h"

#include <climits>
#include <gtest/gtest.h>
#include <memory>

namespace qv {
namespace {

// One point, vertex, state and node: enough for triangle lists to draw.
std::shared_ptr<CanvasShape> BareShape(int matrices) {
    auto shape = std::make_shared<CanvasShape>();
    ShapeModel& m = shape->model;
    m.points.resize(1);
    m.shaderNames = {QStringLiteral("Tex")};
    m.vertexStates.resize(1);
    m.primStates.resize(1);
    for (int i = 0; i < matrices; ++i) {
        m.matrices.emplace_back();
        m.matrices.back().name = QStringLiteral("NODE%1").arg(i);
        m.matrices.back().translation = {1, 0, 0};
    }
    m.distanceLevels.resize(1);
    m.distanceLevels[0].subObjects.resize(1);
    m.distanceLevels[0].subObjects[0].vertices.resize(1);
    return shape;
}

void Prepare(CanvasShape* shape) {
    QString error;
    ASSERT_TRUE(PrepareCanvasShape(shape, &error)) << error.toStdString();
}

TEST(CanvasGrowth, PreparingAndPosingGrowInStepWithTheShape) {
    struct Case {
        const char* what;
        int size;
        test::SizedJob make;
    } cases[] = {
        {"a batch of many one-triangle lists", 2000,
         [](int n) {
             auto shape = BareShape(1);
             shape->model.distanceLevels[0].hierarchy = {-1};
             shape->model.distanceLevels[0].subObjects[0].triangleLists.assign(
                 std::size_t(n), ShapeTriangleList{0, {0, 0, 0}});
             return [shape, n] {
                 Prepare(shape.get());
                 ASSERT_EQ(shape->batches.size(), 1u);
                 EXPECT_EQ(shape->batches[0].positions.size(), std::size_t(9 * n));
             };
         }},
        {"as many animated nodes as matrices", 1000,
         [](int n) {
             auto shape = BareShape(n);
             shape->model.distanceLevels.clear();
             shape->model.animations.resize(1);
             for (int i = 0; i < n; ++i) {
                 shape->model.animations[0].nodes.emplace_back();
                 ShapeAnimNode& node = shape->model.animations[0].nodes.back();
                 node.name = QStringLiteral("node%1").arg(i);
                 node.controllers.resize(1);
             }
             return [shape, n] {
                 Prepare(shape.get());
                 EXPECT_EQ(shape->animNodes[std::size_t(n - 1)], n - 1);
             };
         }},
        {"a chain of matrices whose parents come after them", 1000,
         [](int n) {
             auto shape = BareShape(n);
             std::vector<int>& parents = shape->model.distanceLevels[0].hierarchy;
             for (int i = 0; i < n; ++i)
                 parents.push_back(i + 1 < n ? i + 1 : -1);
             shape->level = 0;
             return [shape, n] {
                 // Each node moves one metre along x from its parent.
                 EXPECT_FLOAT_EQ(PoseMatrices(*shape, 0)[0].m[3][0], float(n));
             };
         }},
    };
    for (const Case& c : cases)
        EXPECT_LT(test::SixteenfoldGrowth(c.make, c.size), test::kMostSixteenfoldGrowth) << c.what;
}

// Of several nodes named alike, the first animated one moves the matrix.
TEST(CanvasGrowth, AMatrixTakesTheFirstAnimatedNodeOfItsNameWithoutRegardToCase) {
    auto shape = BareShape(2);
    shape->model.distanceLevels.clear();
    shape->model.animations.resize(1);
    auto& nodes = shape->model.animations[0].nodes;
    for (const char* name : {"node1", "NODE1", "Node1", "other"}) {
        nodes.emplace_back();
        nodes.back().name = QLatin1String(name);
    }
    nodes[1].controllers.resize(1);
    nodes[2].controllers.resize(1);
    Prepare(shape.get());
    EXPECT_EQ(shape->animNodes, (std::vector<int>{-1, 1}));
}

TEST(CanvasGrowth, AShapeOfMoreTrianglesThanTheViewerTakesIsRefusedWithItsReason) {
    auto shape = BareShape(1);
    shape->model.distanceLevels[0].hierarchy = {-1};
    shape->model.distanceLevels[0].subObjects[0].triangleLists = {
        ShapeTriangleList{0, std::vector<int>(kMaxCanvasTriangles * 3, 0)},
        ShapeTriangleList{0, {0, 0, 0}}}; // the lists of the drawn level count together
    QString error;
    EXPECT_FALSE(PrepareCanvasShape(shape.get(), &error));
    EXPECT_TRUE(error.contains(QString::number(kMaxCanvasTriangles + 1))) << error.toStdString();
}

// Keys at both ends of the frame numbers: frame 0 lies half way between them.
TEST(CanvasGrowth, KeysAtTheEndsOfTheFrameRangeAreInterpolated) {
    auto shape = BareShape(1);
    shape->model.distanceLevels.clear();
    ShapeAnimNode& node = shape->model.animations.emplace_back().nodes.emplace_back();
    node.name = QStringLiteral("NODE0");
    const ShapeAnimKey first{.frame = INT_MIN}, last{.frame = INT_MAX, .x = 2};
    node.controllers.push_back({ShapeController::Kind::LinearPosition, {first, last}});
    Prepare(shape.get());
    EXPECT_NEAR(PoseMatrices(*shape, 0)[0].m[3][0], 1.0f, 0.01f);
}

} // namespace
} // namespace qv
