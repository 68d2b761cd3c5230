#include "addondb/CoverSearch.h"

namespace garrison {

namespace {

class Search {
public:
    explicit Search(const CoverProblem &problem) : m_problem(problem), m_inUse(problem.costs.size(), false) {}

    std::vector<int> run()
    {
        if (!m_problem.groups.empty())
            visit(0);
        return m_best;
    }

private:
    // Adding a candidate never lowers the cost nor the count, so a branch at
    // or past the best can only tie or lose, and ties keep the first found.
    bool hopeless() const
    {
        return m_found && (m_cost > m_bestCost || (m_cost == m_bestCost && m_current.size() >= m_best.size()));
    }

    void next(std::size_t group)
    {
        if (group + 1 < m_problem.groups.size()) {
            visit(group + 1);
        } else if (!m_found || m_cost < m_bestCost || (m_cost == m_bestCost && m_current.size() < m_best.size())) {
            m_found = true;
            m_best = m_current;
            m_bestCost = m_cost;
        }
    }

    void visit(std::size_t group)
    {
        if (hopeless())
            return;
        bool covered = false;
        for (const int candidate : m_problem.groups[group]) {
            if (m_inUse[static_cast<std::size_t>(candidate)]) {
                covered = true;
                continue;
            }
            m_inUse[static_cast<std::size_t>(candidate)] = true;
            m_current.push_back(candidate);
            m_cost += m_problem.costs[static_cast<std::size_t>(candidate)];
            next(group);
            m_cost -= m_problem.costs[static_cast<std::size_t>(candidate)];
            m_current.pop_back();
            m_inUse[static_cast<std::size_t>(candidate)] = false;
        }
        if (covered)
            next(group);
    }

    const CoverProblem &m_problem;
    std::vector<bool> m_inUse;
    std::vector<int> m_current;
    std::int64_t m_cost = 0;
    std::vector<int> m_best;
    std::int64_t m_bestCost = 0;
    bool m_found = false;
};

} // namespace

std::vector<int> leastCostCover(const CoverProblem &problem)
{
    return Search(problem).run();
}

} // namespace garrison
