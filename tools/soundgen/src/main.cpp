// soundgen OUTDIR: synthesises every sound Zembrak plays.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <string>

#include "effects.hpp"
#include "ogg_writer.hpp"
#include "tracks.hpp"
#include "wav_writer.hpp"

namespace {

void report(const std::string& path, const StereoBuffer& buf) {
    std::printf("%-28s %7.3f s  peak %.2f\n", path.c_str(), static_cast<double>(buf.frames()) / kSampleRate,
                static_cast<double>(peakOf(buf)));
}

void writeEffect(const std::string& dir, const char* name, const std::function<StereoBuffer()>& make) {
    const StereoBuffer buf = make();
    const std::string path = dir + "/" + name;
    writeFile(path, encodeWav(toPcm16(buf), 2, kSampleRate));
    report(path, buf);
}

void writeMusic(const std::string& dir, const char* name, const Song& song, int serial) {
    const StereoBuffer buf = renderSong(song);
    const std::string path = dir + "/" + name;
    writeFile(path, encodeOggVorbis(toPcm16(buf), 2, kSampleRate, {0.4f, serial, song.title}));
    report(path, buf);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    try {
        std::filesystem::create_directories(dir);
        writeEffect(dir, "sample.wav", makeStep);
        writeEffect(dir, "die.wav", makeDie);
        writeEffect(dir, "sector.wav", makeSector);
        writeEffect(dir, "heart.wav", makeHeart);
        writeEffect(dir, "bonus.wav", makeBonus);
        writeMusic(dir, "dance.ogg", danceSong(), 0x5A4D4431);
        writeMusic(dir, "game.ogg", gameSong(), 0x5A4D4732);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "soundgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
