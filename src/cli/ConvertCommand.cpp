#include "cli/CliCommand.h"

#include "build/gUtils.h"

namespace {

const char kHelp[] = "Usage: zorvane-cli convert PICTURE OUT.bmp\n"
                     "\n"
                     "Writes PICTURE, drawn over white, as an uncompressed 24-bit BMP, and prints\n"
                     "the colour of its bottom-left pixel as six hexadecimal digits, blue first.\n"
                     "\n"
                     "Exit codes: 0 written; 1 the picture cannot be read or written; 2 wrong\n"
                     "arguments.";

int Run(const QStringList& arguments) {
    const CliArguments args = ParseArguments(arguments, {}, 2);
    BgrTriple colour{};
    ConvertPictureToBmp(args.Positional[0], args.Positional[1], colour);
    PrintLine(TripleHex(colour));
    return kExitOk;
}

} // namespace

const CliCommand kConvertCommand = {"convert", "write a picture as the 24-bit BMP of a build",
                                    kHelp, Run};
