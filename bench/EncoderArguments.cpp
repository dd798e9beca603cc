// Prints the encoder's arguments for one choice, one a line, so that bench/run-formats.sh
// measures exactly what the job runs.
//   encoder_arguments RATE SIZE DEFLICKER(0|1) FOLDER PREFIX DESTINATION
#include "app/SettingsRules.h"
#include "bench/EncoderWords.h"
#include "video/EncoderCommandLine.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 7) {
        std::fprintf(stderr, "usage: %s rate size deflicker folder prefix destination\n", argv[0]);
        return 2;
    }
    // The benchmarks' sequences are longer than the deflicker's window.
    const int longSequence = 1000;
    std::string line = BuildEncoderCommandLine(std::atoi(argv[1]), std::atoi(argv[2]), settings_rules::FRAMING_FIT,
                                               std::atoi(argv[3]) != 0, {}, longSequence, argv[4], argv[5], argv[6]);
    for (const std::string& word : fixtures::EncoderWords(line))
        std::printf("%s\n", word.c_str());
    return 0;
}
