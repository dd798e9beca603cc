// Prints the encoder's arguments for one choice, one a line, so that bench/run-formats.sh
// measures exactly what the job runs; with FIRST and COUNT, those of one segment of a
// sequence of FRAMES.
//   encoder_arguments RATE SIZE DEFLICKER(0|1) QUALITY(1..3) FOLDER PREFIX DESTINATION [FRAMES FIRST COUNT]
#include "app/SettingsRules.h"
#include "bench/EncoderWords.h"
#include "video/encoder/EncoderCommandLine.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 8 && argc != 11) {
        std::fprintf(stderr, "usage: %s rate size deflicker quality folder prefix destination [frames first count]\n",
                     argv[0]);
        return 2;
    }
    // Unless told, the benchmarks' sequences are longer than the deflicker's window.
    int frames = argc == 11 ? std::atoi(argv[8]) : 1000;
    EncoderShare share;
    if (argc == 11)
        share = {std::atoi(argv[9]), std::atoi(argv[10]), 1};
    std::string line = BuildEncoderCommandLine(std::atoi(argv[1]), std::atoi(argv[2]), settings_rules::FRAMING_FIT,
                                               std::atoi(argv[3]) != 0, std::atoi(argv[4]), {}, frames, argv[5], argv[6],
                                               argv[7], share);
    for (const std::string& word : fixtures::EncoderWords(line))
        std::printf("%s\n", word.c_str());
    return 0;
}
