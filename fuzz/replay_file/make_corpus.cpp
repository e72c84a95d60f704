// Writes the replay fuzzer's seed corpus with the game's own encoder:
//   replay_corpus_maker FOLDER
#include <cstdio>
#include <fstream>
#include <string>

#include "replay_sample.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: replay_corpus_maker FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    auto save = [&folder](const char* name, const std::string& bytes) {
        std::ofstream(folder + "/" + name, std::ios::binary) << bytes;
        std::printf("%s: %zu bytes\n", name, bytes.size());
    };
    const ReplayHeader onLinux{Platform::gnuLinux, "1.0", 0x5eed5eed5eed5eedull};
    const ReplayHeader onWindows{Platform::windows, "1.0.1-rc2", 1};
    save("empty.replay", encodeReplay(onLinux, {}));
    save("few-frames.replay", encodeReplay(onWindows, playLikeFrames(7, 4)));
    save("one-checksum.replay", encodeReplay(onLinux, playLikeFrames(60, 5)));
    save("play.replay", encodeReplay(onLinux, playLikeFrames(400, 6), 1234));
    save("long-still.replay", encodeReplay(onWindows, std::vector<ReplayFrame>(1500, playLikeFrames(9, 7).back())));
    std::vector<ReplayFrame> burst = playLikeFrames(70, 8);
    burst[3].soundAnswers.assign(2500, soundAnswerPlaying);
    burst[4].soundAnswers = {0, 1, 2, 3, 3, 2, 1, 0};
    save("answers.replay", encodeReplay(onLinux, burst));
    return 0;
}
