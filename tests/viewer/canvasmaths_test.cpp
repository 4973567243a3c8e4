#include "canvastestkit.h"
#include "fakecanvas.h"
#include "viewer/canvas.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

using test::FakeCanvas;

void ExpectNear(const Vec3& got, const Vec3& want) {
    EXPECT_NEAR(got.x, want.x, 1e-4f);
    EXPECT_NEAR(got.y, want.y, 1e-4f);
    EXPECT_NEAR(got.z, want.z, 1e-4f);
}

// Clip coordinates divided by w: where a point lands on the screen (x right, y up) and its depth.
Vec3 Project(const Vec3& p, const Mat4& m) {
    const float x = p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0];
    const float y = p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1];
    const float z = p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2];
    const float w = p.x * m.m[0][3] + p.y * m.m[1][3] + p.z * m.m[2][3] + m.m[3][3];
    return {x / w, y / w, z / w};
}

TEST(CanvasMaths, VehicleWorldMatrix_TurnsThenMovesAlongTheConsist) {
    struct Case {
        const char* name;
        bool flipped;
        float centre;
        Vec3 point;
        Vec3 placed;
    } cases[] = {
        {"side of a vehicle turned half round", false, 10, {1, 0, 0}, {-1, 0, 10}},
        {"front of a vehicle turned half round", false, 10, {0, 2, 3}, {0, 2, 7}},
        {"flipped vehicle turned a whole turn", true, 10, {1, 0, 3}, {1, 0, 13}},
        {"first vehicle at the start", false, 0, {0, 0, 0}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectNear(TransformPoint(c.point, VehicleWorldMatrix(c.flipped, c.centre)), c.placed);
    }
}

TEST(CanvasMaths, CameraBesideTheConsistSeesItAlongTheScreen) {
    CanvasView view;
    view.eye = {10, 0, 5};
    view.target = {0, 0, 5};
    const Mat4 m = MatrixMultiply(ViewMatrix(view), ProjectionMatrix(view, false, 200, 60));
    struct Case {
        const char* name;
        Vec3 point;
        int sideX; // -1 left of the centre, 0 on it, 1 right
        int sideY;
    } cases[] = {
        {"target", {0, 0, 5}, 0, 0},
        {"further along the consist", {0, 0, 7}, 1, 0},
        {"back along the consist", {0, 0, 3}, -1, 0},
        {"above", {0, 1, 5}, 0, 1},
        {"below", {0, -1, 5}, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Vec3 ndc = Project(c.point, m);
        EXPECT_EQ(ndc.x > 1e-4f ? 1 : ndc.x < -1e-4f ? -1 : 0, c.sideX);
        EXPECT_EQ(ndc.y > 1e-4f ? 1 : ndc.y < -1e-4f ? -1 : 0, c.sideY);
    }
}

TEST(CanvasMaths, PerspectiveMapsNearAndFarToTheDepthRange) {
    CanvasView view;
    view.eye = {0, 0, 0};
    view.target = {0, 0, 1};
    const Mat4 m = MatrixMultiply(ViewMatrix(view), ProjectionMatrix(view, false, 200, 60));
    EXPECT_NEAR(Project({0, 0, kCanvasNearPlane}, m).z, -1, 1e-4f);
    EXPECT_NEAR(Project({0, 0, kCanvasFarPlane}, m).z, 1, 1e-4f);
    // The vertical field of view is pi/8: a point at half that angle is at the top edge.
    EXPECT_NEAR(Project({0, std::tan(kCanvasFieldOfView / 2) * 20, 20}, m).y, 1, 1e-4f);
}

TEST(CanvasMaths, OrthogonalViewKeepsSizesAndMatchesAtTheTargetDistance) {
    CanvasView view;
    view.eye = {10, 0, 0};
    view.target = {0, 0, 0};
    const Mat4 ortho = MatrixMultiply(ViewMatrix(view), ProjectionMatrix(view, true, 200, 60));
    const Mat4 persp = MatrixMultiply(ViewMatrix(view), ProjectionMatrix(view, false, 200, 60));
    EXPECT_NEAR(Project({0, 1, 2}, ortho).y, Project({0, 1, 2}, persp).y, 1e-4f);
    EXPECT_NEAR(Project({3, 1, 2}, ortho).y, Project({-3, 1, 2}, ortho).y, 1e-4f);
    EXPECT_GT(Project({3, 1, 2}, persp).y, Project({-3, 1, 2}, persp).y);
}

TEST(CanvasMaths, LightOfTheOtherSideIsMirroredAcrossTheConsist) {
    const Vec3 normal = LightDirection(kCanvasLightAngle);
    const Vec3 other = LightDirection(1440 - kCanvasLightAngle);
    EXPECT_GT(normal.x, 0); // from the side the camera starts on
    EXPECT_NEAR(other.x, -normal.x, 1e-5f);
    EXPECT_NEAR(other.z, normal.z, 1e-5f);
    EXPECT_NEAR(normal.x * normal.x + normal.y * normal.y + normal.z * normal.z, 1, 1e-5f);
}

class CanvasModelShapes : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.Ok());
        ASSERT_TRUE(folder.Write("TRAINSET/BOX/box.s", test::BoxTextFile({.animatedFlag = true})));
        ASSERT_TRUE(folder.Write("TRAINSET/BOX/box.ace", test::BoxTexture()));
        canvas.Startup();
        ASSERT_TRUE(model.LoadShape(folder.Windows("TRAINSET/BOX/box.s")))
            << model.Error().toStdString();
    }
    test::StockFolder folder;
    FakeCanvas canvas;
    CanvasModel model{&canvas};
};

TEST_F(CanvasModelShapes, SizeQueryGivesTheBoundingSphereWhereTheVehicleStands) {
    model.SetWorldMatrix(VehicleWorldMatrix(false, 12.5f));
    float x = -1, y = -1, z = -1, size = -1;
    model.SizeQuery(&x, &y, &z, &size);
    EXPECT_NEAR(x, 0, 1e-5f);
    EXPECT_NEAR(y, 0, 1e-5f);
    EXPECT_NEAR(z, 12.5f, 1e-5f);
    EXPECT_FLOAT_EQ(size, 3.4f);
}

TEST_F(CanvasModelShapes, AnimatedNodeTurnsByTheMiddleOfItsAnimation) {
    const CanvasShape& shape = *model.Shape();
    ASSERT_EQ(shape.model.matrices.size(), 2u);
    // The flag's top corner, in its own node, placed up the hierarchy.
    ExpectNear(TransformPoint({0, 0.9f, 0}, PoseMatrices(shape, 0)[1]), {-1.5f, 0.9f, 0});
    ExpectNear(TransformPoint({0, 0.9f, 0}, PoseMatrices(shape, 0.5f)[1]), {-1.5f, -0.9f, 0});
    ExpectNear(TransformPoint({0, 0.9f, 0}, PoseMatrices(shape, 1)[1]), {-1.5f, 0.9f, 0});
    // The body does not move.
    ExpectNear(TransformPoint({1, 1, 1}, PoseMatrices(shape, 0.5f)[0]), {1, 1, 1});
}

TEST(CanvasShape, MostDetailedLevelIsTheOneWithTheSmallestDistance) {
    ShapeModel model;
    EXPECT_EQ(MostDetailedLevel(model), -1);
    model.distanceLevels.resize(3);
    model.distanceLevels[0].selection = 400;
    model.distanceLevels[1].selection = 50;
    model.distanceLevels[2].selection = 2000;
    EXPECT_EQ(MostDetailedLevel(model), 1);
}

TEST_F(CanvasModelShapes, SceneHoldsWhatWasDrawnBetweenBeginAndEnd) {
    model.Draw(1, 0); // outside a scene: nothing
    ASSERT_TRUE(canvas.BeginScene());
    model.Draw(1, 0.25f);
    model.Draw(0, 0.5f); // flag 0 draws nothing
    canvas.EndScene();
    ASSERT_EQ(canvas.Scene().size(), 1u);
    EXPECT_FLOAT_EQ(canvas.Scene()[0].phase, 0.25f);
    EXPECT_EQ(canvas.refreshes, 1);
}

TEST(CanvasState, NoSceneBeforeStartupAndDefaultsAfterInit) {
    FakeCanvas canvas;
    EXPECT_FALSE(canvas.BeginScene());
    canvas.SetBackgroundColour(0x123456);
    canvas.SetOrthogonal(true);
    canvas.SetViewParams(0.5f, 2, 50);
    canvas.InitDefaults();
    EXPECT_EQ(canvas.BackgroundColour(), kCanvasBackground);
    EXPECT_EQ(canvas.Ambient(), kCanvasAmbient);
    EXPECT_FALSE(canvas.Orthogonal());
    EXPECT_FLOAT_EQ(canvas.View().fieldOfView, kCanvasFieldOfView);
    EXPECT_FLOAT_EQ(canvas.View().farPlane, kCanvasFarPlane);
    // A view that cannot be projected is refused.
    canvas.SetViewParams(0.3926991f, 5, 1);
    EXPECT_FLOAT_EQ(canvas.View().nearPlane, kCanvasNearPlane);
}

} // namespace
} // namespace qv
