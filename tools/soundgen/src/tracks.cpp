#include "tracks.hpp"

namespace {

Patch softLead() {
    Patch p;
    p.wave = Wave::Pulse;
    p.pulseWidth = 0.3;
    p.amp = {0.01, 0.25, 0.65, 0.09};
    p.cutoffHz = 2400.0;
    p.cutoffEnvHz = 1800.0;
    p.cutoffDecay = 0.12;
    p.vibratoCents = 14.0;
    p.vibratoDelay = 0.18;
    p.gain = 0.26;
    return p;
}

Patch roundBass() {
    Patch p;
    p.wave = Wave::Pulse;
    p.subLevel = 0.6;
    p.amp = {0.004, 0.15, 0.6, 0.04};
    p.cutoffHz = 420.0;
    p.cutoffEnvHz = 900.0;
    p.cutoffDecay = 0.07;
    p.resonance = 1.1;
    p.gain = 0.42;
    return p;
}

Patch pluck(Wave wave, double cutoff, double gain) {
    Patch p;
    p.wave = wave;
    p.pulseWidth = 0.25;
    p.detuneCents = wave == Wave::Saw ? 9.0 : 0.0;
    p.amp = {0.002, 0.16, 0.0, 0.06};
    p.cutoffHz = cutoff;
    p.cutoffEnvHz = 1600.0;
    p.cutoffDecay = 0.05;
    p.resonance = 0.9;
    p.gain = gain;
    return p;
}

Patch warmPad(double cutoff, double gain) {
    Patch p;
    p.wave = Wave::Saw;
    p.detuneCents = 11.0;
    p.amp = {0.25, 0.6, 0.75, 0.35};
    p.cutoffHz = cutoff;
    p.gain = gain;
    return p;
}

}  // namespace

Song danceSong() {
    const Groove full{"x...x...x...x...", "....x.......x...", "x.X.x.X.x.X.x.Xx", ""};
    const Groove light{"x.......x.......", "....x.......x...", "..x...x...x...x.", ""};
    const std::string bass = "r-o.r-o.r-o.f-o.";
    const std::string stabs = "..c...c...c...c.";
    const std::string rolling = "0.1.2.1.0.1.2.3.";

    const std::string aHead = "e5 - g5 e5 c6 - g5 - | a5 - g5 e5 c5 - e5 - | f5 - a5 f5 c6 - a5 g5 |";
    // A ends on a pickup that leads both into A' and back to the top of the loop.
    Section a{{"C", "Am", "F", "G"}, aHead + " g5 - - - d5 - e5 f5", full, bass, stabs, false};
    Section a2{{"C", "Am", "F,G", "C"},
               "e5 - g5 e5 c6 - g5 - | a5 - g5 e5 c5 - e5 - | f5 - a5 - d5 - b4 - | c5 - - - - - . .",
               full,
               bass,
               stabs,
               false};
    Section b{{"F", "G", "Em,Am", "Dm,G"},
              "a5 - - - c6 - a5 - | b5 - - - d6 - b5 - | g5 - e5 - a5 - c6 - | d6 - c6 - b5 - g5 -",
              light,
              "r---o---r---f---",
              rolling,
              true};

    Song s;
    s.title = "Zembrak - Dance";
    s.bpm = 116.0;
    s.seed = 0x5A454D42ull;
    s.lead = softLead();
    s.bass = roundBass();
    s.arp = pluck(Wave::Saw, 1400.0, 0.16);
    s.pad = warmPad(1100.0, 0.07);
    s.leadPan = 0.05f;
    s.arpPan = -0.3f;
    s.delay = {0.388, 0.517, 0.3, 0.22, 2800.0};  // dotted eighth / quarter at 116 bpm
    s.reverbWet = 0.25;
    s.sections = {a, a2, b, a};
    return s;
}

Song gameSong() {
    const Groove drive{"x...x...x...x...", "....x.......x...", "x.x.x.x.x.x.x.xx", "..x...x...x...x."};
    const Groove intro{"x...x...x...x...", "", "x.x.x.x.x.x.x.x.", ""};
    const Groove breakdown{"x.........x.....", "............x...", "..x...x...x...x.", ""};
    // Under the lead the closed hats thin out to the beat; open hats keep the offbeat.
    const Groove driveSplit{drive.kick, drive.snare, "x...x...x...x.xx", drive.openHat};
    const std::string gallop = "r.rrr.rrr.rro.r.";
    const std::string arp = "0121312101213121";

    const std::vector<std::string> home{"Am", "Am", "F", "E"};
    Section intro1{home, "", intro, gallop, arp, false};
    Section a{home,       "a4 - - - e5 - - - | d5 - c5 - b4 - c5 - | a4 - - - f5 - e5 - | e5 - - - g#4 - b4 -",
              driveSplit, gallop,
              arp,        false};
    Section b{{"Dm", "Am", "F,G", "E"},
              "f5 - - - e5 - d5 - | e5 - - - c5 - a4 - | c5 - - - d5 - - - | b4 - - - g#4 - - -",
              driveSplit,
              gallop,
              arp,
              true};
    Section a2{home,       "a4 - - - e5 - - - | d5 - c5 - b4 - a4 - | c5 - - - a4 - f5 - | e5 - - - - - - .",
               driveSplit, gallop,
               arp,        false};
    Section down{{"F", "G", "Am", "E"},
                 "a4 - - - - - - - | b4 - - - - - - - | c5 - - - - - - - | b4 - - - g#4 - - -",
                 breakdown,
                 "r-------r---o---",
                 "0.1.2.1.0.1.2.1.",
                 true};

    Song s;
    s.title = "Zembrak - Game";
    s.bpm = 130.0;
    s.seed = 0x5A47414Dull;
    s.lead = softLead();
    s.lead.wave = Wave::Saw;
    s.lead.detuneCents = 6.0;
    s.lead.cutoffHz = 1500.0;
    s.lead.cutoffEnvHz = 900.0;
    s.lead.gain = 0.24;
    s.bass = roundBass();
    s.bass.wave = Wave::Saw;
    s.bass.cutoffHz = 360.0;
    s.bass.resonance = 1.4;
    s.arp = pluck(Wave::Pulse, 1300.0, 0.1);
    s.pad = warmPad(800.0, 0.06);
    s.leadPan = -0.1f;
    s.arpPan = 0.3f;
    s.delay = {0.346, 0.462, 0.28, 0.2, 2400.0};  // dotted eighth / quarter at 130 bpm
    s.reverbWet = 0.2;
    s.sections = {intro1, a, b, a2, down};
    return s;
}
