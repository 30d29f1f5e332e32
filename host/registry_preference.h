// Which of the two stores of the last-used values holds the newer ones.
//
// Finish keeps the values in the host's descriptor registry and, when that fails, in the
// Windows registry. A failed Finish leaves an older entry in the descriptor registry, which
// Start would load first: a mark beside the Windows-registry values says that they are the
// newer ones, and Start then loads them over the descriptor registry's. The mark is a
// REG_DWORD 1 in the key <prefix>kNewerMarkName.
#pragma once

namespace Corvantis::Host::PS {

inline constexpr const char kNewerMarkName[] = "Newer Than Host Registry";

// True when the mark is set under prefix.
bool RegistryStoreIsNewer(const char* prefix);
// Sets or clears the mark; false when it could not be written.
bool MarkRegistryStoreNewer(const char* prefix, bool newer);

}  // namespace Corvantis::Host::PS
