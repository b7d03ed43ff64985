// The names and type codes the game looks up in every level: each level's content must have them.
#pragma once

inline constexpr const char* kAnimations[] = {"spr_start_thrust",
                                              "spr_continue_thrust",
                                              "spr_stop_thrust",
                                              "spr_jetturnb",
                                              "spr_jetturnf",
                                              "spr_reverse",
                                              "spr_explode1",
                                              "spr_explode2",
                                              "spr_ufoa",
                                              "spr_popa",
                                              "spr_popc",
                                              "spr_laserf",
                                              "spr_laser",
                                              "spr_warp",
                                              "spr_tank",
                                              "spr_hang",
                                              "spr_flap",
                                              "spr_blade",
                                              "spr_hover",
                                              "spr_rdeye",
                                              "spr_screw",
                                              "spr_jump",
                                              "spr_animated_bounce",
                                              "spr_bullet",
                                              "spr_shoto",
                                              "spr_sleda",
                                              "spr_shadowa"};

// Type codes the game creates objects of (pools, layouts, the cockpit).
inline constexpr int kTypeCodes[] = {100, 101, 105, 106, 107, 119, 121, 122, 124,
                                     125, 127, 133, 134, 135, 136, 137, 138};
