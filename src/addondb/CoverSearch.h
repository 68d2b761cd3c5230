#pragma once

#include <cstdint>
#include <vector>

namespace garrison {

// Which candidates to pick so that every group holds at least one of them:
// the set of least total cost, among equal costs the one with fewer
// candidates, among equal ones the first an exhaustive depth-first search
// meets (candidates tried in each group's order, then the group skipped when
// it is covered already).
struct CoverProblem {
    std::vector<std::int64_t> costs;      // per candidate, never negative
    std::vector<std::vector<int>> groups; // candidate indexes per group, in order
};

// The chosen candidates in the order they were put in. Branches that can no
// longer beat the best set are cut; the answer is the exhaustive search's.
std::vector<int> leastCostCover(const CoverProblem &problem);

} // namespace garrison
