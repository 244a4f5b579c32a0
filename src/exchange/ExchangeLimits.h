#pragma once
// Bounds on what an imported file may hold. A board set comes from anywhere (a mail, a web page), so
// every size that could make the importer allocate or loop without end has a ceiling.
#include <cstddef>
#include <cstdint>

namespace nq::exchange {

inline constexpr std::size_t MaxBoardJsonBytes = 16u << 20; // one .obf
inline constexpr std::size_t MaxJsonDepth = 64;             // nesting of arrays and objects
inline constexpr std::size_t MaxButtonsPerBoard = 2000;     // far above the 441 cells a board shows
inline constexpr std::size_t MaxResourcesPerBoard = 4000;   // images plus sounds of one board
inline constexpr std::size_t MaxBoardsPerSet = 1000;
inline constexpr std::size_t MaxEntryBytes = 64u << 20;    // one file inside an .obz, unpacked
inline constexpr std::uint64_t MaxSetBytes = 512ull << 20; // everything read from one .obz, unpacked
inline constexpr std::size_t MaxArchiveEntries = 20000;
inline constexpr std::size_t MaxTextBytes = 1023; // what a board file keeps of a value
// JSON values (every scalar, list and object) a parse may build: a few kilobytes of zip can unpack
// into millions of tiny values, each an allocation. A full board of 2000 buttons with pictures
// and sounds needs under 100,000; a large set a few hundred thousand.
inline constexpr std::size_t MaxJsonValuesPerBoard = 250000;
inline constexpr std::size_t MaxJsonValuesPerSet = 4000000;

} // namespace nq::exchange
