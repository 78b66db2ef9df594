#include "ImageLists.h"

#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

namespace {

bool drawn(const QIcon& icon)
{
    const QImage image = icon.pixmap(16, 16).toImage();
    if (image.size() != QSize(16, 16))
        return false;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                return true;
    return false;
}

TEST(ImageListsTest, ListsHoldTheirPicturesAtSixteenPixels)
{
    EXPECT_EQ(actionImages().size(), 2);
    EXPECT_EQ(disabledActionImages().size(), 2);
    EXPECT_GE(childImages().size(), 8);
    for (const QList<QIcon>& list : {actionImages(), disabledActionImages(), childImages()})
        for (const QIcon& icon : list)
            EXPECT_TRUE(drawn(icon));
}

TEST(ImageListsTest, DisabledPicturesAreGrey)
{
    for (const QIcon& icon : disabledActionImages()) {
        const QImage image = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const QRgb c = image.pixel(x, y);
                if (qAlpha(c)) {
                    EXPECT_TRUE(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c));
                }
            }
    }
}

} // namespace
