// The music's instruments, synthesised into S3M samples. Pitched ones are additive tones built on
// a period of kPeriod samples: C-4 plays the period at 261.6 Hz, every partial runs a whole number
// of cycles in the sustain loop (so the loop has no seam), and an attack part before the loop lets
// the partials start brighter or louder and settle into the sustain. Drums are one-shot noise and
// sweep recipes.
#pragma once
#include <cstdint>

#include "tools/zrgen/s3m_writer.h"

enum class Tone : int {
  ROUND_BASS,   // warm, nearly sine bass with a soft attack
  SAW_BASS,     // bright plucked saw bass that mellows
  PICK_BASS,    // short, percussive fretless-like bass
  STRINGS,      // slow, chorused saw pad
  GLASS_PAD,    // airy, hollow chorused pad
  ORGAN,        // drawbar organ, steady
  SQUARE_LEAD,  // hollow square lead with chorus
  SAW_LEAD,     // bright, edgy lead
  BELL,         // glassy bell that rings down
  PLUCK,        // short bright pluck for arpeggios
  OUD,          // nasal plucked string
  BRASS,        // broad brass chord/lead with a rising attack
};

enum class Drum : int {
  KICK,
  HEAVY_KICK,
  SNARE,
  CLAP,
  HAT,
  OPEN_HAT,
  SHAKER,
  CRASH,
  TOM,
  RIM,
};

// A pitched instrument; the seed varies phases and chorus a little between songs.
S3mSample make_tone(Tone tone, uint64_t seed);
// A drum sample, played at its natural rate by the note C-4.
S3mSample make_drum(Drum drum, uint64_t seed);
