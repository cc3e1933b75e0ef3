#pragma once

// The name of every window, the key by which the application registers,
// opens and finds it. Screens reach one another only by these names, so the
// screens, the stage, start-up and the programs all share this header and
// none of them needs another's.

namespace forms {
inline constexpr char kTitle[] = "frmTitle";
inline constexpr char kMenu[] = "frmMenu";
inline constexpr char kZone[] = "frmZone";
inline constexpr char kOption[] = "frmOption";
inline constexpr char kStage[] = "frmStage";
inline constexpr char kResults[] = "frmResults";
inline constexpr char kNentry[] = "frmNentry";
inline constexpr char kRecord[] = "frmRecord";
inline constexpr char kCertif[] = "frmCertif";
} // namespace forms
