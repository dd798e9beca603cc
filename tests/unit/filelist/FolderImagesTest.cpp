#include "filelist/FolderImages.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(FolderImages, NamesSortAsExplorerShowsThem)
{
    // Each list is in the expected order.
    const std::vector<std::vector<std::string>> orders = {
        {"IMG_2.jpg", "IMG_10.jpg", "IMG_100.jpg"},
        {"img_1.bmp", "IMG_2.png", "img_3.gif"},
        {"a.jpg", "a1.jpg", "a2b.jpg", "a10.jpg", "b.jpg"},
        {"2012-05-01 9.jpg", "2012-05-01 10.jpg", "2012-5-2 1.jpg"},
        // Longer than any integer type; equal values fall back to their bytes.
        {"x99999999999999999999999.png", "x0100000000000000000000000.png", "x100000000000000000000000.png"},
        {"shot_007.jpg", "shot_7.jpg", "shot_08.jpg", "shot_8.jpg"},
        {"Z.jpg", "z.jpg", "\xC3\xA9t\xC3\xA9.jpg"},
    };
    for (const auto& expected : orders) {
        std::vector<std::string> shuffled(expected.rbegin(), expected.rend());
        std::rotate(shuffled.begin(), shuffled.begin() + 1, shuffled.end());
        EXPECT_EQ(FolderImagesInOrder(shuffled), expected);
    }
}

TEST(FolderImages, KeepsOnlyTheExtensionsTheFilterOffers)
{
    EXPECT_EQ(FolderImagesInOrder({"notes.txt", "b.GIF", "a.Jpg", "c.jpeg", "d.png.txt", "jpg", "e.bmp", "f.PNG",
                                   "Thumbs.db", ".gif", "g.JPE", "h.jfif", "i.jfi", "j.jpeg.tmp"}),
              (std::vector<std::string>{".gif", "a.Jpg", "b.GIF", "c.jpeg", "e.bmp", "f.PNG", "g.JPE", "h.jfif"}));
}
