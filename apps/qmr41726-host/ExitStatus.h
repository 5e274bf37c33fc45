#pragma once
// The host application's exit statuses, one run or many: scripts and the kiosk's units read them,
// and --help lists them (CommandLine.cpp).

/// The call (or every repeated call) returned, or a stop signal ended the run.
constexpr int kExitCallReturned = 0;
/// The entry point or the host's own set-up failed.
constexpr int kExitFailure = 1;
/// The command line, the data or the key script was refused.
constexpr int kExitUsage = 2;
/// The key script ran out while a screen was still open.
constexpr int kExitScriptRanOut = 3;
