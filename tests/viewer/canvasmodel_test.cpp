#include "canvastestkit.h"
#include "fakecanvas.h"
#include "viewer/canvas.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

using test::FakeCanvas;

class CanvasTextures : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.Ok());
        canvas.Startup();
    }
    QString Shape(const QString& imageName, const char* name = "BOX/box.s") {
        const QString relative = QStringLiteral("TRAINSET/") + QLatin1String(name);
        EXPECT_TRUE(folder.Write(relative, test::BoxTextFile({.imageName = imageName})));
        return folder.Windows(relative);
    }
    test::StockFolder folder;
    FakeCanvas canvas;
};

TEST_F(CanvasTextures, FoundBesideTheShapeThenInTheTextureFolderWithoutRegardToCase) {
    struct Case {
        const char* name;
        const char* textureAt; // relative to the stock folder; null: no texture file
        const char* imageName;
        bool found;
        const char* warning; // part of the warning when not found
    } cases[] = {
        {"beside the shape", "TRAINSET/BOX/box.ace", "box.ace", true, ""},
        {"beside the shape in another case", "TRAINSET/BOX/BOX.ACE", "Box.Ace", true, ""},
        {"in the texture folder", "TRAINSET/Textures/box.ace", "box.ace", true, ""},
        {"missing", nullptr, "box.ace", false, "was found neither"},
        {"reaching up a folder", "TRAINSET/box.ace", "..\\box.ace", false, "not a plain file name"},
        {"naming a drive", "TRAINSET/BOX/box.ace", "C:\\box.ace", false, "not a plain file name"},
        {"naming a device", "TRAINSET/BOX/con.ace", "con.ace", false, "not a plain file name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::StockFolder own;
        ASSERT_TRUE(own.Ok());
        if (c.textureAt) {
            ASSERT_TRUE(own.Write(QLatin1String(c.textureAt), test::BoxTexture()));
        }
        const QString shape = own.Windows(QStringLiteral("TRAINSET/BOX/box.s"));
        ASSERT_TRUE(own.Write(QStringLiteral("TRAINSET/BOX/box.s"),
                              test::BoxTextFile({.imageName = QLatin1String(c.imageName)})));
        FakeCanvas fresh;
        CanvasModel model(&fresh);
        model.SetTextureFolder(QStringLiteral("..\\textures\\"));
        // A texture that is not there never fails the load: the part draws untextured.
        ASSERT_TRUE(model.LoadShape(shape)) << model.Error().toStdString();
        ASSERT_EQ(model.Textures().size(), 1u);
        EXPECT_EQ(model.Textures()[0] != nullptr, c.found);
        if (c.found) {
            EXPECT_TRUE(model.Warnings().isEmpty()) << model.Warnings().join(u'\n').toStdString();
            EXPECT_EQ(model.Textures()[0]->width, 8);
        } else {
            ASSERT_EQ(model.Warnings().size(), 1);
            EXPECT_TRUE(model.Warnings()[0].contains(QLatin1String(c.warning)))
                << model.Warnings()[0].toStdString();
        }
    }
}

TEST_F(CanvasTextures, BadTextureLeavesAWarningAndTheShapeLoaded) {
    const QString shape = Shape(QStringLiteral("box.ace"));
    ASSERT_TRUE(folder.Write(QStringLiteral("TRAINSET/BOX/box.ace"), "SIMISA@@@@@@@@@@garbage"));
    CanvasModel model(&canvas);
    ASSERT_TRUE(model.LoadShape(shape)) << model.Error().toStdString();
    EXPECT_EQ(model.Textures()[0], nullptr);
    ASSERT_EQ(model.Warnings().size(), 1);
    EXPECT_TRUE(model.Warnings()[0].contains(QLatin1String("cannot be read")));
    // A second vehicle does not read the bad file again.
    CanvasModel again(&canvas);
    ASSERT_TRUE(again.LoadShape(shape));
    EXPECT_EQ(canvas.Library().TextureReads(), 1);
}

TEST_F(CanvasTextures, ShapeThatDoesNotLoadSaysWhyAndDrawsNothing) {
    struct Case {
        const char* name;
        QByteArray bytes; // empty: no file at all
    } cases[] = {
        {"missing", {}},
        {"not a shape", "SIMISA@@@@@@@@@@JINX0t1t______\r\nnothing"},
        {"cut short", test::BoxBinaryFile().left(300)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString relative = QStringLiteral("TRAINSET/BAD/%1.s").arg(QLatin1String(c.name));
        if (!c.bytes.isEmpty()) {
            ASSERT_TRUE(folder.Write(relative, c.bytes));
        }
        CanvasModel model(&canvas);
        EXPECT_FALSE(model.LoadShape(folder.Windows(relative)));
        EXPECT_FALSE(model.Error().isEmpty());
        EXPECT_FALSE(model.Loaded());
        ASSERT_TRUE(canvas.BeginScene());
        model.Draw(1, 0);
        canvas.EndScene();
        EXPECT_TRUE(canvas.Scene().empty());
    }
}

TEST_F(CanvasTextures, VehiclesOfOneShapeShareItsParseAndTextures) {
    const QString shape = Shape(QStringLiteral("box.ace"));
    ASSERT_TRUE(folder.Write(QStringLiteral("TRAINSET/BOX/box.ace"), test::BoxTexture()));
    CanvasModel first(&canvas);
    ASSERT_TRUE(first.LoadShape(shape));
    EXPECT_TRUE(first.TexturesLoaded());

    // As the viewer windows load a second vehicle of the same file: own textures off, then
    // taken from the first.
    CanvasModel second(&canvas);
    second.SetOwnTextures(false);
    ASSERT_TRUE(second.LoadShape(shape.toUpper()));
    EXPECT_FALSE(second.TexturesLoaded());
    EXPECT_EQ(second.Textures()[0], nullptr);
    second.ShareTexturesFrom(first);
    EXPECT_EQ(second.Textures()[0], first.Textures()[0]);
    EXPECT_EQ(second.Shape(), first.Shape());

    // Even a vehicle that reads its own textures finds them already read.
    CanvasModel third(&canvas);
    ASSERT_TRUE(third.LoadShape(shape));
    EXPECT_EQ(third.Textures()[0], first.Textures()[0]);
    EXPECT_EQ(canvas.Library().ShapeReads(), 1);
    EXPECT_EQ(canvas.Library().TextureReads(), 1);

    // A model of another shape has no textures to give.
    CanvasModel other(&canvas);
    ASSERT_TRUE(other.LoadShape(Shape(QStringLiteral("box.ace"), "OTHER/other.s")));
    other.SetOwnTextures(false);
    CanvasModel empty(&canvas);
    empty.SetOwnTextures(false);
    ASSERT_TRUE(empty.LoadShape(shape));
    empty.ShareTexturesFrom(other);
    EXPECT_EQ(empty.Textures()[0], nullptr);
}

TEST(CanvasTextureLevels, HalvingAveragesTheTexelsItCovers) {
    struct Case {
        const char* name;
        int width, height;
        std::vector<int> reds; // one per texel, row by row
        int halfWidth, halfHeight;
        std::vector<int> halfReds;
    } cases[] = {
        {"two by two", 2, 2, {0, 100, 200, 100}, 1, 1, {100}},
        {"four by one", 4, 1, {10, 30, 50, 70}, 2, 1, {20, 60}},
        {"odd width keeps its last column", 3, 1, {0, 40, 80}, 1, 1, {20}},
        {"single texel", 1, 1, {9}, 1, 1, {9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CanvasTexture texture;
        texture.width = c.width;
        texture.height = c.height;
        for (int red : c.reds)
            texture.rgba.append(char(red)).append(char(0)).append(char(0)).append(char(255));
        const CanvasTexture half = HalveTexture(texture);
        ASSERT_EQ(half.width, c.halfWidth);
        ASSERT_EQ(half.height, c.halfHeight);
        ASSERT_EQ(half.rgba.size(), qsizetype(c.halfReds.size()) * 4);
        for (size_t i = 0; i < c.halfReds.size(); ++i) {
            EXPECT_EQ(uchar(half.rgba[qsizetype(i) * 4]), c.halfReds[i]);
            EXPECT_EQ(uchar(half.rgba[qsizetype(i) * 4 + 3]), 255);
        }
    }
}

} // namespace
} // namespace qv
