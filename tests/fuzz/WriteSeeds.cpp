// Writes the fixture images into a folder as the fuzzer's starting corpus.
#include "tests/fixtures/ImageBytes.h"

#include <fstream>

using namespace fixtures;

int main(int argc, char** argv)
{
    if (argc < 2)
        return 1;
    std::string folder = argv[1];
    int index = 0;
    auto write = [&](const std::string& bytes) {
        std::ofstream(folder + "/seed" + std::to_string(index++), std::ios::binary) << bytes;
    };
    for (int bits : {1, 8, 16, 24, 32})
        write(MakeBmp({9, 5, bits}));
    write(MakeBmp({9, 5, 8, false, false, 12}));
    PngOptions png;
    png.width = 5;
    png.height = 3;
    write(MakePng(png));
    GifOptions gif;
    gif.frames = {GifFrame(), GifFrame{1, 1, 2, 2}};
    write(MakeGif(gif));
    JpegOptions jpeg;
    jpeg.exif = true;
    jpeg.densityDpi = 72;
    write(MakeJpeg(jpeg));
    jpeg.progressive = true;
    jpeg.exif = false;
    write(MakeJpeg(jpeg));
    return 0;
}
