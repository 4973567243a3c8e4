#include "core/forms/fixeddefs.h"

#include <QImage>
#include <gtest/gtest.h>

#include <memory>

using namespace qv;

namespace {

void ExpectList(const ImageList& list, int count, int size, const char* name) {
    SCOPED_TRACE(name);
    EXPECT_EQ(list.Size, QSize(size, size));
    ASSERT_EQ(list.Count(), count);
    for (const QPixmap& picture : list.Images)
        EXPECT_EQ(picture.size(), QSize(size, size));
}

// A picture is drawn on a transparent background: some pixels are see-through, some are not.
void ExpectDrawnOnTransparency(const ImageList& list, const char* name) {
    for (int i = 0; i < list.Count(); ++i) {
        const QImage image = list.Images[i].toImage().convertToFormat(QImage::Format_ARGB32);
        int clear = 0;
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const int alpha = qAlpha(image.pixel(x, y));
                clear += alpha == 0;
                opaque += alpha == 255;
            }
        }
        EXPECT_GT(clear, 0) << name << " " << i;
        EXPECT_GT(opaque, 0) << name << " " << i;
    }
}

void ExpectAllDifferent(const ImageList& list, const char* name) {
    for (int i = 0; i < list.Count(); ++i) {
        const QImage a = list.Images[i].toImage();
        for (int j = i + 1; j < list.Count(); ++j)
            EXPECT_NE(a, list.Images[j].toImage()) << name << " " << i << " and " << j;
    }
}

} // namespace

TEST(FixedDefsForm, HoldsTheFourImageListsWithTheirCountsAndSizes) {
    const TFixedDefsForm form;
    ExpectList(form.ToolBarImageList, 7, 16, "ToolBarImageList");
    ExpectList(form.ButtonImageList, 8, 32, "ButtonImageList");
    ExpectList(form.LargeImageList, 1, 64, "LargeImageList");
    ExpectList(form.StateImageList, 13, 16, "StateImageList");
}

TEST(FixedDefsForm, PicturesAreDrawnOnATransparentBackground) {
    const TFixedDefsForm form;
    ExpectDrawnOnTransparency(form.ToolBarImageList, "ToolBarImageList");
    ExpectDrawnOnTransparency(form.ButtonImageList, "ButtonImageList");
    ExpectDrawnOnTransparency(form.LargeImageList, "LargeImageList");
    ExpectDrawnOnTransparency(form.StateImageList, "StateImageList");
}

TEST(FixedDefsForm, PicturesOfOneListCanBeToldApart) {
    const TFixedDefsForm form;
    ExpectAllDifferent(form.StateImageList, "StateImageList");
    ExpectAllDifferent(form.ButtonImageList, "ButtonImageList");
    ExpectAllDifferent(form.ToolBarImageList, "ToolBarImageList");
}

TEST(FixedDefsForm, IsReachableWhileItLives) {
    EXPECT_EQ(FixedDefsForm(), nullptr);
    QObject owner;
    auto* form = new TFixedDefsForm(&owner);
    EXPECT_EQ(FixedDefsForm(), form);
    EXPECT_EQ(form->objectName(), QStringLiteral("FixedDefsForm"));
    delete form;
    EXPECT_EQ(FixedDefsForm(), nullptr);
}
