#include "tools/zrgen/music.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/zrgen/dsp.h"
#include "tools/zrgen/instruments.h"
#include "tools/zrgen/rng.h"

namespace {

constexpr int kBar = 16;  // rows per bar: sixteenth notes

// The mix: note volumes (0-64) of the parts, accented and plain.
constexpr int kBassAccent = 50, kBassPlain = 42;
constexpr int kPadVolume = 24;
constexpr int kLeadAccent = 54, kLeadPlain = 47;
constexpr int kDecayingLeadBoost = 8;  // bells and plucked leads fade, so they start louder
constexpr int kArpVolume = 38;

enum Channel : int {
  CH_BASS,
  CH_PAD1,
  CH_PAD2,
  CH_PAD3,
  CH_LEAD,
  CH_ECHO,
  CH_ARP,
  CH_KICK,
  CH_SNARE,
  CH_HAT,
  CH_PERC,
  CH_COUNT
};
// Pan per channel, 0 (left) to 15 (right): bass, kick and lead near the middle.
constexpr std::array<uint8_t, CH_COUNT> kPans = {7, 3, 9, 12, 7, 11, 10, 7, 8, 10, 5};

// Instrument numbers (1-based) in every song.
enum Instrument : uint8_t {
  I_BASS = 1,
  I_PAD,
  I_LEAD,
  I_ARP,
  I_KICK,
  I_SNARE,
  I_HAT,
  I_OPEN_HAT,
  I_CRASH,
  I_PERC,
};

enum class BassStyle { POP, DRIVE, FUNK, LONG, WALK, MARCH };
enum class PadStyle { HELD, STABS, PULSE };
enum class Section { INTRO, GROOVE, VERSE, BRIDGE, VERSE2, OUTRO };

struct Drums {
  const char *kick, *snare, *hat, *openHat, *perc;
};

struct PlanStep {
  Section section;
  int bars;
};

struct Style {
  std::string_view name, title;
  int tonic;                 // MIDI note of the key in the bass octave
  std::array<int, 7> scale;  // semitones of the seven degrees
  int tempo, speed;
  std::array<int, 8> verse, bridge;  // chord (scale degree of its root) per bar
  BassStyle bass, bridgeBass;
  PadStyle pad;
  Drums drums;
  Tone bassTone, padTone, leadTone, arpTone;
  Drum kick, snare, hat, openHat, perc;
  int leadBase;   // MIDI note of the melody's degree 0
  int arpBase;    // MIDI note around which arpeggios run
  int arpStep;    // rows between arpeggio notes
  int echoDelay;  // rows the lead's echo trails it by
  bool calm;      // longer melody notes
  std::vector<PlanStep> plan;
  uint64_t seed;
  int padTrim = 0, leadTrim = 0;  // this song's mix: added to the pad's and the lead's volumes
  bool swing = false;             // sixteenths alternate long and short
};

constexpr std::array<int, 7> kMajor = {0, 2, 4, 5, 7, 9, 11};
constexpr std::array<int, 7> kMinor = {0, 2, 3, 5, 7, 8, 10};
constexpr std::array<int, 7> kDorian = {0, 2, 3, 5, 7, 9, 10};
constexpr std::array<int, 7> kLydian = {0, 2, 4, 6, 7, 9, 11};
constexpr std::array<int, 7> kPhrygianDominant = {0, 1, 4, 5, 7, 8, 10};

// The six songs. Each has its own key, mode, tempo, band and grooves.
std::vector<Style> styles() {
  using S = Section;
  std::vector<Style> list;
  // Attract sequence: a bright D major anthem with brass chords and a marching bass.
  list.push_back(
      {.name = "title",
       .title = "Veldran Skies",
       .tonic = 38,
       .scale = kMajor,
       .tempo = 132,
       .speed = 6,
       .verse = {0, 4, 5, 3, 0, 4, 3, 4},
       .bridge = {5, 3, 0, 4, 5, 3, 1, 4},
       .bass = BassStyle::MARCH,
       .bridgeBass = BassStyle::LONG,
       .pad = PadStyle::HELD,
       .drums = {"X.......X.x.....", "....X.......X...", "x.x.x.x.x.x.x.x.", "", ""},
       .bassTone = Tone::ROUND_BASS,
       .padTone = Tone::BRASS,
       .leadTone = Tone::SAW_LEAD,
       .arpTone = Tone::BELL,
       .kick = Drum::KICK,
       .snare = Drum::SNARE,
       .hat = Drum::HAT,
       .openHat = Drum::OPEN_HAT,
       .perc = Drum::TOM,
       .leadBase = 62,
       .arpBase = 74,
       .arpStep = 2,
       .echoDelay = 3,
       .calm = false,
       .plan = {{S::INTRO, 8}, {S::VERSE, 16}, {S::BRIDGE, 8}, {S::VERSE2, 16}, {S::OUTRO, 4}},
       .seed = 0x71713});
  // Grassland: a cheerful G major pop tune with strings and a square lead.
  list.push_back({.name = "grass",
                  .title = "Green Loop",
                  .tonic = 43,
                  .scale = kMajor,
                  .tempo = 124,
                  .speed = 6,
                  .verse = {0, 0, 3, 4, 5, 3, 1, 4},
                  .bridge = {3, 4, 2, 5, 3, 4, 1, 4},
                  .bass = BassStyle::POP,
                  .bridgeBass = BassStyle::LONG,
                  .pad = PadStyle::HELD,
                  .drums = {"X.....x.X.x.....", "....X.......X...", "x.o.x.o.x.o.x.o.", "", ""},
                  .bassTone = Tone::ROUND_BASS,
                  .padTone = Tone::STRINGS,
                  .leadTone = Tone::SQUARE_LEAD,
                  .arpTone = Tone::PLUCK,
                  .kick = Drum::KICK,
                  .snare = Drum::SNARE,
                  .hat = Drum::HAT,
                  .openHat = Drum::OPEN_HAT,
                  .perc = Drum::TOM,
                  .leadBase = 67,
                  .arpBase = 67,
                  .arpStep = 2,
                  .echoDelay = 3,
                  .calm = false,
                  .plan = {{S::INTRO, 8},
                           {S::GROOVE, 8},
                           {S::VERSE, 16},
                           {S::BRIDGE, 8},
                           {S::VERSE2, 16},
                           {S::OUTRO, 8}},
                  .seed = 0x6A55});
  // Desert: E phrygian dominant, a plucked oud over a walking bass, shaker and hand drums.
  list.push_back(
      {.name = "desert",
       .title = "Dune Caravan",
       .tonic = 40,
       .scale = kPhrygianDominant,
       .tempo = 100,
       .speed = 6,
       .verse = {0, 1, 0, 1, 6, 1, 0, 0},
       .bridge = {3, 3, 6, 6, 1, 1, 0, 0},
       .bass = BassStyle::WALK,
       .bridgeBass = BassStyle::WALK,
       .pad = PadStyle::HELD,
       .drums = {"X..x....X..x....", "....x.......x.o.", "xoxoxoxoxoxoxoxo", "",
                 "..........x..x.."},
       .bassTone = Tone::PICK_BASS,
       .padTone = Tone::STRINGS,
       .leadTone = Tone::OUD,
       .arpTone = Tone::PLUCK,
       .kick = Drum::KICK,
       .snare = Drum::RIM,
       .hat = Drum::SHAKER,
       .openHat = Drum::OPEN_HAT,
       .perc = Drum::TOM,
       .leadBase = 64,
       .arpBase = 64,
       .arpStep = 4,
       .echoDelay = 3,
       .calm = false,
       .plan = {{S::INTRO, 8}, {S::VERSE, 16}, {S::BRIDGE, 8}, {S::VERSE2, 16}, {S::OUTRO, 4}},
       .seed = 0xDE5E,
       .padTrim = -6,
       .leadTrim = 4,
       .swing = true});
  // Ice field: slow F lydian, glassy chords and bells, half-time drums, a long echo.
  list.push_back(
      {.name = "ice",
       .title = "Frozen Lanes",
       .tonic = 41,
       .scale = kLydian,
       .tempo = 84,
       .speed = 6,
       .verse = {0, 1, 0, 1, 2, 5, 1, 1},
       .bridge = {5, 2, 5, 2, 4, 1, 4, 4},
       .bass = BassStyle::LONG,
       .bridgeBass = BassStyle::LONG,
       .pad = PadStyle::HELD,
       .drums = {"X.........x.....", "........X.......", "x...x...x...x...", "..............o.",
                 ""},
       .bassTone = Tone::ROUND_BASS,
       .padTone = Tone::GLASS_PAD,
       .leadTone = Tone::BELL,
       .arpTone = Tone::BELL,
       .kick = Drum::KICK,
       .snare = Drum::RIM,
       .hat = Drum::HAT,
       .openHat = Drum::OPEN_HAT,
       .perc = Drum::CRASH,
       .leadBase = 65,
       .arpBase = 77,
       .arpStep = 4,
       .echoDelay = 6,
       .calm = true,
       .plan = {{S::INTRO, 8}, {S::VERSE, 16}, {S::BRIDGE, 8}, {S::VERSE2, 8}, {S::OUTRO, 4}},
       .seed = 0x1CE,
       .padTrim = -6,
       .leadTrim = 2});
  // Volcano: fast C minor, driving saw bass, organ pulses, double kicks.
  list.push_back({.name = "volcano",
                  .title = "Magma Run",
                  .tonic = 36,
                  .scale = kMinor,
                  .tempo = 150,
                  .speed = 6,
                  .verse = {0, 0, 5, 6, 0, 0, 5, 4},
                  .bridge = {3, 3, 5, 5, 6, 6, 4, 4},
                  .bass = BassStyle::DRIVE,
                  .bridgeBass = BassStyle::DRIVE,
                  .pad = PadStyle::PULSE,
                  .drums = {"X.xxX.x.X.xxX.x.", "....X.......X...", "x.x.x.x.x.x.x.x.", "", ""},
                  .bassTone = Tone::SAW_BASS,
                  .padTone = Tone::ORGAN,
                  .leadTone = Tone::SAW_LEAD,
                  .arpTone = Tone::PLUCK,
                  .kick = Drum::HEAVY_KICK,
                  .snare = Drum::SNARE,
                  .hat = Drum::HAT,
                  .openHat = Drum::OPEN_HAT,
                  .perc = Drum::TOM,
                  .leadBase = 60,
                  .arpBase = 72,
                  .arpStep = 2,
                  .echoDelay = 3,
                  .calm = false,
                  .plan = {{S::INTRO, 8},
                           {S::GROOVE, 8},
                           {S::VERSE, 16},
                           {S::BRIDGE, 8},
                           {S::VERSE2, 16},
                           {S::OUTRO, 4}},
                  .seed = 0x7A7A});
  // City: A dorian funk, a syncopated bass, organ stabs, claps and open hats, a brassy lead.
  list.push_back({.name = "city",
                  .title = "Neon Circuit",
                  .tonic = 45,
                  .scale = kDorian,
                  .tempo = 116,
                  .speed = 6,
                  .verse = {0, 3, 0, 3, 0, 3, 6, 4},
                  .bridge = {2, 3, 4, 3, 2, 3, 6, 6},
                  .bass = BassStyle::FUNK,
                  .bridgeBass = BassStyle::POP,
                  .pad = PadStyle::STABS,
                  .drums = {"X...x.....x.x...", "....X.......X...", "xo..xo..xo..xo..",
                            "..x...x...x...x.", ""},
                  .bassTone = Tone::SAW_BASS,
                  .padTone = Tone::ORGAN,
                  .leadTone = Tone::BRASS,
                  .arpTone = Tone::PLUCK,
                  .kick = Drum::KICK,
                  .snare = Drum::CLAP,
                  .hat = Drum::HAT,
                  .openHat = Drum::OPEN_HAT,
                  .perc = Drum::CRASH,
                  .leadBase = 69,
                  .arpBase = 69,
                  .arpStep = 2,
                  .echoDelay = 3,
                  .calm = false,
                  .plan = {{S::INTRO, 8},
                           {S::GROOVE, 8},
                           {S::VERSE, 16},
                           {S::BRIDGE, 8},
                           {S::VERSE2, 16},
                           {S::OUTRO, 8}},
                  .seed = 0xC17,
                  .swing = true});
  return list;
}

// ---------------------------------------------------------------------------------------------
// The song grid: one cell per row and channel, filled in time order per channel.

struct Grid {
  int rows;
  std::array<std::vector<S3mCell>, CH_COUNT> cells;

  explicit Grid(int r) : rows(r) {
    for (auto& c : cells) c.assign(size_t(r), S3mCell{});
  }
  S3mCell& at(int ch, int row) { return cells[size_t(ch)][size_t(row)]; }
};

// Plays `midi` on a channel from `row` for `length` rows (0: let the sample ring out), cutting it
// afterwards. Notes on a channel are placed in time order, so a new note removes the cuts of
// earlier notes that would fall after its start. A note that would ring past the song's end is
// cut on its last row so nothing sounds on when the song starts again.
void play(Grid& g, int ch, int row, int midi, uint8_t instrument, int volume, int length) {
  if (row < 0 || row >= g.rows) return;
  for (int r = row + 1; r < g.rows; ++r)
    if (g.at(ch, r).note == kS3mNoteCut) g.at(ch, r).note = kS3mNoNote;
  S3mCell& c = g.at(ch, row);
  c.note = s3m_note(midi);
  c.instrument = instrument;
  c.volume = uint8_t(std::clamp(volume, 0, 64));
  if (length <= 0) return;
  int end = std::min(row + length, g.rows - 1);
  if (end <= row) return;
  if (g.at(ch, end).note == kS3mNoNote) g.at(ch, end).note = kS3mNoteCut;
}

void cut(Grid& g, int ch, int row) {
  if (row >= 0 && row < g.rows && g.at(ch, row).note == kS3mNoNote)
    g.at(ch, row).note = kS3mNoteCut;
}

// ---------------------------------------------------------------------------------------------
// Harmony.

int floor_div(int a, int b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// MIDI note of a scale degree (any integer; 7 is the octave) above `base`.
int degree_note(const Style& s, int base, int degree) {
  return base + 12 * floor_div(degree, 7) + s.scale[size_t(degree - 7 * floor_div(degree, 7))];
}

bool in_chord(int degree, int chord) {
  const int d = ((degree - chord) % 7 + 7) % 7;
  return d == 0 || d == 2 || d == 4;
}

// The chord tone (as a degree) nearest to `degree`, upward on ties.
int snap(int degree, int chord) {
  if (in_chord(degree, chord)) return degree;
  for (int k = 1; k < 4; ++k) {
    if (in_chord(degree + k, chord)) return degree + k;
    if (in_chord(degree - k, chord)) return degree - k;
  }
  return degree;
}

// Bass root of a chord: kept within a fifth above the tonic.
int bass_root(const Style& s, int chord) {
  const int n = degree_note(s, s.tonic, chord % 7);
  return n - s.tonic > 7 ? n - 12 : n;
}

// Three-voice voicing nearest to the previous one, between G3 and E5.
std::array<int, 3> voice(const Style& s, int chord, const std::array<int, 3>& previous) {
  std::array<int, 3> best{};
  int bestCost = 1 << 30;
  for (int inversion = 0; inversion < 3; ++inversion)
    for (int octave = -1; octave <= 1; ++octave) {
      std::array<int, 3> v{};
      for (int i = 0; i < 3; ++i) {
        // Inversions rotate the chord's root, third and fifth, each rotated tone an octave up.
        const int k = inversion + i;
        v[size_t(i)] =
            degree_note(s, s.tonic + 24 + 12 * octave, chord + 2 * (k % 3) + 7 * (k / 3));
      }
      if (v[0] < 55 || v[2] > 76) continue;
      int cost = std::abs((v[0] + v[1] + v[2]) / 3 - 64);
      if (previous[0] != 0)
        cost = std::abs(v[0] - previous[0]) + std::abs(v[1] - previous[1]) +
               std::abs(v[2] - previous[2]);
      if (cost < bestCost) {
        bestCost = cost;
        best = v;
      }
    }
  return best;
}

// ---------------------------------------------------------------------------------------------
// Melody: notes as scale degrees relative to the lead's base, rows relative to a phrase start.

struct MelNote {
  int row, length, degree, volume;
};
using Melody = std::vector<MelNote>;

// Rhythm of one beat: the onset rows within it (-1 hold the previous note, -2 rest).
constexpr std::array<std::array<int, 3>, 7> kBeatCells = {{
    {0, -9, -9},   // one note
    {0, 2, -9},    // two eighths
    {0, 3, -9},    // dotted
    {2, -9, -9},   // off-beat
    {0, 1, 2},     // run of sixteenths
    {-1, -9, -9},  // hold
    {-2, -9, -9},  // rest
}};

int pick(Rng& rng, const std::vector<int>& weights) {
  int total = 0;
  for (int w : weights) total += w;
  int r = rng.range(0, total - 1);
  for (size_t i = 0; i < weights.size(); ++i) {
    if (r < weights[i]) return int(i);
    r -= weights[i];
  }
  return 0;
}

// A motif of `bars` bars over the given chords, starting near `start`.
Melody make_motif(Rng& rng, bool calm, const std::vector<int>& chords, int start) {
  const int beats = int(chords.size()) * 4;
  std::vector<int> onsets;  // row, or -(row + 1) for a rest
  for (int b = 0; b < beats; ++b) {
    int cell;
    if (b == 0)
      cell = calm ? 0 : pick(rng, {3, 2, 1});
    else if (b == beats - 1)
      cell = pick(rng, {0, 0, 0, 0, 0, 3, 2});
    else
      cell = calm ? pick(rng, {4, 2, 1, 1, 0, 5, 1}) : pick(rng, {4, 4, 2, 2, 1, 2, 1});
    for (int k : kBeatCells[size_t(cell)]) {
      if (k >= 0) onsets.push_back(b * 4 + k);
      if (k == -2) onsets.push_back(-(b * 4 + 1));
    }
  }
  Melody m;
  int prev = start;
  for (size_t i = 0; i < onsets.size(); ++i) {
    if (onsets[i] < 0) continue;
    const int row = onsets[i];
    int end = beats * 4;
    if (i + 1 < onsets.size()) end = onsets[i + 1] >= 0 ? onsets[i + 1] : -onsets[i + 1] - 1;
    const int chord = chords[size_t(row / kBar)];
    int degree;
    static const std::vector<int> steps = {-2, -1, 0, 1, 2, 3, -3, 4, -4};
    int step = row % 8 == 0 ? steps[size_t(pick(rng, {2, 3, 1, 3, 2, 1, 1, 1, 1}))]
                            : (rng.range(0, 1) ? 1 : -1) * rng.range(1, 2);
    // The line drifts back toward the middle of its range.
    if ((prev > 5 && step > 0) || (prev < 1 && step < 0)) step = -step;
    degree = prev + step;
    if (row % 8 == 0) degree = snap(degree, chord);
    if (degree > 9) degree -= 2;
    if (degree < -3) degree += 2;
    const bool strong = row % 8 == 0;
    m.push_back({row, std::max(1, end - row), degree, strong ? kLeadAccent : kLeadPlain});
    prev = degree;
  }
  return m;
}

// The motif moved to other chords: shifted by the distance between the first chords, strong notes
// snapped to the new harmony.
Melody adapt(const Melody& motif, int fromChord, const std::vector<int>& chords) {
  int shift = chords[0] - fromChord;
  if (shift > 3) shift -= 7;
  if (shift < -3) shift += 7;
  int high = -99, low = 99;
  for (const MelNote& n : motif) {
    high = std::max(high, n.degree + shift);
    low = std::min(low, n.degree + shift);
  }
  if (high > 10) shift -= 7;
  if (low < -4) shift += 7;
  Melody m;
  for (MelNote n : motif) {
    n.degree += shift;
    if (n.row % 8 == 0) n.degree = snap(n.degree, chords[size_t(n.row / kBar)]);
    m.push_back(n);
  }
  return m;
}

void append(Melody& to, const Melody& from, int rowOffset, int degreeShift = 0) {
  for (MelNote n : from) {
    n.row += rowOffset;
    n.degree += degreeShift;
    to.push_back(n);
  }
}

// An eight-bar phrase: statement, answer, statement again, and a cadence that comes to rest on a
// chord tone of the last chord (the tonic itself when `final`).
Melody make_phrase(Rng& rng, bool calm, const Melody& motif, int motifChord,
                   const std::array<int, 8>& chords, bool final) {
  Melody phrase;
  append(phrase, adapt(motif, motifChord, {chords[0], chords[1]}), 0);
  Melody answer = adapt(motif, motifChord, {chords[2], chords[3]});
  if (!answer.empty())
    answer.back().degree = snap(answer.back().degree + rng.range(-2, 2), chords[3]);
  append(phrase, answer, 2 * kBar);
  Melody again = adapt(motif, motifChord, {chords[4], chords[5]});
  if (again.size() > 1)
    again.back().degree = snap(again.back().degree + rng.range(1, 2), chords[5]);
  append(phrase, again, 4 * kBar);
  // Cadence: a bar of fresh material, then a long note on the resting tone.
  const int from = phrase.empty() ? 2 : phrase.back().degree;
  Melody turn = make_motif(rng, calm, {chords[6]}, from);
  append(phrase, turn, 6 * kBar);
  int rest = snap(turn.empty() ? from : turn.back().degree, chords[7]);
  if (final) rest = (rest >= 4) ? 7 : 0;
  phrase.push_back({7 * kBar, calm ? 14 : 10, rest, kLeadAccent});
  // Lengths must not run into the next note.
  std::sort(phrase.begin(), phrase.end(),
            [](const MelNote& a, const MelNote& b) { return a.row < b.row; });
  for (size_t i = 0; i + 1 < phrase.size(); ++i)
    phrase[i].length = std::min(phrase[i].length, phrase[i + 1].row - phrase[i].row);
  return phrase;
}

// ---------------------------------------------------------------------------------------------
// Parts, written bar by bar.

struct BassHit {
  int row;
  char kind;  // R root, F fifth, O octave, T third, S seventh
  int length;
};

std::vector<BassHit> bass_pattern(BassStyle style) {
  switch (style) {
    case BassStyle::POP:
      return {{0, 'R', 6}, {6, 'R', 2}, {8, 'F', 4}, {12, 'O', 2}, {14, 'R', 2}};
    case BassStyle::DRIVE:
      return {{0, 'R', 2}, {2, 'R', 2},  {4, 'R', 2},  {6, 'R', 2},
              {8, 'R', 2}, {10, 'R', 2}, {12, 'O', 2}, {14, 'R', 2}};
    case BassStyle::FUNK:
      return {{0, 'R', 2}, {3, 'R', 1},  {4, 'O', 2},  {7, 'R', 1},
              {8, 'S', 2}, {10, 'R', 1}, {11, 'O', 2}, {14, 'F', 2}};
    case BassStyle::LONG:
      return {{0, 'R', 11}, {12, 'F', 4}};
    case BassStyle::WALK:
      return {{0, 'R', 3},  {3, 'R', 1},  {4, 'T', 4}, {8, 'F', 3},
              {11, 'R', 1}, {12, 'S', 2}, {14, 'F', 2}};
    case BassStyle::MARCH:
      return {{0, 'R', 4}, {4, 'R', 2}, {6, 'F', 2}, {8, 'R', 4}, {12, 'O', 2}, {14, 'F', 2}};
  }
  return {};
}

void bass_bar(Grid& g, const Style& s, BassStyle style, int bar, int chord, int nextChord) {
  const int root = bass_root(s, chord);
  const int volumeTrim = s.bassTone == Tone::ROUND_BASS ? -4 : 0;  // nearly a sine: loud already
  auto interval = [&](int degrees) {
    return degree_note(s, 0, chord + degrees) - degree_note(s, 0, chord);
  };
  for (const BassHit& h : bass_pattern(style)) {
    int note = root;
    if (h.kind == 'F') note = root + interval(4);
    if (h.kind == 'O') note = root + 12;
    if (h.kind == 'T') note = root + interval(2);
    if (h.kind == 'S') note = root + interval(6);
    play(g, CH_BASS, bar * kBar + h.row, note, I_BASS,
         (h.row % 8 == 0 ? kBassAccent : kBassPlain) + volumeTrim, h.length);
  }
  // Before a change of chord the last eighth walks into the next root from the scale step
  // below or above it, whichever is nearer.
  if (nextChord < 0 || nextChord == chord || style == BassStyle::DRIVE || style == BassStyle::FUNK)
    return;
  const int next = bass_root(s, nextChord);
  const int below = next - (degree_note(s, 0, nextChord + 7) - degree_note(s, 0, nextChord + 6));
  const int above = next + (degree_note(s, 0, nextChord + 1) - degree_note(s, 0, nextChord));
  const int approach = std::abs(below - root) <= std::abs(above - root) ? below : above;
  play(g, CH_BASS, bar * kBar + 14, approach, I_BASS, kBassPlain + volumeTrim, 2);
}

struct PadState {
  std::array<int, 3> voicing{};
  int lastChord = -1;
};

void pad_bar(Grid& g, const Style& s, PadState& st, int bar, int chord, bool fresh, int volume,
             PadStyle style) {
  const std::array<int, 3> v = voice(s, chord, st.voicing);
  volume += s.padTrim;
  const int row = bar * kBar;
  auto hit = [&](int r, int length, int vol) {
    for (int i = 0; i < 3; ++i) play(g, CH_PAD1 + i, row + r, v[size_t(i)], I_PAD, vol, length);
  };
  switch (style) {
    case PadStyle::HELD:
      if (fresh || chord != st.lastChord) {
        // Held to the end of the bar; the next bar's same chord just lets it ring on.
        hit(0, 0, volume);
      }
      break;
    case PadStyle::STABS:
      for (int r : {2, 6, 10, 13}) hit(r, 2, r == 2 ? volume + 6 : volume);
      break;
    case PadStyle::PULSE:
      for (int r = 0; r < kBar; r += 2) hit(r, 1, r % 4 == 0 ? volume + 4 : volume - 6);
      break;
  }
  st.voicing = v;
  st.lastChord = chord;
}

void arp_bar(Grid& g, const Style& s, int bar, int chord, int volume) {
  std::array<int, 4> tones{};
  for (int i = 0; i < 3; ++i) {
    int n = degree_note(s, s.tonic, chord + 2 * i);
    while (n < s.arpBase - 5) n += 12;
    while (n > s.arpBase + 7) n -= 12;
    tones[size_t(i)] = n;
  }
  std::sort(tones.begin(), tones.begin() + 3);
  tones[3] = tones[0] + 12;
  static constexpr std::array<int, 8> kOrder = {0, 1, 2, 3, 2, 1, 2, 3};
  for (int r = 0, k = 0; r < kBar; r += s.arpStep, ++k)
    play(g, CH_ARP, bar * kBar + r, tones[size_t(kOrder[size_t(k % 8)])], I_ARP,
         r % 4 == 0 ? volume + 6 : volume, s.arpStep);
}

// Drum levels: 1 light (hats, a kick on the bar), 2 full, 3 half time, 4 full with busy hats.
void drum_bar(Grid& g, const Style& s, int bar, int level, bool fill) {
  const int row = bar * kBar;
  auto lane = [&](const char* steps, int ch, uint8_t instrument, int scale) {
    if (!steps || !*steps) return;
    for (int i = 0; i < kBar && steps[i]; ++i) {
      const char c = steps[i];
      if (c == '.') continue;
      const int vol = c == 'X' ? 62 : c == 'x' ? 50 : 30;
      play(g, ch, row + i, 60, instrument, vol * scale / 100, 0);
    }
  };
  // The last verse lifts the energy with sixteenth hats.
  lane(level == 4 ? "xoxoxoxoxoxoxoxo" : s.drums.hat, CH_HAT, I_HAT, level == 1 ? 70 : 85);
  lane(s.drums.openHat, CH_HAT, I_OPEN_HAT, 70);
  if (level == 1) {
    if (bar % 2 == 0) play(g, CH_KICK, row, 60, I_KICK, 44, 0);
  } else if (level == 3) {
    lane("X.........x.....", CH_KICK, I_KICK, 100);
    lane("........X.......", CH_SNARE, I_SNARE, 95);
  } else {
    lane(s.drums.kick, CH_KICK, I_KICK, s.kick == Drum::HEAVY_KICK ? 80 : 100);
    lane(s.drums.snare, CH_SNARE, I_SNARE, 100);
    lane(s.drums.perc, CH_PERC, I_PERC, 90);
    if (bar % 4 == 3 && !fill) {
      // Every fourth bar ends with a pickup: an extra kick and an open hat.
      play(g, CH_KICK, row + 14, 60, I_KICK, 40, 0);
      play(g, CH_HAT, row + 14, 60, I_OPEN_HAT, 34, 0);
    }
  }
  if (fill && s.perc == Drum::TOM) {
    // The last half bar tumbles down the toms into the next section.
    constexpr int kToms[][2] = {{8, 67}, {10, 64}, {12, 60}, {13, 60}, {14, 55}, {15, 52}};
    for (const auto& [r, pitch] : kToms) play(g, CH_PERC, row + r, pitch, I_PERC, 44 + r, 0);
  } else if (fill) {
    // The last half bar rolls on the snare into the next section.
    for (int r = 8; r < kBar; ++r) {
      if (r % 2 && r < 12) continue;
      play(g, CH_SNARE, row + r, 60, I_SNARE, 30 + (r - 8) * 4, 0);
    }
  }
}

void crash(Grid& g, int row) {
  play(g, CH_PERC, row, 60, I_CRASH, 44, 0);
}

void melody_at(Grid& g, const Style& s, const Melody& m, int row) {
  for (const MelNote& n : m) {
    const int note = degree_note(s, s.leadBase, n.degree);
    const bool decaying = s.leadTone == Tone::BELL || s.leadTone == Tone::OUD;
    play(g, CH_LEAD, row + n.row, note, I_LEAD,
         n.volume + s.leadTrim + (decaying ? kDecayingLeadBoost : 0), n.length);
  }
}

// A hint of the tune before it starts: a motif on the arpeggio's instrument, an octave up when
// the lead sits low.
void teaser(Grid& g, const Style& s, const Melody& m, int row) {
  const int base = s.leadBase < 66 ? s.leadBase + 12 : s.leadBase;
  for (const MelNote& n : m)
    play(g, CH_ARP, row + n.row, degree_note(s, base, n.degree), I_ARP, kArpVolume - 4, n.length);
}

// The echo: the lead again, later and softer, on its own channel.
void echo(Grid& g, const Style& s) {
  for (int r = 0; r + s.echoDelay < g.rows; ++r) {
    const S3mCell& c = g.at(CH_LEAD, r);
    if (c.note == kS3mNoNote) continue;
    S3mCell& e = g.at(CH_ECHO, r + s.echoDelay);
    e.note = c.note;
    e.instrument = c.instrument;
    if (c.volume != kS3mNoVolume) e.volume = uint8_t(c.volume * 2 / 5);
  }
  // A note still echoing at the end is cut there.
  for (int r = g.rows - 1; r >= 0; --r) {
    const S3mCell& c = g.at(CH_ECHO, r);
    if (c.note == kS3mNoteCut) break;
    if (c.note != kS3mNoNote) {
      cut(g, CH_ECHO, g.rows - 1);
      break;
    }
  }
}

// Long lead notes get a gentle vibrato after their first beat.
void vibrato(Grid& g) {
  int start = -1;
  for (int r = 0; r < g.rows; ++r) {
    S3mCell& c = g.at(CH_LEAD, r);
    if (c.note == kS3mNoteCut)
      start = -1;
    else if (c.note != kS3mNoNote)
      start = r;
    else if (start >= 0 && r - start >= 4 && c.command == 0) {
      c.command = S3M_VIBRATO;
      c.info = 0x43;
    }
  }
}

// ---------------------------------------------------------------------------------------------

// The bass slides down to silence over the rows [from, to) before the song's end, so that it fades
// into the restart instead of stopping dead; the chords ring on into the first chord.
void fade(Grid& g, int from, int to) {
  for (int ch : {CH_BASS})
    for (int r = from; r < to && r < g.rows; ++r) {
      S3mCell& c = g.at(ch, r);
      if (c.note != kS3mNoNote || c.command != 0) continue;
      c.command = S3M_VOLUME_SLIDE;
      c.info = 0x02;  // down 2 on each tick after the first
    }
}

// The chord of bar b of the plan's step; the outro comes to rest on the tonic.
int chord_at(const Style& s, size_t step, int b) {
  const PlanStep& p = s.plan[step];
  if (p.section == Section::OUTRO && b == p.bars - 1) return 0;
  return p.section == Section::BRIDGE ? s.bridge[size_t(b % 8)] : s.verse[size_t(b % 8)];
}

// The chord of the bar after it, across sections and round the loop to the start.
int next_chord(const Style& s, size_t step, int b) {
  if (b + 1 < s.plan[step].bars) return chord_at(s, step, b + 1);
  return chord_at(s, step + 1 < s.plan.size() ? step + 1 : 0, 0);
}

S3mModule compose(const Style& s) {
  Rng rng(s.seed);
  int bars = 0;
  for (const PlanStep& p : s.plan) bars += p.bars;
  if (bars % 4) throw std::runtime_error("a song's bars must fill whole patterns");
  Grid g(bars * kBar);

  // The two motifs: one for the verses, one for the bridge.
  const Melody verseMotif = make_motif(rng, s.calm, {s.verse[0], s.verse[1]}, 2);
  const Melody bridgeMotif = make_motif(rng, true, {s.bridge[0], s.bridge[1]}, 4);
  const Melody phraseA = make_phrase(rng, s.calm, verseMotif, s.verse[0], s.verse, false);
  const Melody phraseA2 = make_phrase(rng, s.calm, verseMotif, s.verse[0], s.verse, true);
  const Melody phraseB = make_phrase(rng, true, bridgeMotif, s.bridge[0], s.bridge, false);
  // The last verse opens with the same motif but answers it differently.
  const Melody phraseA3 = make_phrase(rng, s.calm, verseMotif, s.verse[0], s.verse, false);

  // The second half of a long last verse climbs a whole tone: the lift before the outro.
  Style up = s;
  up.tonic += 2;
  up.leadBase += 2;
  up.arpBase += 2;

  PadState pad;
  int bar = 0;
  for (size_t step = 0; step < s.plan.size(); ++step) {
    const PlanStep& p = s.plan[step];
    const bool nextHasDrums =
        step + 1 < s.plan.size() && s.plan[step + 1].section != Section::OUTRO;
    const int start = bar;
    for (int b = 0; b < p.bars; ++b, ++bar) {
      const int chord = chord_at(s, step, b), next = next_chord(s, step, b);
      const bool last = b == p.bars - 1;
      const bool fresh = b == 0;
      switch (p.section) {
        case Section::INTRO:
          pad_bar(g, s, pad, bar, chord, fresh, kPadVolume + 2, s.pad);
          if (b >= p.bars / 2) bass_bar(g, s, s.bass, bar, chord, next);
          drum_bar(g, s, bar, 1, last && nextHasDrums);
          break;
        case Section::GROOVE:
          pad_bar(g, s, pad, bar, chord, fresh, kPadVolume + 2, s.pad);
          bass_bar(g, s, s.bass, bar, chord, next);
          arp_bar(g, s, bar, chord, kArpVolume);
          drum_bar(g, s, bar, 2, last);
          break;
        case Section::VERSE:
        case Section::VERSE2: {
          const bool liftable = p.section == Section::VERSE2 && p.bars >= 16;
          const Style& key = liftable && b >= 8 ? up : s;
          // No walk into a chord in the other key.
          const bool keyChange = liftable && (b == 7 || last);
          pad_bar(g, key, pad, bar, chord, fresh, kPadVolume, s.pad);
          bass_bar(g, key, s.bass, bar, chord, keyChange ? -1 : next);
          if (p.section == Section::VERSE2 && (b >= 8 || p.bars < 16))
            arp_bar(g, key, bar, chord, kArpVolume - 4);
          drum_bar(g, s, bar, p.section == Section::VERSE2 && (b >= 8 || p.bars < 16) ? 4 : 2,
                   last && nextHasDrums);
          break;
        }
        case Section::BRIDGE:
          pad_bar(g, s, pad, bar, chord, fresh, kPadVolume + 4, s.pad);
          bass_bar(g, s, s.bridgeBass, bar, chord, next);
          drum_bar(g, s, bar, 3, last);
          break;
        case Section::OUTRO:
          // The last chord is held whatever the style, to ring on into the restart.
          pad_bar(g, s, pad, bar, chord, fresh || last, kPadVolume, last ? PadStyle::HELD : s.pad);
          if (!last)
            bass_bar(g, s, s.bass, bar, chord, next);
          else
            play(g, CH_BASS, bar * kBar, bass_root(s, 0), I_BASS, 50, kBar - 1);
          drum_bar(g, s, bar, 1, false);
          if (last) fade(g, bar * kBar + 12, bar * kBar + kBar);
          break;
      }
    }
    const int row = start * kBar;
    if (p.section != Section::INTRO && p.section != Section::OUTRO) crash(g, row);
    switch (p.section) {
      case Section::INTRO:
        if (p.bars >= 8)
          teaser(g, s, adapt(verseMotif, s.verse[0], {chord_at(s, step, 4), chord_at(s, step, 5)}),
                 row + 4 * kBar);
        break;
      case Section::VERSE:
        melody_at(g, s, phraseA, row);
        if (p.bars >= 16) melody_at(g, s, phraseA2, row + 8 * kBar);
        break;
      case Section::VERSE2:
        melody_at(g, s, phraseA3, row);
        if (p.bars >= 16) melody_at(g, up, phraseA2, row + 8 * kBar);
        break;
      case Section::BRIDGE:
        melody_at(g, s, phraseB, row);
        break;
      default:
        break;
    }
  }
  // Every part that still sounds at the end and does not strike a new note on the first row
  // stops on the last row: the song restarts cleanly.
  for (int ch = CH_BASS; ch <= CH_ARP; ++ch)
    if (g.at(ch, 0).note == kS3mNoNote) cut(g, ch, g.rows - 1);
  vibrato(g);
  if (s.swing) {
    // Swing: each pair of sixteenths takes 7 + 5 ticks instead of 6 + 6, set row by row on the
    // kick's channel so that the restart swings from its first row too.
    for (int r = 0; r < g.rows; ++r) {
      g.at(CH_KICK, r).command = S3M_SET_SPEED;
      g.at(CH_KICK, r).info = uint8_t(r % 2 ? s.speed - 1 : s.speed + 1);
    }
  }
  echo(g, s);

  S3mModule m;
  m.title = std::string(s.title);
  m.speed = uint8_t(s.speed);
  m.tempo = uint8_t(s.tempo);
  m.globalVolume = 64;
  m.masterVolume = 0x30;
  m.channels = CH_COUNT;
  for (int ch = 0; ch < CH_COUNT; ++ch) m.pan[size_t(ch)] = kPans[size_t(ch)];
  m.samples = {make_tone(s.bassTone, s.seed),  make_tone(s.padTone, s.seed),
               make_tone(s.leadTone, s.seed),  make_tone(s.arpTone, s.seed + 1),
               make_drum(s.kick, s.seed),      make_drum(s.snare, s.seed),
               make_drum(s.hat, s.seed),       make_drum(s.openHat, s.seed),
               make_drum(Drum::CRASH, s.seed), make_drum(s.perc, s.seed)};
  m.samples[I_PAD - 1].volume = 40;
  // Patterns: 64 rows each; identical ones are stored once.
  std::map<std::vector<uint8_t>, uint8_t> seen;
  for (int first = 0; first < g.rows; first += kS3mRows) {
    S3mPattern p{};
    std::vector<uint8_t> key;
    for (int r = 0; r < kS3mRows; ++r)
      for (int ch = 0; ch < CH_COUNT; ++ch) {
        const S3mCell& c = g.at(ch, first + r);
        p[size_t(r)][size_t(ch)] = c;
        key.insert(key.end(), {c.note, c.instrument, c.volume, c.command, c.info});
      }
    auto it = seen.find(key);
    if (it == seen.end()) {
      it = seen.emplace(key, uint8_t(m.patterns.size())).first;
      m.patterns.push_back(p);
    }
    m.orders.push_back(it->second);
  }
  return m;
}

}  // namespace

S3mModule compose_song(std::string_view name) {
  for (const Style& s : styles())
    if (s.name == name) return compose(s);
  throw std::runtime_error("no song named " + std::string(name));
}

void generate_music(const std::filesystem::path& outDir) {
  const std::filesystem::path dir = outDir / "snd";
  std::filesystem::create_directories(dir);
  for (std::string_view name : kSongNames)
    dsp::write_bytes(dir / (std::string(name) + ".s3m"), s3m_bytes(compose_song(name)));
}
