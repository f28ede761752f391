// Pieces of the benchmark programs that are worth testing on their own:
// reading the tool's status line and matching names against the
// extension list the way the tool's "*." + item patterns do.
#pragma once
#include <string>
#include <vector>

namespace bench {

// What the status line says about the job.
enum class Phase { Unknown, Idle, Search, Backup, Convert, Done };

struct Status {
    Phase phase = Phase::Unknown;
    long done = -1;   // j, k or the converted count; -1 when the text has none
    long total = -1;  // N
};

// Parses the status texts (GBK bytes, as the label holds them).
Status parseStatus(const std::string& text);

// Items of a comma-separated list; an empty remainder after the last comma
// is dropped, as the tool does.
std::vector<std::string> splitList(const std::string& list);

// True when the name matches "*." + one of the items, without regard to
// ASCII case (the usual Windows file systems). An empty item matches names
// without a dot.
bool matchesAny(const std::string& name, const std::vector<std::string>& items);

// Seconds, from a performance-counter difference.
double seconds(long long ticks, long long frequency);

}  // namespace bench
